#include "apoio/disco_pequeno.h"
#include "apoio/falha_de_gravacao.h"
#include "banco_roteirizado.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "tables/pacote.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace nq;

namespace {

using teste::SqlEntidades1B;
using teste::SqlEntidades6;
using teste::SqlEntidades7;

QStringList coluna(const Dados& d, const QString& campo) {
    QStringList r;
    const int c = d.indiceDoCampo(campo);
    for (int l = 0; l < d.linhas(); ++l)
        r << d.valor(l, c).asString();
    return r;
}

int linhaCom(const Dados& d, const QString& campo, const Value& v) {
    const int c = d.indiceDoCampo(campo);
    for (int l = 0; l < d.linhas(); ++l)
        if (d.valor(l, c) == v)
            return l;
    return -1;
}

QByteArray bytes(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file's inode: a save replaces the file, so a new inode means it was written.
ino_t inode(const QString& caminho) {
    struct stat st {};
    ::stat(QFile::encodeName(caminho).constData(), &st);
    return st.st_ino;
}

class Preparacao : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        cdsAux2.setProvider(&banco);
        qrCliente.setProvider(&banco);
        qrCliente.setCommandText(QStringLiteral("SELECT * FROM CADCLI"));
        defineExercicio(QStringLiteral("2005"));
        defineEntidades(
            {{3, QStringLiteral("TRÊS")}, {1, QStringLiteral("UM")}, {2, QStringLiteral("DOIS")}});
        defineFuncoes({QStringLiteral("04"), QStringLiteral("04.122"), QStringLiteral("10")});
    }

    QString dir() const { return tmp.path() + '/'; }
    QString caminho(const QString& nome) const { return dir() + nome; }
    Dados le(const QString& nome) const { return lePacote(caminho(nome)); }

    void defineExercicio(const QString& mexer) {
        banco.responde(QStringLiteral("SELECT * FROM CADCLI"),
                       {{{QStringLiteral("CODIGO"), FieldKind::Integer},
                         {QStringLiteral("MEXER"), FieldKind::Text, 4}},
                        {{int32_t(1), Value(mexer)}}});
    }

    // In database order for the unordered query, by code for the ordered ones.
    void defineEntidades(std::vector<std::pair<int, QString>> entidades) {
        teste::BancoRoteirizado::Resultado r{{{QStringLiteral("EMPRESA"), FieldKind::Integer},
                                              {QStringLiteral("NOME"), FieldKind::Text, 80}},
                                             {}};
        for (const auto& [codigo, nome] : entidades)
            r.linhas.push_back({Value(int32_t(codigo)), Value(nome)});
        banco.responde(SqlEntidades1B, r);
        std::sort(r.linhas.begin(), r.linhas.end(),
                  [](const auto& a, const auto& b) { return a[0].asInteger() < b[0].asInteger(); });
        banco.responde(SqlEntidades6, r);
        banco.responde(SqlEntidades7, r);
    }

    void defineFuncoes(const QStringList& codigos) {
        teste::BancoRoteirizado::Resultado r{{{QStringLiteral("FUNCAO"), FieldKind::Text, 6},
                                              {QStringLiteral("NOME"), FieldKind::Text, 60}},
                                             {}};
        for (const auto& c : codigos)
            r.linhas.push_back({Value(c), Value(QStringLiteral("Função ") + c)});
        banco.responde(teste::SqlFuncoes, r);
    }

    void preparaTudo(const QString& ano = QStringLiteral("2006")) {
        PreparaAnexo1(dir());
        PreparaAnexo1B(dir(), cdsAux2);
        PreparaAnexo2(dir(), cdsAux2);
        PreparaAnexo3(dir(), ano);
        PreparaAnexo4(dir(), qrCliente);
        PreparaAnexo5(dir(), ano);
        PreparaAnexo6(dir(), cdsAux2);
        PreparaAnexo7(dir(), cdsAux2);
        PreparaJustificativas(dir());
        PreparaAnexo8(dir(), qrCliente);
        PreparaAnexo10(dir());
        PreparaGestaoFiscal(dir());
        PreparaGestaoFiscalDigitada(dir());
    }

