# The bimester close: every report, the checks between them, the index page.
nq404_testes(fechamento_testes
  SOURCES fechamento_test.cpp
  LIBS nq_app nq_demo nq_apoio_anexos nq_workbook)
