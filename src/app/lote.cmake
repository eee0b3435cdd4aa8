# The annexes of this build and the run without windows (batch mode).
target_sources(nq_app PRIVATE anexos_do_programa.cpp lote.cpp saidas_do_lote.cpp
  execucao_do_lote.cpp interrupcao_do_lote.cpp)
# The bimester close: every report of a bimester, the checks between them, the index page.
target_sources(nq_app PRIVATE fechamento.cpp fechamento_no_lote.cpp janela_fechamento.cpp
  conferencias_do_fechamento.cpp indice_do_fechamento.cpp)
get_property(anexos GLOBAL PROPERTY NQ404_BIBLIOTECAS_ANEXOS)
target_link_libraries(nq_app PUBLIC ${anexos})
