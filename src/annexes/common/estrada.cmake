# The road every annex shares, the headings, the signature lines and the
# long-form figures file.
target_sources(nq_annexes_common PRIVATE
  assinaturas.cpp
  cabecalho_anexo.cpp
  estrada_anexo.cpp
  figuras_csv.cpp
  plano_figuras.cpp
  somas_do_orcamento.cpp
)
target_link_libraries(nq_annexes_common PUBLIC nq_report)