    // Types `valor` into `campo` of the row whose `campoChave` is `chave`, as the
    // data-entry window saves it.
    void digita(const QString& nome, const QString& campoChave, const Value& chave,
                const QString& campo, const Value& valor) {
        ClientDataSet t;
        t.loadFromFile(caminho(nome));
        ASSERT_TRUE(t.locate(campoChave, chave)) << chave.asString().toStdString();
        t.edit();
        t.fieldByName(campo).setValue(valor);
        t.post();
        t.saveToFile(caminho(nome));
    }

    // The value in `coluna` of the first row of `arquivo` whose `campo` is `chave`.
    Value em(const QString& arquivo, const QString& campo, const Value& chave,
             const QString& coluna) const {
        const Dados d = le(arquivo);
        const int l = linhaCom(d, campo, chave);
        return l < 0 ? Value(QStringLiteral("<sem linha>")) : d.valor(l, d.indiceDoCampo(coluna));
    }

    QString erroDe(const std::function<void()>& f) {
        try {
            f();
        } catch (const Erro& e) {
            return e.texto();
        }
        ADD_FAILURE() << "nenhum erro";
        return {};
    }

    QTemporaryDir tmp;
    teste::BancoRoteirizado banco;
    ClientDataSet cdsAux2{QStringLiteral("cdsAux2")};
    ClientDataSet qrCliente{QStringLiteral("qrCliente")};
};

TEST_F(Preparacao, PrimeiraPreparacaoCriaOsArquivos) {
    preparaTudo();
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files).size(), 20);
    EXPECT_EQ(le("NQ404_Anx7Jus.XML").linhas(), 0);
    // Annex 4's "Outras" condition is longer than its column and is kept cut to it
    // (the annex replaces that condition when it computes).
    const QString outras = em("NQ404_Anexo4_Receita.xml", "ID", "00080", "FILTRO").asString();
    EXPECT_EQ(outras.size(), 150);
    EXPECT_TRUE(outras.startsWith("((codre like '12%' and tipo='PR') and (codre not like '9%'"));
}

TEST_F(Preparacao, SoOAnexo1ZeraOsValoresDasLinhasNovas) {
    preparaTudo();
    for (const QString nome :
         {"NQ404_Anexo1_Receita.xml", "NQ404_Anexo1_Despesa.xml", "NQ404_Anexo2.xml",
          "NQ404_Anexo6.xml", "NQ404_ANX10.XML", "NQ404_ANXGED.XML"}) {
        const Dados d = le(nome);
        const bool zerado = nome.startsWith("NQ404_Anexo1_");
        for (int c = 0; c < d.campos(); ++c) {
            if (d.def(c).kind != FieldKind::Money)
                continue;
            for (int l = 0; l < d.linhas(); ++l) {
                if (zerado)
                    EXPECT_EQ(d.valor(l, c), Value(Moeda())) << nome.toStdString();
                else
                    EXPECT_TRUE(d.valor(l, c).isNull()) << nome.toStdString();
            }
        }
    }
}

