#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

class PacoteTest : public ::testing::Test {
protected:
    QString caminho(const QString& nome) const { return dir.filePath(nome); }

    void grava(const QString& nome, const QByteArray& bytes) const {
        QFile f(caminho(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray le(const QString& nome) const {
        QFile f(caminho(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Every kind, nulls in each, texts that need escaping, a calculated field.
    static void preencheVariada(ClientDataSet& t) {
        t.addField("ID", FieldKind::Text, 5, true);
        t.addField("NOME", FieldKind::Text, 45);
        t.addField("VALOR", FieldKind::Money);
        t.addField("SEQ", FieldKind::Integer);
        t.addField("TAXA", FieldKind::Float);
        t.addField("DESCRICAO", FieldKind::FormattedMemo);
        t.addCalculatedField("DOBRO", FieldKind::Money);
        t.setOnCalcFields([](ClientDataSet& d) {
            d.fieldByName("DOBRO").setAsCurrency(d.fieldByName("VALOR").asCurrency() * 2.0);
        });
        t.createDataSet();
        t.appendRecord({"00020", "  Saúde \"ação\" <&> ç", Moeda::deTexto("-1234567.8912").value(),
                        -2147483647 - 1, 0.1, "{\\rtf1 linha 1\r\nlinha\t2}"});
        t.appendRecord({"00010", Value(), Value(), Value(), Value(), Value()});
        t.appendRecord(
            {"00044", "", Moeda::deTexto("99999999999.9999").value(), 2147483647, -1.5e-300, ""});
    }

    static void esperaIguais(ClientDataSet& a, ClientDataSet& b) {
        ASSERT_EQ(a.fieldCount(), b.fieldCount());
        for (int c = 0; c < a.fieldCount(); ++c) {
            EXPECT_EQ(a.fieldDef(c).name, b.fieldDef(c).name);
            EXPECT_EQ(a.fieldDef(c).kind, b.fieldDef(c).kind);
            EXPECT_EQ(a.fieldDef(c).size, b.fieldDef(c).size);
            EXPECT_EQ(a.fieldDef(c).required, b.fieldDef(c).required);
        }
        ASSERT_EQ(a.recordCount(), b.recordCount());
        for (int l = 0; l < a.recordCount(); ++l)
            for (int c = 0; c < a.fieldCount(); ++c)
                EXPECT_EQ(a.valueAt(l, c), b.valueAt(l, c)) << "linha " << l << " campo " << c;
    }

    QTemporaryDir dir;
};

const QByteArray CabecalhoLinhas = R"(<?xml version="1.0" standalone="yes"?>
<DATAPACKET Version="2.0"><METADATA><FIELDS>
<FIELD attrname="ID" fieldtype="string" WIDTH="5"/>
<FIELD attrname="NOME" fieldtype="string" WIDTH="45"/>
<FIELD attrname="VALOR" fieldtype="r8" SUBTYPE="Money"/>
<FIELD attrname="SEQ" fieldtype="i4"/>
</FIELDS><PARAMS/></METADATA><ROWDATA>
)";

} // namespace

TEST_F(PacoteTest, XmlIdaEVoltaGuardaCamposOrdemValoresENulos) {
    ClientDataSet t("cdsRec");
    preencheVariada(t);
    t.setIndexFieldNames("ID"); // the file keeps the storage order, not the index
    t.saveToFile(caminho("NQ404_Teste.xml"));

    ClientDataSet lida("cdsLida");
    lida.addCalculatedField("DOBRO", FieldKind::Money);
    lida.setOnCalcFields([](ClientDataSet& d) {
        d.fieldByName("DOBRO").setAsCurrency(d.fieldByName("VALOR").asCurrency() * 2.0);
    });
    lida.loadFromFile(caminho("NQ404_Teste.xml"));
    t.setIndexFieldNames("");
    esperaIguais(t, lida);
    EXPECT_EQ(lida.valueAt(0, 6).asCurrency(), Moeda::deTexto("-2469135.7824").value());

    // The packet itself: declaration, root, typed fields, no calculated field,
    // nulls absent from their row.
    const QString xml = QString::fromUtf8(le("NQ404_Teste.xml"));
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>"));
    EXPECT_TRUE(xml.contains("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"));
    EXPECT_TRUE(xml.contains(
        "<FIELD attrname=\"ID\" fieldtype=\"string\" required=\"true\" WIDTH=\"5\"/>"));
    EXPECT_TRUE(xml.contains("<FIELD attrname=\"VALOR\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"));
    EXPECT_TRUE(xml.contains("<FIELD attrname=\"SEQ\" fieldtype=\"i4\"/>"));
    EXPECT_TRUE(xml.contains("<FIELD attrname=\"TAXA\" fieldtype=\"r8\"/>"));
    EXPECT_TRUE(xml.contains(
        "<FIELD attrname=\"DESCRICAO\" fieldtype=\"bin.hex\" SUBTYPE=\"Formatted\"/>"));
    EXPECT_FALSE(xml.contains("DOBRO"));
    EXPECT_TRUE(xml.contains("<PARAMS/></METADATA><ROWDATA>"));
    EXPECT_TRUE(xml.contains("<ROW ID=\"00010\"/>"));
    EXPECT_TRUE(xml.contains("VALOR=\"-1234567.8912\""));
}

TEST_F(PacoteTest, BinarioIdaEVoltaEReconhecidoPeloConteudo) {
    ClientDataSet t;
    preencheVariada(t);
    t.saveToFile(caminho("NQ404_RCL6.XML"), FormatoPacote::Binario);
    EXPECT_FALSE(le("NQ404_RCL6.XML").startsWith("<"));

    ClientDataSet lida;
    lida.addCalculatedField("DOBRO", FieldKind::Money);
    lida.loadFromFile(caminho("NQ404_RCL6.XML"));
    ASSERT_EQ(lida.fieldCount(), t.fieldCount());
    for (int l = 0; l < t.recordCount(); ++l)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(t.valueAt(l, c), lida.valueAt(l, c));

    // Saved as XML again and read back: the same table.
    lida.saveToFile(caminho("copia.bin"));
    ClientDataSet xml;
    xml.loadFromFile(caminho("copia.bin"));
    EXPECT_EQ(xml.fieldCount(), 6);
    EXPECT_EQ(xml.valueAt(2, 4).asFloat(), -1.5e-300);
}

TEST_F(PacoteTest, PacoteLegadoEmWindows1252ComLogDeAlteracoes) {
    QByteArray bytes = CabecalhoLinhas;
    bytes += "<ROW RowState=\"4\" ID=\"00010\" NOME=\"Receitas Correntes (A)\" VALOR=\"10.5\" "
             "SEQ=\"1\"/>\n";
    bytes += "<ROW RowState=\"1\" ID=\"00020\" NOME=\" Tribut\xE1rias\" VALOR=\"1\" SEQ=\"2\"/>\n";
    bytes += "<ROW RowState=\"8\" NOME=\" Tribut\xE1rias \x80 \x96\" VALOR=\"2.25\"/>\n";
    bytes += "<ROW RowState=\"2\" ID=\"00030\" NOME=\"Apagada\" SEQ=\"3\"/>\n";
    bytes += "<ROW ID=\"00040\" NOME=\"Contribui\xE7\xF5\x65s\" VALOR=\"1E-2\"/>\n";
    bytes += "</ROWDATA></DATAPACKET>\n";
    grava("NQ404_ANEXO1_RECEITA.XML", bytes);

    ClientDataSet t;
    t.loadFromFile(caminho("NQ404_ANEXO1_RECEITA.XML"));
    ASSERT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.valueAt(0, 2).asCurrency(), Moeda::deTexto("10.5").value());
    EXPECT_EQ(t.valueAt(1, 0).asString(), "00020");
    EXPECT_EQ(t.valueAt(1, 1).asString(), QString::fromUtf8(" Tributárias € –"));
    EXPECT_EQ(t.valueAt(1, 2).asCurrency(), Moeda::deTexto("2.25").value());
    EXPECT_EQ(t.valueAt(1, 3).asInteger(), 2);
    EXPECT_EQ(t.valueAt(2, 1).asString(), QString::fromUtf8("Contribuições"));
    EXPECT_EQ(t.valueAt(2, 2).asCurrency(), Moeda::deTexto("0.01").value());
    EXPECT_TRUE(t.valueAt(2, 3).isNull());

    // A declared single-byte encoding is honoured even when the bytes would pass as UTF-8.
    QByteArray declarado = bytes;
    declarado.replace("standalone=", "encoding=\"windows-1252\" standalone=");
    declarado.replace("Receitas Correntes (A)", "Receitas \xC3\xA1");
    grava("declarado.xml", declarado);
    ClientDataSet outra;
    outra.loadFromFile(caminho("declarado.xml"));
    EXPECT_EQ(outra.valueAt(0, 1).asString(), QString::fromUtf8("Receitas Ã¡"));

    // Saved again it is UTF-8, without change log, and reads back the same.
    t.setFileName(caminho("NQ404_Anexo1_Receita.xml"));
    t.saveToFile();
    EXPECT_FALSE(le("NQ404_Anexo1_Receita.xml").contains("RowState"));
    EXPECT_TRUE(le("NQ404_Anexo1_Receita.xml").contains("Tributárias €"));
    ClientDataSet de_novo;
    de_novo.setFileName(caminho("NQ404_Anexo1_Receita.xml"));
    de_novo.open();
    esperaIguais(t, de_novo);
}

TEST_F(PacoteTest, ArquivosRuinsSaoRecusadosComNomeEATabelaNaoMuda) {
    const QByteArray valido =
        CabecalhoLinhas + "<ROW ID=\"00010\" SEQ=\"1\"/></ROWDATA></DATAPACKET>";
    grava("truncado.xml", valido.left(valido.size() - 20));
    grava("estranho.xml", "<html><body>oi</body></html>");
    grava("texto.xml", "ID;NOME\n1;a\n");
    grava("vazio.xml", "");
    QByteArray tipo = valido;
    tipo.replace("fieldtype=\"i4\"", "fieldtype=\"dateTime\"");
    grava("tipo.xml", tipo);
    QByteArray largo = valido;
    largo.replace("ID=\"00010\"", "ID=\"000100\"");
    grava("largo.xml", largo);
    QByteArray numero = valido;
    numero.replace("SEQ=\"1\"", "SEQ=\"um\"");
    grava("numero.xml", numero);
    QByteArray campo = valido;
    campo.replace("SEQ=\"1\"", "OUTRO=\"1\"");
    grava("campo.xml", campo);
    grava("valido.xml", valido);
    ClientDataSet binario;
    binario.addField("ID", FieldKind::Text, 5);
    binario.createDataSet();
    for (int i = 0; i < 50; ++i)
        binario.appendRecord({"00001"});
    binario.saveToFile(caminho("bin.dat"), FormatoPacote::Binario);
    const QByteArray bin = le("bin.dat");
    grava("bin_truncado.dat", bin.left(bin.size() - 3));
    grava("bin_sobra.dat", bin + "x");

    ClientDataSet t("cdsXML");
    t.loadFromFile(caminho("valido.xml"));
    for (const char* nome :
         {"naoexiste.xml", "truncado.xml", "estranho.xml", "texto.xml", "vazio.xml", "tipo.xml",
          "largo.xml", "numero.xml", "campo.xml", "bin_truncado.dat", "bin_sobra.dat"}) {
        try {
            t.loadFromFile(caminho(nome));
            ADD_FAILURE() << nome;
        } catch (const Erro& e) {
            EXPECT_TRUE(e.texto().contains(caminho(nome))) << e.texto().toStdString();
        }
        EXPECT_EQ(t.fieldCount(), 4) << nome;
        EXPECT_EQ(t.recordCount(), 1) << nome;
    }
    EXPECT_THROW(t.loadFromFile(dir.path()), Erro);
}

TEST_F(PacoteTest, GravacaoQueFalhaNaoTocaOArquivoAnterior) {
    ClientDataSet t;
    preencheVariada(t);
    t.saveToFile(caminho("NQ404_Anexo8.XML"));
    const QByteArray antes = le("NQ404_Anexo8.XML");

    // A text no XML can carry makes the save fail half-way.
    t.first();
    t.edit();
    t.fieldByName("NOME").setAsString(QString("a") + QChar(0x1) + "b");
    t.post();
    EXPECT_THROW(t.saveToFile(caminho("NQ404_Anexo8.XML")), Erro);
    EXPECT_EQ(le("NQ404_Anexo8.XML"), antes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"NQ404_Anexo8.XML"}));

    ClientDataSet soma;
    soma.addField("SUM(VAREC)", FieldKind::Money); // a column no XML attribute can name
    soma.createDataSet();
    EXPECT_THROW(soma.saveToFile(caminho("NQ404_Anexo8.XML")), Erro);
    soma.saveToFile(caminho("soma.bin"), FormatoPacote::Binario); // the binary form can

    EXPECT_THROW(t.saveToFile(caminho("falta/NQ404_Anexo8.XML")), Erro);
    EXPECT_THROW(t.saveToFile(), Erro); // no file bound
    t.close();
    EXPECT_THROW(t.saveToFile(caminho("NQ404_Anexo8.XML")), Erro);
    EXPECT_EQ(le("NQ404_Anexo8.XML"), antes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"NQ404_Anexo8.XML", "soma.bin"}));
}
