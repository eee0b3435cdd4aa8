# nq404_anexo(<pasta> SOURCES ... LAYOUTS ...): the library nq_<pasta> of one
# annex window, with its report layouts compiled in under ":/<pasta>/".
function(nq404_anexo pasta)
  cmake_parse_arguments(A "" "" "SOURCES;LAYOUTS" ${ARGN})
  add_library(nq_${pasta} STATIC ${A_SOURCES})
  target_include_directories(nq_${pasta} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(nq_${pasta} PUBLIC nq_annexes_common nq_report nq_entry nq_db
                        nq_workbook Qt6::Widgets)
  # The program and the benchmarks link every annex library made here.
  set_property(GLOBAL APPEND PROPERTY NQ404_BIBLIOTECAS_ANEXOS nq_${pasta})
  qt_add_resources(nq_${pasta} layouts_${pasta}
    PREFIX /${pasta}
    BASE layouts
    FILES ${A_LAYOUTS})
endfunction()
