#include "core/erro.h"
#include "tables/clientdataset.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

// The shape of a line file: key, caption, money, kind, order number.
void defineLinhas(ClientDataSet& t) {
    t.clearFields();
    t.addField("RECEITA", FieldKind::Text, 13);
    t.addField("NOME", FieldKind::Text, 45);
    t.addField("VALOR", FieldKind::Money);
    t.addField("TITULO", FieldKind::Text, 2);
    t.addField("ID", FieldKind::Text, 5);
    t.addField("SEQ", FieldKind::Integer);
    t.createDataSet();
}

void acrescenta(ClientDataSet& t, const QString& receita, const QString& id, int seq,
                const Value& valor = {}) {
    t.append();
    t.fieldByName("RECEITA").setAsString(receita);
    t.fieldByName("ID").setAsString(id);
    t.fieldByName("SEQ").setAsInteger(seq);
    t.fieldByName("VALOR").setValue(valor);
    t.post();
}

QStringList coluna(ClientDataSet& t, const QString& campo) {
    QStringList r;
    const int c = t.fieldIndex(campo);
    for (int i = 0; i < t.recordCount(); ++i)
        r << t.valueAt(i, c).asString();
    return r;
}

} // namespace

TEST(Tabela, NulosLemComoZeroOuTextoVazioESomamComoZero) {
    ClientDataSet t("cdsRec");
    defineLinhas(t);
    acrescenta(t, "1000", "00010", 1);
    EXPECT_TRUE(t.fieldByName("VALOR").isNull());
    EXPECT_TRUE(t.fieldByName("NOME").isNull());
    EXPECT_EQ(t.fieldByName("NOME").asString(), "");
    EXPECT_EQ(t.fieldByName("valor").asCurrency(), Moeda());
    EXPECT_EQ(t.fieldByName("Valor").asFloat(), 0.0);

    t.edit();
    t.fieldByName("VALOR").setAsCurrency(t.fieldByName("VALOR").asCurrency() +
                                         Moeda::deTexto("12.34").value());
    t.fieldByName("VALOR").setAsFloat(t.fieldByName("VALOR").asFloat() * 3); // 37.02
    t.post();
    EXPECT_EQ(t.fieldByName("VALOR").asCurrency(), Moeda::deTexto("37.02").value());

    // Money from floating point is kept to four places.
    t.edit();
    t.fieldByName("VALOR").setAsFloat(1.0 / 3.0);
    t.post();
    EXPECT_EQ(t.fieldByName("VALOR").asCurrency(), Moeda::deDezMilesimos(3333));
}

TEST(Tabela, ValoresQueNaoCabemSaoRecusadosSemMudarORegistro) {
    ClientDataSet t("cdsRec");
    defineLinhas(t);
    acrescenta(t, "1000", "00010", 1);
    t.edit();
    EXPECT_THROW(t.fieldByName("ID").setAsString("000100"), Erro);
    EXPECT_THROW(t.fieldByName("SEQ").setAsString("dez"), Erro);
    EXPECT_THROW(t.fieldByName("SEQ").setAsFloat(3e10), Erro);
    EXPECT_THROW(t.fieldByName("NAOEXISTE"), Erro);
    t.fieldByName("SEQ").setAsString(" "); // nothing typed: null
    t.post();
    EXPECT_EQ(t.fieldByName("ID").asString(), "00010");
    EXPECT_TRUE(t.fieldByName("SEQ").isNull());

    try {
        t.fieldByName("ID").setAsString("x");
        FAIL();
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains("cdsRec")) << e.texto().toStdString();
    }
}