TEST_F(Preparacao, SegundaPreparacaoMantemOQueFoiDigitadoERestauraOSemeado) {
    preparaTudo();
    std::map<QString, int> linhas;
    for (const auto& nome : QDir(dir()).entryList(QDir::Files))
        linhas[nome] = le(nome).linhas();

    const Moeda valor = Moeda::deDezMilesimos(12345600);
    digita("NQ404_Anexo1_Receita.xml", "ID", "00040", "REALIZADO_BIM3", valor);
    digita("NQ404_Anexo1_Receita.xml", "ID", "00050", "NOME", "ISS alterado");
    digita("NQ404_Anexo1_Receita.xml", "RECEITA", "1112.08.00", "ID", "00999");
    digita("NQ404_Anexo1_Receita.xml", "ID", "00065", "FILTRO", "codre like '9%'");
    digita("NQ404_Anexo2.xml", "SUBFUNCAO", "04.122", "LIQUIDADO_BIM2", valor);
    digita("NQ404_Anexo3_2006.xml", "ID", "00030", "MAIO", valor);
    digita("NQ404_ANX10.XML", "SEQ", int32_t(2), "VALOR13", valor);
    digita("NQ404_ANXGED.XML", "ID", "00470", "QUAD1", valor);
    digita("NQ404_Anexo8.XML", "ANO", int32_t(2010), "RESULTADO", valor);
    {
        // A row that the program does not seed.
        ClientDataSet t;
        t.loadFromFile(caminho("NQ404_Anexo7.xml"));
        t.append();
        t.fieldByName("DESPESA").setAsString("0999.99.99");
        t.fieldByName("NOME").setAsString("Linha do usuário");
        t.fieldByName("ID").setAsString("00990");
        t.fieldByName("PREV_ATUAL").setAsCurrency(valor);
        t.post();
        t.saveToFile(caminho("NQ404_Anexo7.xml"));
    }

    preparaTudo();

    for (const auto& [nome, quantas] : linhas)
        EXPECT_EQ(le(nome).linhas(), quantas + (nome == "NQ404_Anexo7.xml" ? 1 : 0))
            << nome.toStdString();
    const QString rec = "NQ404_Anexo1_Receita.xml";
    EXPECT_EQ(em(rec, "ID", "00040", "REALIZADO_BIM3"), Value(valor));
    EXPECT_EQ(em(rec, "ID", "00040", "REALIZADO_BIM2"), Value(Moeda()));
    EXPECT_EQ(em(rec, "ID", "00050", "NOME"), Value("   ISSQN"));
    EXPECT_EQ(em(rec, "RECEITA", "1112.08.00", "ID"), Value("00060"));
    EXPECT_EQ(em(rec, "ID", "00065", "FILTRO"), Value("codre like '1112.04%'"));
    EXPECT_EQ(em("NQ404_Anexo2.xml", "SUBFUNCAO", "04.122", "LIQUIDADO_BIM2"), Value(valor));
    EXPECT_EQ(em("NQ404_Anexo3_2006.xml", "ID", "00030", "MAIO"), Value(valor));
    EXPECT_EQ(em("NQ404_ANX10.XML", "SEQ", int32_t(2), "VALOR13"), Value(valor));
    EXPECT_EQ(em("NQ404_ANXGED.XML", "ID", "00470", "QUAD1"), Value(valor));
    EXPECT_EQ(em("NQ404_Anexo8.XML", "ANO", int32_t(2010), "RESULTADO"), Value(valor));
    EXPECT_EQ(em("NQ404_Anexo7.xml", "DESPESA", "0999.99.99", "PREV_ATUAL"), Value(valor));
    EXPECT_EQ(em("NQ404_Anexo7.xml", "DESPESA", "0999.99.99", "ID"), Value("00990"));
}

TEST_F(Preparacao, EntidadesDoAnexo1BNaOrdemDoBanco) {
    PreparaAnexo1B(dir(), cdsAux2);
    for (const QString nome : {"NQ404_Anexo1B_Receita.xml", "NQ404_Anexo1B_Despesa.xml"}) {
        const Dados d = le(nome);
        EXPECT_EQ(coluna(d, nome.contains("Receita") ? "RECEITA" : "DESPESA").join(' '),
                  "0100.00 03 01 02 0900.00");
        EXPECT_EQ(coluna(d, "ID").join(' '), "00010 00020 00030 00040 00100");
        EXPECT_EQ(coluna(d, "NOME").join(QLatin1Char('|')).toStdString(),
                  "ADMINISTRAÇÃO DIRETA|TRÊS|UM|DOIS|TOTAIS:");
        EXPECT_EQ(coluna(d, "TITULO").join(' '), "VA VA VA VA TI");
    }
    EXPECT_EQ(banco.executados.count(SqlEntidades1B), 1);

    // An entity deleted from the database keeps its row, its values and its last ID.
    digita("NQ404_Anexo1B_Receita.xml", "RECEITA", "01", "ARRECADADA_BIM1", Moeda::deInteiro(7));
    defineEntidades({{2, "DOIS"}, {3, "TRÊS"}});
    PreparaAnexo1B(dir(), cdsAux2);
    const Dados d = le("NQ404_Anexo1B_Receita.xml");
    EXPECT_EQ(coluna(d, "RECEITA").join(' '), "0100.00 03 01 02 0900.00");
    EXPECT_EQ(coluna(d, "ID").join(' '), "00010 00030 00030 00020 00100");
    EXPECT_EQ(em("NQ404_Anexo1B_Receita.xml", "RECEITA", "01", "ARRECADADA_BIM1"),
              Value(Moeda::deInteiro(7)));
}

