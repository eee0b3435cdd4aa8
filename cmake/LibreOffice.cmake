# LibreOffice's UNO C++ runtime: the SDK's libraries and the C++ headers that
# its type generator (cppumaker) makes from the office's type libraries at
# build time. Gives the target nq_uno.

set(NQ404_LO_PROGRAMA /usr/lib/libreoffice/program CACHE PATH
    "LibreOffice program directory (soffice.bin, types.rdb)")
set(NQ404_LO_SDK /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice SDK directory")

find_program(NQ404_CPPUMAKER cppumaker PATHS ${NQ404_LO_SDK}/bin NO_DEFAULT_PATH REQUIRED)
set(_lo_rdb ${NQ404_LO_PROGRAMA}/types.rdb ${NQ404_LO_PROGRAMA}/types/offapi.rdb)
foreach(rdb ${_lo_rdb})
  if(NOT EXISTS ${rdb})
    message(FATAL_ERROR "LibreOffice type library not found: ${rdb}")
  endif()
endforeach()

# The types the code names; cppumaker adds everything they depend on.
set(_lo_tipos
    com.sun.star.awt.XWindow
    com.sun.star.awt.XWindow2
    com.sun.star.beans.PropertyValue
    com.sun.star.beans.XPropertySet
    com.sun.star.bridge.BridgeFactory
    com.sun.star.bridge.XBridge
    com.sun.star.connection.Connector
    com.sun.star.connection.NoConnectException
    com.sun.star.connection.XConnection
    com.sun.star.container.XEnumeration
    com.sun.star.container.XEnumerationAccess
    com.sun.star.container.XIndexAccess
    com.sun.star.document.MacroExecMode
    com.sun.star.document.UpdateDocMode
    com.sun.star.frame.Desktop
    com.sun.star.frame.XComponentLoader
    com.sun.star.frame.XController
    com.sun.star.frame.XDesktop2
    com.sun.star.frame.XFrame
    com.sun.star.frame.XModel
    com.sun.star.frame.XStorable
    com.sun.star.lang.DisposedException
    com.sun.star.lang.XComponent
    com.sun.star.sheet.CellFlags
    com.sun.star.sheet.FormulaResult
    com.sun.star.sheet.XSheetOperation
    com.sun.star.sheet.XSpreadsheet
    com.sun.star.sheet.XSpreadsheetDocument
    com.sun.star.sheet.XSpreadsheetView
    com.sun.star.sheet.XSpreadsheets
    com.sun.star.table.CellContentType
    com.sun.star.table.XCell
    com.sun.star.table.XCellRange
    com.sun.star.text.XText
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.util.XCloseable
    com.sun.star.util.XModifiable)

set(_lo_saida ${CMAKE_BINARY_DIR}/uno_cabecalhos)
set(_lo_marca ${_lo_saida}/.gerado)
set(_lo_args)
foreach(t ${_lo_tipos})
  list(APPEND _lo_args -T${t})
endforeach()
add_custom_command(
  OUTPUT ${_lo_marca}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_lo_saida}
  COMMAND ${NQ404_CPPUMAKER} -O${_lo_saida} ${_lo_args} ${_lo_rdb}
  COMMAND ${CMAKE_COMMAND} -E touch ${_lo_marca}
  DEPENDS ${_lo_rdb} ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Generating the UNO C++ headers"
  VERBATIM)
add_custom_target(nq_uno_cabecalhos DEPENDS ${_lo_marca})

# Consumers wait for the generation through this target.
if(NOT TARGET nq_uno)
  add_library(nq_uno INTERFACE)
  add_dependencies(nq_uno nq_uno_cabecalhos)
  target_include_directories(nq_uno SYSTEM INTERFACE ${NQ404_LO_SDK}/include ${_lo_saida})
  target_compile_definitions(nq_uno INTERFACE UNX GCC LINUX CPPU_ENV=gcc3)
  target_link_libraries(nq_uno INTERFACE
    ${NQ404_LO_SDK}/lib/libuno_cppu.so
    ${NQ404_LO_SDK}/lib/libuno_sal.so
    ${NQ404_LO_SDK}/lib/libuno_cppuhelpergcc3.so)
  target_link_options(nq_uno INTERFACE
    -Wl,-rpath-link,${NQ404_LO_PROGRAMA} -Wl,-rpath,${NQ404_LO_PROGRAMA})
endif()
