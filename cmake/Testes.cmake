include(GoogleTest)

# nq404_testes(<name> SOURCES ... LIBS ...): one test executable per folder,
# registered case by case with CTest and run without a display.
function(nq404_testes nome)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${nome} ${T_SOURCES})
  target_link_libraries(${nome} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # Helpers several folders' tests share ("apoio/disco_pequeno.h").
  target_include_directories(${nome} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${nome} PRIVATE
    NQ404_FONTE="${CMAKE_SOURCE_DIR}" NQ404_BIN="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${nome}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
