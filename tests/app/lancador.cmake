# Tests of the annex launcher, the workbook check and the reserve-commitment setting.
find_package(Qt6 REQUIRED COMPONENTS Test)
target_sources(app_testes PRIVATE
  banco_lancador.h
  imprime_test.cpp paramedu_test.cpp planilha_tce_test.cpp)
target_link_libraries(app_testes PRIVATE nq_workbook Qt6::Test)
