# The annexes of this build and the run without windows (batch mode).
target_sources(nq_app PRIVATE anexos_do_programa.cpp lote.cpp saidas_do_lote.cpp
  interrupcao_do_lote.cpp)
get_property(anexos GLOBAL PROPERTY NQ404_BIBLIOTECAS_ANEXOS)
target_link_libraries(nq_app PUBLIC ${anexos})