TEST_F(Preparacao, OrgaosDosAnexos6e7PorCodigo) {
    defineEntidades({{12, QString(60, 'X')}, {7, "AUTARQUIA DE ÁGUA"}});
    PreparaAnexo6(dir(), cdsAux2);
    PreparaAnexo7(dir(), cdsAux2);
    for (const QString nome : {"NQ404_Anexo6.xml", "NQ404_Anexo7.xml"}) {
        EXPECT_EQ(em(nome, "DESPESA", "0202.01.07", "ID"), Value("00057"));
        EXPECT_EQ(em(nome, "DESPESA", "0202.01.07", "NOME"), Value("    AUTARQUIA DE ÁGUA"));
        EXPECT_EQ(em(nome, "DESPESA", "0202.01.07", "TITULO"), Value("VA"));
        // A name longer than the caption column is cut to its 45 characters.
        EXPECT_EQ(em(nome, "DESPESA", "0202.01.12", "NOME"), Value("    " + QString(41, 'X')));
    }
    EXPECT_EQ(coluna(le("NQ404_Anexo7.xml"), "DESPESA").join(' '),
              "0200.00.00 0202.00.00 0202.01.07 0202.01.12 0300.00.00");
}

TEST_F(Preparacao, FuncoesDoAnexo2) {
    PreparaAnexo2(dir(), cdsAux2);
    const Dados d = le("NQ404_Anexo2.xml");
    EXPECT_EQ(coluna(d, "SUBFUNCAO").join(' '), "04 04.122 10 XX.XXX");
    EXPECT_EQ(coluna(d, "FUNCAO").join(' '), "04 04 10 XX");
    EXPECT_EQ(coluna(d, "TITULO").join(' '), "TI VA TI TI");
    EXPECT_EQ(coluna(d, "ID").join(' '), "00010 00020 00030 99999");
    EXPECT_EQ(coluna(d, "NOME").join('|'), "Função 04|Função 04.122|Função 10|TOTAIS:");

    // A function that appears later moves the IDs; the total stays "99999".
    defineFuncoes({"02", "04", "04.122", "10"});
    PreparaAnexo2(dir(), cdsAux2);
    const Dados d2 = le("NQ404_Anexo2.xml");
    EXPECT_EQ(coluna(d2, "SUBFUNCAO").join(' '), "04 04.122 10 XX.XXX 02");
    EXPECT_EQ(coluna(d2, "ID").join(' '), "00020 00030 00040 99999 00010");
}

TEST_F(Preparacao, CondicaoDoAnexo4SegueOExercicio) {
    const QString rec = "NQ404_Anexo4_Receita.xml";
    defineExercicio("2004");
    PreparaAnexo4(dir(), qrCliente);
    EXPECT_EQ(em(rec, "ID", "00010", "FILTRO"),
              Value("(codre like '1210.29.01%' or codre like '1210.29.03%' or codre like "
                    "'1210.29.05%')"));
    defineExercicio("2005");
    PreparaAnexo4(dir(), qrCliente);
    EXPECT_EQ(em(rec, "ID", "00010", "FILTRO"), Value("(balco like '3236%')"));
    EXPECT_EQ(le(rec).linhas(), 9);
    EXPECT_FALSE(qrCliente.active());
}