TEST(Tabela, CampoObrigatorioImpedePostAteTerValor) {
    ClientDataSet t;
    t.addField("CODIGO", FieldKind::Integer, 0, true);
    t.addField("DESCRICAO", FieldKind::FormattedMemo);
    t.createDataSet();
    t.append();
    EXPECT_THROW(t.post(), Erro);
    EXPECT_EQ(t.state(), DataSetState::Insert);
    t.fieldByName("codigo").setAsInteger(1);
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(Tabela, NavegacaoEFimDaTabela) {
    ClientDataSet t;
    defineLinhas(t);
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.fieldByName("ID").isNull()); // no row: null, no error

    for (int i = 1; i <= 3; ++i)
        acrescenta(t, "R", QString("0000%1").arg(i), i);
    QStringList vistos;
    for (t.first(); !t.eof(); t.next())
        vistos << t.fieldByName("ID").asString() + "@" + QString::number(t.recNo());
    EXPECT_EQ(vistos, QStringList({"00001@1", "00002@2", "00003@3"}));
    EXPECT_EQ(t.fieldByName("ID").asString(), "00003"); // eof stays on the last row

    t.last();
    EXPECT_TRUE(t.eof());
    t.prior();
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.recNo(), 2);
    t.setRecNo(1);
    EXPECT_EQ(t.fieldByName("SEQ").asInteger(), 1);
    EXPECT_THROW(t.setRecNo(4), Erro);
}

TEST(Tabela, LocateComparaOValorInteiroComCaixaOuSemCaixaAPedido) {
    ClientDataSet t;
    defineLinhas(t);
    acrescenta(t, "00010 ", "00001", 1);
    acrescenta(t, "Abc", "00002", 2);
    acrescenta(t, "abc", "00003", 3);
    t.setRecNo(2);

    EXPECT_FALSE(t.locate("RECEITA", "00010"));
    EXPECT_EQ(t.recNo(), 2); // not found: the current row stays
    EXPECT_TRUE(t.locate("RECEITA", "00010 "));
    EXPECT_EQ(t.recNo(), 1);

    EXPECT_TRUE(t.locate("receita", "abc"));
    EXPECT_EQ(t.fieldByName("ID").asString(), "00003");
    EXPECT_TRUE(t.locate("RECEITA", "ABC", true));
    EXPECT_EQ(t.fieldByName("ID").asString(), "00002");
    EXPECT_FALSE(t.locate("RECEITA", "ab", true));

    // Numbers compare by value, whatever type the caller passes.
    EXPECT_TRUE(t.locate("SEQ", Value(QStringLiteral("3"))));
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_TRUE(t.locate("SEQ", 2));
    EXPECT_EQ(t.recNo(), 2);
}

TEST(Tabela, EdicaoCancelamentoEEsvaziamento) {
    ClientDataSet t;
    defineLinhas(t);
    acrescenta(t, "A", "00001", 1);
    t.edit();
    t.fieldByName("NOME").setAsString("alterado");
    t.cancel();
    EXPECT_TRUE(t.fieldByName("NOME").isNull());

    t.append();
    t.fieldByName("ID").setAsString("00002");
    t.cancel();
    EXPECT_EQ(t.recordCount(), 1);

    // Moving away from an edited row posts it.
    t.edit();
    t.fieldByName("NOME").setAsString("gravado");
    t.first();
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(t.fieldByName("NOME").asString(), "gravado");

    EXPECT_THROW(t.fieldByName("NOME").setAsString("fora de edição"), Erro);
    EXPECT_THROW(t.post(), Erro);

    t.setFilter("SEQ=99");
    t.setFiltered(true);
    t.emptyDataSet(); // hidden rows go too
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_THROW(t.edit(), Erro);
}

