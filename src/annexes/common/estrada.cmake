# The road every annex shares and the long-form figures file.
target_sources(nq_annexes_common PRIVATE
  estrada_anexo.cpp
  figuras_csv.cpp
  plano_figuras.cpp
  plano_comandos.cpp
  plano_etapas.cpp
  plano_leitura.cpp
  plano_resolucao.cpp
)
target_link_libraries(nq_annexes_common PUBLIC nq_report)