TEST_F(Preparacao, LinhasDoAnexo5SeguemOAno) {
    PreparaAnexo5(dir(), "2005");
    PreparaAnexo5(dir(), "2006");
    EXPECT_EQ(le("NQ404_Anexo5_Receita_2005.xml").linhas(), 9);
    EXPECT_EQ(le("NQ404_Anexo5_Receita_2006.xml").linhas(), 10);
    const QString d5 = "NQ404_Anexo5_Despesa_2005.xml", d6 = "NQ404_Anexo5_Despesa_2006.xml";
    EXPECT_EQ(em(d5, "ID", "00100", "NOME"), Value("II - DESPESAS FISCAIS LÍQUIDAS"));
    EXPECT_EQ(em(d6, "ID", "00100", "NOME"), Value("II - RESERVA DE CONTINGÊNCIA"));
}

TEST_F(Preparacao, JanelaDeAnosDoAnexo8AndaComOExercicio) {
    const QString a8 = "NQ404_Anexo8.XML";
    PreparaAnexo8(dir(), qrCliente);
    const Dados d = le(a8);
    ASSERT_EQ(d.linhas(), 35);
    EXPECT_EQ(d.valor(0, 0), Value(int32_t(2005)));
    EXPECT_EQ(d.valor(34, 0), Value(int32_t(2039)));
    EXPECT_EQ(em(a8, "ANO", int32_t(2008), "RECEITA"), Value(Moeda()));
    EXPECT_EQ(em(a8, "ANO", int32_t(2008), "DESPESA"), Value(Moeda()));
    EXPECT_TRUE(em(a8, "ANO", int32_t(2008), "RESULTADO").isNull());

    digita(a8, "ANO", int32_t(2010), "RECEITA", Moeda::deInteiro(500));
    digita(a8, "ANO", int32_t(2011), "DESPESA", Value());
    defineExercicio("2006");
    PreparaAnexo8(dir(), qrCliente);
    EXPECT_EQ(coluna(le(a8), "ANO").join(' ').toStdString(),
              QStringLiteral("%1 2040").arg(coluna(d, "ANO").join(' ')).toStdString());
    EXPECT_EQ(em(a8, "ANO", int32_t(2010), "RECEITA"), Value(Moeda::deInteiro(500)));
    EXPECT_EQ(em(a8, "ANO", int32_t(2011), "DESPESA"), Value(Moeda()));
}

TEST_F(Preparacao, JustificativasSoSaoCriadas) {
    PreparaJustificativas(dir());
    EXPECT_EQ(le("NQ404_Anx7Jus.XML").linhas(), 0);
    {
        ClientDataSet t;
        t.loadFromFile(caminho("NQ404_Anx7Jus.XML"));
        t.append();
        t.fieldByName("CODIGO").setAsInteger(1);
        t.fieldByName("DESCRICAO").setAsString("{\\rtf1 texto}");
        t.post();
        t.saveToFile(caminho("NQ404_Anx7Jus.XML"));
    }
    const QByteArray antes = bytes(caminho("NQ404_Anx7Jus.XML"));
    PreparaJustificativas(dir());
    EXPECT_EQ(bytes(caminho("NQ404_Anx7Jus.XML")), antes);
}

TEST_F(Preparacao, ArquivoEmOutraCaixaEhOMesmo) {
    PreparaAnexo1(dir());
    digita("NQ404_Anexo1_Receita.xml", "ID", "00040", "PREVISAO_ANUAL", Moeda::deInteiro(3));
    ASSERT_TRUE(
        QFile::rename(caminho("NQ404_Anexo1_Receita.xml"), caminho("NQ404_ANEXO1_RECEITA.XML")));
    PreparaAnexo1(dir());
    EXPECT_FALSE(QFile::exists(caminho("NQ404_Anexo1_Receita.xml")));
    const Dados d = le("NQ404_ANEXO1_RECEITA.XML");
    EXPECT_EQ(d.linhas(), 26);
    EXPECT_EQ(d.valor(linhaCom(d, "ID", "00040"), d.indiceDoCampo("PREVISAO_ANUAL")),
              Value(Moeda::deInteiro(3)));
}

