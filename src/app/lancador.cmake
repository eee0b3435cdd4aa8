# The annex launcher, the workbook check and the reserve-commitment setting.
target_sources(nq_app PRIVATE
  anexos_do_programa.cpp
  imprime.cpp
  paramedu.cpp
  planilha_tce.cpp
  segundo_plano.cpp
)
target_link_libraries(nq_app PUBLIC nq_annexes_common nq_workbook nq_report nq_report_preview)
qt_add_resources(nq_app layouts_do_lancador
  PREFIX /app
  FILES layouts/aviso_camara.json)
