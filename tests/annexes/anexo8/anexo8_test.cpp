#include "apoio_anexos.h"

#include "annexes/anexo8/anexo8.h"
#include "core/globais.h"
#include "entry/catalogo.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <optional>

using apoio::figura;
using nq::Moeda;

namespace {

struct Ano {
    int ano;
    std::optional<Moeda> receita, despesa, resultado;
};

struct Execucao {
    apoio::SaidaCapturada saida;
    std::vector<nq::MensagemMostrada> mensagens;
};

class Anexo8 : public apoio::BancoDeAnexo {
protected:
    // The typed file as data entry (or an older program) left it, under `nome`.
    void escreve(const QString& nome, const std::vector<Ano>& anos) {
        nq::ClientDataSet t;
        for (const nq::FieldDef& c : nq::descricao(nq::ArquivoDigitado::Anexo8).colunas)
            t.addField(c.name, c.kind, c.size);
        t.createDataSet();
        for (const Ano& a : anos) {
            t.append();
            t.fieldByName("ANO").setAsInteger(a.ano);
            if (a.receita)
                t.fieldByName("RECEITA").setAsCurrency(*a.receita);
            if (a.despesa)
                t.fieldByName("DESPESA").setAsCurrency(*a.despesa);
            if (a.resultado)
                t.fieldByName("RESULTADO").setAsCurrency(*a.resultado);
            t.post();
        }
        t.saveToFile(dados() + nome);
    }
    std::unique_ptr<Execucao> roda(std::vector<bool> respostas = {}) {
        auto r = std::make_unique<Execucao>();
        nq::MensagensDeTeste msgs;
        for (bool resposta : respostas)
            msgs->enfileiraResposta(resposta);
        nq::SaidaInstalada instalada(r->saida);
        nq::TImpAnexo8 janela;
        janela.btncalcula->click();
        r->mensagens = msgs->registro();
        return r;
    }
    static QStringList anos(const Execucao& r) {
        QStringList a;
        for (const auto& linha : r.saida.tabelas.at("ppDBPipeline1"))
            a << linha.at("ANO").asString();
        return a;
    }
    static QStringList deAte(int de, int ate) {
        QStringList a;
        for (int ano = de; ano <= ate; ++ano)
            a << QString::number(ano);
        return a;
    }
};

TEST_F(Anexo8, ArquivoCriadoComOsAnosDoExercicioEDepoisUsadoComoEsta) {
    const auto primeiro = roda();
    EXPECT_EQ(anos(*primeiro), deAte(2008, 2042));
    for (const char* coluna : {"RECEITA", "DESPESA", "RESULTADO"})
        EXPECT_EQ(figura(primeiro->saida.figuras, "cdsProjecao", "2042", coluna), "0.00");
    EXPECT_EQ(QDir(dados()).entryList(QDir::Files), QStringList({"NQ404_Anexo8.XML"}));

    // The next exercise reads the same file as it is: its years move only through data entry.
    executa("UPDATE CADCLI SET MEXER = '2009'");
    const auto seguinte = roda();
    const auto emOutroDiretorio = [&] {
        QTemporaryDir outro;
        nq::defineDiretorioDados(outro.path() + '/');
        auto r = roda();
        nq::defineDiretorioDados(dados());
        return r;
    }();
    executa("UPDATE CADCLI SET MEXER = '2008'");
    EXPECT_EQ(anos(*seguinte), deAte(2008, 2042));
    EXPECT_TRUE(nq::despejo(seguinte->saida.documento).contains("ANO DE 2009"));
    EXPECT_EQ(anos(*emOutroDiretorio), deAte(2009, 2043));
}

TEST_F(Anexo8, AnosEmOrdemComResultadoDaReceitaMenosADespesa) {
    escreve("nq404_anexo8.xml",
            {{2010, Moeda::deInteiro(1000), Moeda::deTexto("1250.50"), Moeda::deInteiro(999)},
             {2009, {}, {}, {}},
             {2012, Moeda::deInteiro(5), {}, {}}});
    QFile arquivo(dados() + "nq404_anexo8.xml");
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    const QByteArray antes = arquivo.readAll();
    arquivo.close();

    const auto r = roda();
    EXPECT_EQ(anos(*r), QStringList({"2009", "2010", "2012"}));
    const auto& f = r->saida.figuras;
    EXPECT_EQ(figura(f, "cdsProjecao", "2010", "RESULTADO"), "-250.50");
    EXPECT_EQ(figura(f, "cdsProjecao", "2012", "RESULTADO"), "5.00");
    for (const char* coluna : {"RECEITA", "DESPESA", "RESULTADO"})
        EXPECT_EQ(figura(f, "cdsProjecao", "2009", coluna), "0.00") << coluna;
    // Found under its own spelling and left as it was.
    EXPECT_EQ(QDir(dados()).entryList(QDir::Files), QStringList({"nq404_anexo8.xml"}));
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), antes);
}

TEST_F(Anexo8, PaginasIguaisAsDeReferenciaECsvIgualAoPdf) {
    std::vector<Ano> projecao;
    for (int ano = 2008; ano <= 2042; ++ano)
        projecao.push_back({ano,
                            Moeda::deInteiro(1000000 + 37 * (ano - 2008)),
                            Moeda::deInteiro(990000 + 41 * (ano - 2008)),
                            {}});
    escreve("NQ404_Anexo8.XML", projecao);
    const auto r = roda();
    apoio::comparaComGolden("anexo8", "anexo8", nq::despejo(r->saida.documento));
    QStringList csv;
    for (const nq::Figura& f : r->saida.figuras)
        csv << f.valor;
    EXPECT_EQ(csv.size(), 3 * 35);
    EXPECT_EQ(csv, apoio::figurasDoPdf(r->saida.documento, dados() + "anexo8.pdf"));
}

TEST_F(Anexo8, PlanilhaRecebeOsAnosQueAFolhaTraz) {
    escreve("NQ404_Anexo8.XML", {{2008, Moeda::deInteiro(10), Moeda::deInteiro(4), {}},
                                 {2010, Moeda::deInteiro(30), {}, {}}});
    apoio::Pasta pasta;
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("planilha");
    f.close();
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha(
        [&pasta] { return std::make_unique<apoio::PlanilhaEmMemoria>(pasta); });
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
    EXPECT_EQ(pasta.folhas["Com"].count("AJ6"), 0u);
    EXPECT_DOUBLE_EQ(folha["B16"].numero, 10);
    EXPECT_DOUBLE_EQ(folha["C16"].numero, 4);
    EXPECT_EQ(folha.count("B17"), 0u);
    EXPECT_DOUBLE_EQ(folha["B18"].numero, 30);
    EXPECT_EQ(folha["C18"].tipo, nq::ValorCelula::Tipo::Numero);
    EXPECT_DOUBLE_EQ(folha["C18"].numero, 0);
    EXPECT_EQ(folha.count("B19"), 0u);
    EXPECT_DOUBLE_EQ(folha["C19"].numero, 77);

    escolheBimestre(3);
    roda({true});
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].texto, "3");
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].texto, "6");
}

} // namespace