TEST_F(Preparacao, ArquivoTruncadoOuAlheioNaoMudaNada) {
    PreparaAnexo4(dir(), qrCliente);
    const QString receita = caminho("NQ404_Anexo4_Receita.xml");
    const QString despesa = caminho("NQ404_Anexo4_Despesa.xml");
    // The receipt file is still right; the expenditure file gets cut in half.
    digita("NQ404_Anexo4_Receita.xml", "ID", "00020", "REALIZADO_BIM1", Moeda::deInteiro(1));
    const QByteArray inteiro = bytes(despesa);
    {
        QFile f(despesa);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(inteiro.left(inteiro.size() / 2));
    }
    const QByteArray antesReceita = bytes(receita);
    const QByteArray antesDespesa = bytes(despesa);
    defineExercicio("2004"); // would change the receipt file's first condition
    EXPECT_TRUE(
        erroDe([&] { PreparaAnexo4(dir(), qrCliente); }).contains("NQ404_Anexo4_Despesa.xml"));
    EXPECT_EQ(bytes(receita), antesReceita);
    EXPECT_EQ(bytes(despesa), antesDespesa);

    // A packet of another file lacks the key column.
    ASSERT_TRUE(QFile::remove(despesa));
    ASSERT_TRUE(QFile::copy(caminho("NQ404_Anexo4_Receita_Fin.xml"), despesa));
    const QString erro = erroDe([&] { PreparaAnexo4(dir(), qrCliente); });
    EXPECT_TRUE(erro.contains("DESPESA")) << erro.toStdString();
    EXPECT_TRUE(erro.contains("NQ404_Anexo4_Despesa.xml")) << erro.toStdString();
    EXPECT_EQ(bytes(receita), antesReceita);
}

TEST_F(Preparacao, ColunaObrigatoriaQueAPreparacaoNaoPreencheNaoMudaNada) {
    // A packet written elsewhere marks VALOR1 required and holds one row only:
    // the rows to be added could not be posted, so nothing may be written.
    PreparaAnexo10(dir());
    const QString arquivo = caminho("NQ404_ANX10.XML");
    ClientDataSet original;
    original.loadFromFile(arquivo);
    ClientDataSet alheio;
    for (int i = 0; i < original.fieldCount(); ++i) {
        const FieldDef& def = original.fieldDef(i);
        alheio.addField(def.name, def.kind, def.size, def.name == "VALOR1");
    }
    alheio.createDataSet();
    alheio.append();
    alheio.fieldByName("ID").setAsString("00010");
    alheio.fieldByName("NOME").setAsString("Nome mudado");
    alheio.fieldByName("VALOR1").setAsCurrency(Moeda::deInteiro(7));
    alheio.post();
    alheio.saveToFile(arquivo);
    const QByteArray antes = bytes(arquivo);

    const QString erro = erroDe([&] { PreparaAnexo10(dir()); });
    EXPECT_TRUE(erro.contains("VALOR1")) << erro.toStdString();
    EXPECT_EQ(bytes(arquivo), antes);
}

TEST_F(Preparacao, ErroNaPrimeiraPreparacaoNaoCriaArquivo) {
    banco.responde(SqlEntidades1B,
                   {{{"EMPRESA", FieldKind::Text, 4}, {"NOME", FieldKind::Text, 80}},
                    {{Value("01"), Value("UM")}, {Value("AB"), Value("XIS")}}});
    const QString erro = erroDe([&] { PreparaAnexo1B(dir(), cdsAux2); });
    EXPECT_TRUE(erro.contains("'AB'")) << erro.toStdString();
    EXPECT_TRUE(erro.contains("EMPRESA")) << erro.toStdString();
    EXPECT_FALSE(cdsAux2.active());

    defineExercicio("20X5");
    EXPECT_TRUE(erroDe([&] { PreparaAnexo8(dir(), qrCliente); }).contains("MEXER"));
    banco.responde("SELECT * FROM CADCLI", {{{"MEXER", FieldKind::Text, 4}}, {}});
    EXPECT_TRUE(erroDe([&] { PreparaAnexo4(dir(), qrCliente); }).contains("CADCLI"));
    EXPECT_TRUE(erroDe([&] { PreparaAnexo5(dir(), "06"); }).contains("Ano inválido"));
    EXPECT_TRUE(erroDe([&] { PreparaAnexo3(dir(), "../2006"); }).contains("Ano inválido"));
    EXPECT_TRUE(QDir(dir()).entryList(QDir::Files).isEmpty());

    EXPECT_TRUE(erroDe([&] { PreparaAnexo10(dir() + "falta/"); }).contains("não existe"));
    EXPECT_TRUE(erroDe([&] { PreparaAnexo10(QString()); }).contains("não foi definido"));
}

