# The road every annex shares, the long-form figures file and the signature lines.
target_sources(nq_annexes_common PRIVATE
  assinaturas.cpp
  estrada_anexo.cpp
  figuras_csv.cpp
  plano_figuras.cpp
  somas_do_orcamento.cpp
)
target_link_libraries(nq_annexes_common PUBLIC nq_report)
