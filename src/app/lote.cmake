# The annexes of this build and the run without windows (batch mode).
target_sources(nq_app PRIVATE anexos_do_programa.cpp lote.cpp)
target_link_libraries(nq_app PUBLIC nq_anexo1 nq_anexo3 nq_anexo6 nq_anexo7 nq_anexo8)