TEST_F(Preparacao, SemNadaAMudarNenhumArquivoEhReescrito) {
    preparaTudo();
    std::map<QString, ino_t> antes;
    for (const auto& nome : QDir(dir()).entryList(QDir::Files))
        antes[nome] = inode(caminho(nome));
    {
        // Any save would fail: none is tried.
        const GravacaoQueFalha falha(PassoDaGravacao::Cria, EIO);
        preparaTudo();
    }
    for (const auto& [nome, i] : antes)
        EXPECT_EQ(inode(caminho(nome)), i) << nome.toStdString();

    // A caption the seed list restores: only that file is written.
    digita("NQ404_ANX10.XML", "SEQ", int32_t(5), "NOME", "Inativos mudado");
    const ino_t anx10 = inode(caminho("NQ404_ANX10.XML"));
    preparaTudo();
    EXPECT_NE(inode(caminho("NQ404_ANX10.XML")), anx10);
    EXPECT_EQ(em("NQ404_ANX10.XML", "SEQ", int32_t(5), "NOME"), Value("  Inativos"));
    antes.erase("NQ404_ANX10.XML");
    for (const auto& [nome, i] : antes)
        EXPECT_EQ(inode(caminho(nome)), i) << nome.toStdString();
}

TEST_F(Preparacao, FalhaAoGravarDeixaCadaArquivoDigitadoInteiro) {
    preparaTudo();
    // Changes the preparation must undo, in a file saved once and in one saved row by row.
    digita("NQ404_Anexo1_Receita.xml", "ID", "00050", "NOME", "ISS alterado");
    digita("NQ404_ANXGE.XML", "SEQ", int32_t(3), "NOME", "Limite mudado");
    const QByteArray receita = bytes(caminho("NQ404_Anexo1_Receita.xml"));
    const QByteArray gestao = bytes(caminho("NQ404_ANXGE.XML"));
    for (PassoDaGravacao passo :
         {PassoDaGravacao::Escreve, PassoDaGravacao::Sincroniza, PassoDaGravacao::Renomeia}) {
        const GravacaoQueFalha falha(passo, ENOSPC);
        EXPECT_EQ(
            erroDe([&] { PreparaAnexo1(dir()); }),
            "Não foi possível gravar o arquivo \"" + caminho("NQ404_Anexo1_Receita.xml") + "\": " +
                (passo == PassoDaGravacao::Escreve ? "falha ao escrever os dados (disco cheio)."
                                                   : "disco cheio."));
        EXPECT_TRUE(erroDe([&] { PreparaGestaoFiscal(dir()); }).contains("disco cheio"));
        EXPECT_EQ(bytes(caminho("NQ404_Anexo1_Receita.xml")), receita);
        EXPECT_EQ(bytes(caminho("NQ404_ANXGE.XML")), gestao);
    }
    EXPECT_TRUE(QDir(dir()).entryList(QDir::Hidden | QDir::Files).filter(".nq404-").isEmpty());
}

