#include "apoio_anexos.h"

#include "annexes/anexo8/anexo8.h"
#include "core/globais.h"
#include "report/despejo.h"

#include <QDir>
#include <QFile>

using nq::Moeda;
using nq::Value;

namespace {

class Anexo8 : public BancoDeAnexos {
protected:
    // A year of the typed file as data entry (or an older program) left it.
    void digita(const QString& nome, int ano, const std::map<QString, Value>& valores) {
        ::digita(dados() + nome, nq::ArquivoDigitado::Anexo8, Value(ano), valores);
    }
    Resultado roda(std::vector<bool> respostas = {}, int bimestre = 0) {
        return BancoDeAnexos::roda<nq::TImpAnexo8>(bimestre, respostas);
    }
    static QStringList anos(const Resultado& r) { return r.linhas("cdsProjecao", "RECEITA"); }
    static QStringList deAte(int de, int ate) {
        QStringList a;
        for (int ano = de; ano <= ate; ++ano)
            a << QString::number(ano);
        return a;
    }
};

TEST_F(Anexo8, ArquivoCriadoComOsAnosDoExercicioEDepoisUsadoComoEsta) {
    const Resultado primeiro = roda();
    EXPECT_EQ(anos(primeiro), deAte(2008, 2042));
    for (const char* coluna : {"RECEITA", "DESPESA", "RESULTADO"})
        EXPECT_EQ(primeiro.figura("cdsProjecao", "2042", coluna), "0.00");

    // The next exercise reads the same file as it is: its years move only through data entry.
    executa("UPDATE CADCLI SET MEXER = '2009'");
    const Resultado seguinte = roda();
    QTemporaryDir outro;
    nq::defineDiretorioDados(outro.path() + '/');
    const Resultado emOutroDiretorio = roda();
    executa("UPDATE CADCLI SET MEXER = '2008'");
    EXPECT_EQ(anos(seguinte), deAte(2008, 2042));
    EXPECT_TRUE(nq::despejo(seguinte.documento).contains("ANO DE 2009"));
    EXPECT_EQ(anos(emOutroDiretorio), deAte(2009, 2043));
}

TEST_F(Anexo8, AnosEmOrdemComResultadoDaReceitaMenosADespesa) {
    const QString nome = "nq404_anexo8.xml";
    digita(nome, 2010,
           {{"RECEITA", Value(Moeda::deInteiro(1000))},
            {"DESPESA", Value(*Moeda::deTexto("1250.50"))},
            {"RESULTADO", Value(Moeda::deInteiro(999))}});
    digita(nome, 2009, {});
    digita(nome, 2012, {{"RECEITA", Value(Moeda::deInteiro(5))}});
    QFile arquivo(dados() + nome);
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    const QByteArray antes = arquivo.readAll();
    arquivo.close();

    const Resultado r = roda();
    EXPECT_EQ(anos(r), QStringList({"2009", "2010", "2012"}));
    EXPECT_EQ(r.figura("cdsProjecao", "2010", "RESULTADO"), "-250.50");
    EXPECT_EQ(r.figura("cdsProjecao", "2012", "RESULTADO"), "5.00");
    for (const char* coluna : {"RECEITA", "DESPESA", "RESULTADO"})
        EXPECT_EQ(r.figura("cdsProjecao", "2009", coluna), "0.00") << coluna;
    // Found under its own spelling and left as it was.
    EXPECT_EQ(QDir(dados()).entryList(QDir::Files), QStringList({nome}));
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), antes);
}

TEST_F(Anexo8, PaginasDeReferenciaECsvIgualAoPdf) {
    for (int ano = 2008; ano <= 2042; ++ano)
        digita("NQ404_Anexo8.XML", ano,
               {{"RECEITA", Value(Moeda::deInteiro(1000000 + 37 * (ano - 2008)))},
                {"DESPESA", Value(Moeda::deInteiro(990000 + 41 * (ano - 2008)))}});
    const Resultado r = roda();
    comparaComGoldenDoAnexo("anexo8", "anexo8", nq::despejo(r.documento));
    EXPECT_EQ(r.figuras.size(), 3u * 35);
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo8.pdf"));
}

TEST_F(Anexo8, PlanilhaRecebeOsAnosQueAFolhaTraz) {
    digita("NQ404_Anexo8.XML", 2008, {{"RECEITA", Value(Moeda::deInteiro(10))}});
    digita("NQ404_Anexo8.XML", 2010, {{"DESPESA", Value(Moeda::deInteiro(30))}});
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    auto& folha = pasta.folhas["mod 8"];
    folha["A16"] = nq::ValorCelula::deNumero(2008);
    folha["A17"] = nq::ValorCelula::deTexto("Total");
    folha["A18"] = nq::ValorCelula::deTexto("2010");
    folha["A19"] = nq::ValorCelula::deNumero(2011);
    folha["C19"] = nq::ValorCelula::deNumero(77);
    pasta.folhas["Com"]["AH6"] = nq::ValorCelula::deTexto("5");

    roda({true});
    ASSERT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].texto, "2008");
    // No bimester chosen: the sheet keeps the one it holds.
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].texto, "5");
    EXPECT_DOUBLE_EQ(folha["B16"].numero, 10);
    EXPECT_EQ(folha.count("B17"), 0u);
    EXPECT_DOUBLE_EQ(folha["C18"].numero, 30);
    EXPECT_EQ(folha.count("B19"), 0u);
    EXPECT_DOUBLE_EQ(folha["C19"].numero, 77);

    roda({true}, 3);
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].texto, "3");
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].texto, "6");
}

// The workbook is a chamber's only when the name's prefix reads "CAM" once raised:
// "Câmara" in mixed case keeps its accent and is asked.
TEST_F(Anexo8, CamaraSoEhReconhecidaSemAcento) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    const auto semBimestre = [&] { return roda({false}); };
    EXPECT_TRUE(perguntaPlanilhaCom("Câmara Municipal de Vila Nova", semBimestre));
    EXPECT_FALSE(perguntaPlanilhaCom("camara municipal de vila nova", semBimestre));
}

} // namespace
