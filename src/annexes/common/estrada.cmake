# The road every annex shares, the long-form figures file, the municipality's
# headings and the workbook's period.
target_sources(nq_annexes_common PRIVATE
  estrada_anexo.cpp
  figuras_csv.cpp
  folha_com.cpp
  municipio.cpp
  plano_figuras.cpp
  somas_do_orcamento.cpp
)
target_link_libraries(nq_annexes_common PUBLIC nq_report)
