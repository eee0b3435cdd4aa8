#include "core/erro.h"
#include "entry/catalogo.h"
#include "entry/strzero.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace nq;

namespace {

const std::vector<ArquivoDigitado> Todos = {
    ArquivoDigitado::Anexo1Receita,
    ArquivoDigitado::Anexo1Despesa,
    ArquivoDigitado::Anexo1BReceita,
    ArquivoDigitado::Anexo1BDespesa,
    ArquivoDigitado::Anexo2,
    ArquivoDigitado::Anexo3,
    ArquivoDigitado::Anexo4Receita,
    ArquivoDigitado::Anexo4ReceitaFin,
    ArquivoDigitado::Anexo4Despesa,
    ArquivoDigitado::Anexo4DespesaFin,
    ArquivoDigitado::Anexo5Receita,
    ArquivoDigitado::Anexo5Despesa,
    ArquivoDigitado::Anexo5Especificacao,
    ArquivoDigitado::Anexo6,
    ArquivoDigitado::Anexo7,
    ArquivoDigitado::Justificativas,
    ArquivoDigitado::Anexo8,
    ArquivoDigitado::Anexo10,
    ArquivoDigitado::GestaoFiscal,
    ArquivoDigitado::GestaoFiscalDigitada,
};

QString textoDoErro(const std::function<void()>& f) {
    try {
        f();
    } catch (const Erro& e) {
        return e.texto();
    }
    return {};
}

} // namespace

TEST(StrZero, CompletaComZerosEConfereOInteiro) {
    EXPECT_EQ(StrZero(QStringLiteral("7"), 2), QStringLiteral("07"));
    EXPECT_EQ(StrZero(QStringLiteral(" 7 "), 5), QStringLiteral("00007"));
    EXPECT_EQ(StrZero(QStringLiteral("007"), 2), QStringLiteral("07"));
    EXPECT_EQ(StrZero(QStringLiteral("123"), 2), QStringLiteral("123"));
    EXPECT_EQ(StrZero(57, 5), QStringLiteral("00057"));
    EXPECT_EQ(textoDoErro([] { StrZero(QStringLiteral("AB"), 2); }),
              QStringLiteral("'AB' não é um valor inteiro válido."));
    EXPECT_FALSE(textoDoErro([] { StrZero(QString(), 2); }).isEmpty());
    EXPECT_FALSE(textoDoErro([] { StrZero(QStringLiteral("1.5"), 2); }).isEmpty());
}

TEST(Catalogo, NomesDosArquivosPorAnoExigemUmAnoDeQuatroDigitos) {
    EXPECT_EQ(nomeArquivo(ArquivoDigitado::Anexo3, QStringLiteral("2007")),
              QStringLiteral("NQ404_Anexo3_2007.xml"));
    EXPECT_EQ(nomeArquivo(ArquivoDigitado::Anexo5Especificacao, QStringLiteral("2006")),
              QStringLiteral("NQ404_Anexo5_Especificacao_2006.xml"));
    EXPECT_EQ(nomeArquivo(ArquivoDigitado::Anexo7), QStringLiteral("NQ404_Anexo7.xml"));
    for (const QString& ano :
         {QString(), QStringLiteral("07"), QStringLiteral("../2006"), QStringLiteral("20O6")})
        EXPECT_TRUE(textoDoErro([&] {
                        nomeArquivo(ArquivoDigitado::Anexo3, ano);
                    }).contains(QStringLiteral("Ano inválido")))
            << ano.toStdString();
}

// Every description is coherent: its rows write only its own columns, keys and
// IDs are distinct within one year's seed list, line markers are known.
TEST(Catalogo, DescricoesCoerentes) {
    for (const auto a : Todos) {
        const DescricaoArquivo& d = descricao(a);
        SCOPED_TRACE(d.arquivo.toStdString());
        QSet<QString> colunas;
        for (const auto& c : d.colunas)
            colunas << c.name;
        ASSERT_TRUE(colunas.contains(d.chave));
        for (const int ano : {2004, 2005, 2006}) {
            QSet<QString> chaves, ids;
            for (const auto& l : d.linhas(ano)) {
                for (const auto& [nome, v] : l.valores())
                    EXPECT_TRUE(colunas.contains(nome)) << nome.toStdString();
                const QString chave = l.valor(d.chave).asString();
                EXPECT_FALSE(chaves.contains(chave)) << chave.toStdString();
                chaves << chave;
                const QString id = l.valor(QStringLiteral("ID")).asString();
                EXPECT_EQ(id.size(), 5);
                EXPECT_FALSE(ids.contains(id)) << id.toStdString();
                ids << id;
                EXPECT_TRUE(QStringList({"TI", "VA", "VC"})
                                .contains(l.valor(QStringLiteral("TITULO")).asString()));
            }
        }
    }
}