TEST(Tabela, IndiceOrdenaTextosPorCodigoDeCaractereEMantemARowAtual) {
    ClientDataSet t;
    defineLinhas(t);
    acrescenta(t, "x", "00050", 1);
    acrescenta(t, "x", "00044", 2);
    acrescenta(t, "x", "00100", 3);
    acrescenta(t, "x", "0010", 4);
    t.append(); // ID null sorts first
    t.fieldByName("SEQ").setAsInteger(5);
    t.post();
    t.locate("SEQ", 3);

    t.setIndexFieldNames("ID");
    EXPECT_EQ(coluna(t, "ID"), QStringList({"", "00044", "00050", "0010", "00100"}));
    EXPECT_EQ(t.fieldByName("SEQ").asInteger(), 3);
    EXPECT_EQ(t.recNo(), 5);

    // A posted row takes its place in the order and stays current.
    t.locate("ID", "00100");
    t.edit();
    t.fieldByName("ID").setAsString("00001");
    t.post();
    EXPECT_EQ(coluna(t, "ID"), QStringList({"", "00001", "00044", "00050", "0010"}));
    EXPECT_EQ(t.recNo(), 2);
    acrescenta(t, "x", "00045", 6);
    EXPECT_EQ(t.fieldByName("SEQ").asInteger(), 6);
    EXPECT_EQ(t.recNo(), 4);

    t.addIndex("INDICE", "SEQ");
    t.setIndexName("INDICE");
    EXPECT_EQ(coluna(t, "SEQ"), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(t.indexFieldNames(), "");
    EXPECT_THROW(t.setIndexName("OUTRO"), Erro);
    EXPECT_THROW(t.setIndexFieldNames("NAOEXISTE"), Erro);
    EXPECT_EQ(t.indexName(), "INDICE");

    t.setIndexFieldNames("");
    EXPECT_EQ(coluna(t, "SEQ"), QStringList({"1", "2", "3", "4", "5", "6"}));
}

TEST(Tabela, FiltroEIndiceJuntosEPostQueSaiDoFiltro) {
    ClientDataSet t;
    defineLinhas(t);
    for (int i = 1; i <= 6; ++i)
        acrescenta(t, "x", QString("000%1").arg(70 - i * 10), i);
    t.setIndexFieldNames("ID");
    t.setFilter("SEQ<5");
    t.setFiltered(true);
    EXPECT_EQ(coluna(t, "ID"), QStringList({"00030", "00040", "00050", "00060"}));
    EXPECT_EQ(t.recNo(), 1);

    t.setRecNo(2);
    t.edit();
    t.fieldByName("SEQ").setAsInteger(9); // leaves the filter
    t.post();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.fieldByName("ID").asString(), "00050");

    acrescenta(t, "x", "00035", 1);
    EXPECT_EQ(coluna(t, "ID"), QStringList({"00030", "00035", "00050", "00060"}));

    t.setFilter("ID='00170'");
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recordCount(), 0);
    t.first();
    EXPECT_TRUE(t.eof());
    EXPECT_FALSE(t.locate("ID", "00030"));
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 7);
}

