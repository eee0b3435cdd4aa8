#include "core/erro.h"
#include "demo/roteiro.h"

#include <gtest/gtest.h>

using nq::demo::divideRoteiro;

TEST(Roteiro, DivideNoTerminadorEmVigorESemTocarEmTextosEComentarios) {
    const QString roteiro = QStringLiteral("-- cabeçalho\n"
                                           "CREATE TABLE A (X VARCHAR(5) DEFAULT ';');\n"
                                           "/* bloco; com ponto e vírgula */\n"
                                           "INSERT INTO A VALUES ('a;b');\n"
                                           "SET TERM ^ ;\n"
                                           "CREATE PROCEDURE P AS BEGIN EXIT; END^\n"
                                           "SET TERM ; ^\n"
                                           "COMMENT ON TABLE A IS 'x';\n");
    const QStringList c = divideRoteiro(roteiro);
    ASSERT_EQ(c.size(), 4);
    EXPECT_TRUE(c[0].endsWith(QStringLiteral("DEFAULT ';')")));
    EXPECT_TRUE(c[1].endsWith(QStringLiteral("VALUES ('a;b')")));
    EXPECT_EQ(c[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN EXIT; END"));
    EXPECT_EQ(c[3], QStringLiteral("COMMENT ON TABLE A IS 'x'"));
}

TEST(Roteiro, RecusaRoteiroTruncado) {
    EXPECT_THROW(divideRoteiro(QStringLiteral("SELECT 1 FROM RDB$DATABASE")), nq::Erro);
    EXPECT_THROW(divideRoteiro(QStringLiteral("INSERT INTO A VALUES ('aberto);")), nq::Erro);
    EXPECT_TRUE(divideRoteiro(QStringLiteral("-- só comentário\n")).isEmpty());
}