TEST_F(Preparacao, DiscoCheioDeVerdadeNaoEsvaziaArquivos) {
    DiscoPequeno disco(512);
    EXIGE_DISCO_PEQUENO(disco);
    const QString d = disco.caminho() + '/';
    PreparaAnexo1(d);
    PreparaAnexo3(d, "2008");
    ClientDataSet t;
    t.loadFromFile(d + "NQ404_Anexo3_2008.xml");
    t.locate("ID", Value("00010"));
    t.edit();
    t.fieldByName("NOME").setAsString("mudado");
    t.post();
    t.saveToFile(d + "NQ404_Anexo3_2008.xml");
    const QByteArray receita = bytes(d + "NQ404_Anexo1_Receita.xml");
    const QByteArray anexo3 = bytes(d + "NQ404_Anexo3_2008.xml");
    disco.enche();

    PreparaAnexo1(d); // nothing to change, nothing written
    EXPECT_TRUE(erroDe([&] { PreparaAnexo3(d, "2008"); }).contains("disco cheio"));
    EXPECT_EQ(bytes(d + "NQ404_Anexo1_Receita.xml"), receita);
    EXPECT_EQ(bytes(d + "NQ404_Anexo3_2008.xml"), anexo3);
    EXPECT_EQ(QDir(d).entryList(QDir::Hidden | QDir::Files).join(','),
              ".enchimento,NQ404_Anexo1_Despesa.xml,NQ404_Anexo1_Receita.xml,"
              "NQ404_Anexo3_2008.xml");
    disco.esvazia();
    PreparaAnexo3(d, "2008");
    const Dados a3 = lePacote(d + "NQ404_Anexo3_2008.xml");
    EXPECT_EQ(a3.valor(linhaCom(a3, "ID", "00010"), a3.indiceDoCampo("NOME")),
              Value("ADMINISTRACAO DIRETA"));
}

TEST_F(Preparacao, ColunaDeMoedaGravadaComOutroTipo) {
    PreparaAnexo1(dir());
    const QString rec = caminho("NQ404_Anexo1_Receita.xml");
    QString xml = QString::fromUtf8(bytes(rec));
    xml.replace(R"(attrname="REALIZADO_BIM3" fieldtype="r8" SUBTYPE="Money")",
                R"(attrname="REALIZADO_BIM3" fieldtype="string" WIDTH="20")");
    xml.replace(QRegularExpression(R"((<ROW RECEITA="1112.02.00"[^>]* REALIZADO_BIM3=")0")"),
                R"(\124605036.09")");
    const auto grava = [&](const QString& texto) {
        QFile f(rec);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(texto.toUtf8());
    };

    // Every value reads as money: converted exactly, and the user is told.
    grava(xml);
    MensagensDeTeste msgs;
    PreparaAnexo1(dir());
    const Dados convertido = le("NQ404_Anexo1_Receita.xml");
    EXPECT_EQ(convertido.def(convertido.indiceDoCampo("REALIZADO_BIM3")).kind, FieldKind::Money);
    EXPECT_EQ(em("NQ404_Anexo1_Receita.xml", "ID", "00040", "REALIZADO_BIM3"),
              Value(*Moeda::deTexto("24605036.09")));
    ASSERT_EQ(msgs->textos().size(), 1);
    EXPECT_TRUE(msgs->textos()[0].contains("REALIZADO_BIM3"));

    // One value that does not: refused, naming file, column and value; nothing written.
    QString ruim = xml;
    ruim.replace("24605036.09", "24.605.036,09");
    grava(ruim);
    const QByteArray antes = bytes(rec);
    const QString erro = erroDe([&] { PreparaAnexo1(dir()); });
    EXPECT_TRUE(erro.contains(rec) && erro.contains("REALIZADO_BIM3") &&
                erro.contains("\"24.605.036,09\"") && erro.contains("texto"))
        << erro.toStdString();
    EXPECT_EQ(bytes(rec), antes);

    // A floating-point column without the money subtype: exact values convert.
    QString real = QString::fromUtf8(antes);
    real.replace(R"(attrname="REALIZADO_BIM3" fieldtype="string" WIDTH="20")",
                 R"(attrname="REALIZADO_BIM3" fieldtype="r8")");
    real.replace("24.605.036,09", "0.00001");
    grava(real);
    EXPECT_TRUE(erroDe([&] { PreparaAnexo1(dir()); }).contains("\"1e-05\""));
    real.replace("0.00001", "-2119605.58");
    grava(real);
    PreparaAnexo1(dir());
    EXPECT_EQ(em("NQ404_Anexo1_Receita.xml", "ID", "00040", "REALIZADO_BIM3"),
              Value(*Moeda::deTexto("-2119605.58")));
}

} // namespace