TEST(Tabela, CamposCalculadosSaoRecalculadosPorLinha) {
    ClientDataSet t("cdsImp");
    t.addField("A", FieldKind::Money);
    t.addField("B", FieldKind::Money);
    t.addCalculatedField("SOMA", FieldKind::Money);
    int fator = 1;
    t.setOnCalcFields([&fator](ClientDataSet& d) {
        d.fieldByName("SOMA").setAsCurrency(
            (d.fieldByName("A").asCurrency() + d.fieldByName("B").asCurrency()) * fator);
    });
    t.createDataSet();
    t.appendRecord({Moeda::deInteiro(1), Moeda::deInteiro(2)});
    t.appendRecord({Value(), Moeda::deInteiro(5)});
    EXPECT_EQ(t.valueAt(0, 2).asCurrency(), Moeda::deInteiro(3));
    EXPECT_EQ(t.valueAt(1, 2).asCurrency(), Moeda::deInteiro(5));

    t.first();
    t.edit();
    EXPECT_THROW(t.fieldByName("SOMA").setAsCurrency(Moeda()), Erro);
    t.fieldByName("A").setAsCurrency(Moeda::deInteiro(10));
    t.post();
    EXPECT_EQ(t.fieldByName("SOMA").asCurrency(), Moeda::deInteiro(12));

    fator = 2;
    t.refreshCalcFields();
    EXPECT_EQ(t.valueAt(1, 2).asCurrency(), Moeda::deInteiro(10));

    // An index or a filter may use a calculated field.
    t.setIndexFieldNames("SOMA");
    EXPECT_EQ(t.valueAt(0, 2).asCurrency(), Moeda::deInteiro(10));
    t.setFilter("SOMA>20");
    t.setFiltered(true);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(Tabela, ObservadoresOuvemMudancasEPausamEmCarga) {
    ClientDataSet t;
    defineLinhas(t);
    std::vector<std::pair<DataSetEvent, int>> ouvidos;
    const int id = t.addObserver([&](DataSetEvent e, int l) { ouvidos.emplace_back(e, l); });
    t.setIndexFieldNames("ID");
    acrescenta(t, "x", "00020", 1);
    acrescenta(t, "x", "00010", 2);
    const auto linhaMudada =
        std::find(ouvidos.rbegin(), ouvidos.rend(), std::make_pair(DataSetEvent::RowChanged, 0));
    EXPECT_NE(linhaMudada, ouvidos.rend());

    ouvidos.clear();
    t.disableControls();
    t.disableControls();
    for (int i = 0; i < 5; ++i)
        t.appendRecord({"r", Value(), Value(), Value(), QString("0000%1").arg(i), i});
    t.enableControls();
    EXPECT_TRUE(ouvidos.empty());
    t.enableControls();
    ASSERT_EQ(ouvidos.size(), 1u);
    EXPECT_EQ(ouvidos[0].first, DataSetEvent::DataChanged);
    EXPECT_EQ(coluna(t, "ID").first(), "00000"); // bulk rows placed by the index

    t.removeObserver(id);
    t.first();
    EXPECT_EQ(ouvidos.size(), 1u);
}

TEST(Tabela, LerSemMoverALinhaAtualEMarcadores) {
    ClientDataSet t;
    defineLinhas(t);
    for (int i = 1; i <= 4; ++i)
        acrescenta(t, "x", QString("0000%1").arg(5 - i), i);
    t.setRecNo(3);
    const int marca = t.bookmark();
    EXPECT_EQ(coluna(t, "SEQ"), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(t.recNo(), 3);
    t.setIndexFieldNames("ID");
    t.first();
    t.gotoBookmark(marca);
    EXPECT_EQ(t.fieldByName("SEQ").asInteger(), 3);
    EXPECT_THROW(t.valueAt(4, 0), Erro);

    t.setFilter("SEQ<>3");
    t.setFiltered(true);
    EXPECT_THROW(t.gotoBookmark(marca), Erro);
}

namespace {

// Stands in for a database connection: the result of a statement.
class ProvedorFalso : public ProvedorSql {
public:
    QString ultimo;
    bool falha = false;
    void preenche(const QString& comando, ClientDataSet& t) override {
        ultimo = comando;
        t.clearFields();
        t.addField("TOTAL", FieldKind::Money);
        t.createDataSet();
        if (falha)
            throw Erro("conexão perdida");
        t.appendRecord({Value()}); // SUM over no rows
    }
};

} // namespace

TEST(Tabela, ComandoAbrePeloProvedorEFechaDescartandoLinhas) {
    ProvedorFalso provedor;
    ClientDataSet t("cdsAux");
    t.setCommandText("SELECT SUM(VAREC) AS TOTAL FROM RECEIT WHERE 1=0");
    EXPECT_THROW(t.open(), Erro); // no connection
    t.setProvider(&provedor);
    t.open();
    EXPECT_EQ(provedor.ultimo, t.commandText());
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_TRUE(t.fieldByName("TOTAL").isNull());
    EXPECT_EQ(t.fieldByName("TOTAL").asCurrency(), Moeda());
    t.close();
    EXPECT_FALSE(t.active());
    EXPECT_THROW(t.fieldByName("TOTAL").asCurrency(), Erro);

    provedor.falha = true;
    EXPECT_THROW(t.open(), Erro);
    EXPECT_FALSE(t.active());
}

TEST(Tabela, EstruturaPedeTabelaFechadaENomesUnicos) {
    ClientDataSet t;
    EXPECT_THROW(t.createDataSet(), Erro);
    t.addField("ID", FieldKind::Text, 5);
    EXPECT_THROW(t.addField("id", FieldKind::Integer), Erro);
    t.addCalculatedField("TOTAL", FieldKind::Money);
    EXPECT_THROW(t.addField("Total", FieldKind::Money), Erro);
    t.createDataSet();
    EXPECT_EQ(t.fieldNames(), QStringList({"ID", "TOTAL"}));
    EXPECT_THROW(t.clearFields(), Erro);
    EXPECT_THROW(t.appendRecord({"1", "2"}), Erro); // calculated fields take no value
    t.close();
    t.clearFields();
    EXPECT_EQ(t.fieldNames(), QStringList({"TOTAL"})); // calculated fields belong to the table
}
