#include "annexes/anexo3/anexo3.h"
#include "annexes/common/figuras_csv.h"
#include "annexes/common/lancador.h"
#include "apoio/aplicacao.h"
#include "apoio/dono_do_banco.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "figuras_cabem.h"
#include "imagens_de_referencia.h"
#include "planilha_na_memoria.h"
#include "report/fontes.h"
#include "report/modelo.h"
#include "report/motor.h"
#include "report/preview/saida.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace nq;
using demo::Exercicio;
using demo::FichaReceita;

namespace {

using Slots = std::array<Moeda, 14>;
using Linhas = std::map<QString, Slots>;

Linhas slotsDe(const ClientDataSet& t) {
    Linhas r;
    const int id = t.fieldIndex("ID");
    for (int i = 0; i < t.recordCount(); ++i)
        for (int k = 0; k < 14; ++k)
            r[t.valueAt(i, id).asString()][k] =
                t.valueAt(i, t.fieldIndex("MES" + sufixoDoSlot(k))).asCurrency();
    return r;
}

// Takes the table as printed and the printed figures, and closes the preview.
class SaidaDeTeste : public SaidaDeRelatorios {
public:
    void executa(TppReport& relatorio) override {
        ColetorDeFiguras coletor(relatorio);
        SaidaDeRelatorios::executa(relatorio);
        figuras = coletor.figuras();
    }
    void apresenta(TppReport& relatorio, const Documento& d) override {
        paginas = static_cast<int>(d.paginas.size());
        documento = d;
        // Texts wider than their box are cut where the box ends.
        const MedidorDeTexto& medidor = MedidorDeTexto::instancia();
        for (const Pagina& pagina : d.paginas)
            for (const ComandoDeDesenho& comando : pagina.comandos)
                if (const auto* t = std::get_if<ComandoTexto>(&comando))
                    for (const TrechoDeTexto& trecho : t->trechos)
                        if (trecho.x + medidor.largura(t->fonte, trecho.texto) >
                            t->caixa.esquerda + t->caixa.largura)
                            cortados << trecho.texto;
        impresso = slotsDe(*relatorio.pipeline("ppDBPipeline5")->DataSource);
        if (relatorio.OnPreviewFormClose)
            relatorio.OnPreviewFormClose();
    }
    int paginas = 0;
    Documento documento;
    QStringList cortados;
    Linhas impresso;
    std::vector<Figura> figuras;
};

// The annex's month figures computed straight from the generated rows.
class Esperado {
public:
    explicit Esperado(const Exercicio& e) : e_(e) {
        for (const auto& f : e.fichasReceita)
            fichas_[f.ficha] = &f;
        for (const auto& ent : e.entidades)
            adm_[ent.empresa] = {ent.adm, ent.tipo};
    }

    using Regra = std::function<bool(const FichaReceita&, const QString& adm, const QString& tipo)>;

    Moeda soma(int mes, const Regra& regra) const {
        int64_t centavos = 0;
        for (const auto& r : e_.receitas) {
            const FichaReceita& f = *fichas_.at(r.ficha);
            const auto ent = adm_.find(f.empresa);
            const QString adm = ent == adm_.end() ? QString() : ent->second.first;
            const QString tipo = ent == adm_.end() ? QString() : ent->second.second;
            if (r.lancamento.month() == mes && regra(f, adm, tipo))
                centavos += r.valor;
        }
        return Moeda::deDezMilesimos(centavos * 100);
    }

private:
    const Exercicio& e_;
    std::map<int, const FichaReceita*> fichas_;
    std::map<int, std::pair<QString, QString>> adm_;
};

bool inicia(const QString& s, const char* p) {
    return s.startsWith(QLatin1String(p));
}

// The statements of the valued lines, as predicates over a revenue item and its entity.
const std::map<QString, Esperado::Regra>& regras() {
    static const std::map<QString, Esperado::Regra> r = {
        {"00010",
         [](const FichaReceita& f, const QString& adm, const QString& tipo) {
             return inicia(f.codre, "1") && adm == "D" && tipo != "2";
         }},
        {"00030",
         [](const FichaReceita& f, const QString& adm, const QString& tipo) {
             return inicia(f.codre, "1") && adm == "I" && tipo == "5";
         }},
        {"00040",
         [](const FichaReceita& f, const QString& adm, const QString& tipo) {
             return inicia(f.codre, "1") && adm == "I" && tipo == "6";
         }},
        {"00050",
         [](const FichaReceita& f, const QString& adm, const QString& tipo) {
             return inicia(f.codre, "1") && adm == "I" && tipo != "5" && tipo != "6";
         }},
        {"00080", [](const FichaReceita& f, const QString&,
                     const QString&) { return inicia(f.codre, "171") && f.tipo == "TI"; }},
        {"00090",
         [](const FichaReceita& f, const QString&, const QString&) {
             static const QStringList lista{"1210.29.07", "1210.29.08", "1210.29.09",
                                            "1210.29.10", "1210.29.11", "1210.29.12"};
             return lista.contains(f.codre.left(10)) || (inicia(f.codre, "12") && f.tipo == "CS");
         }},
        {"00100",
         [](const FichaReceita& f, const QString&, const QString&) {
             return inicia(f.codre, "1210.46") || (inicia(f.codre, "12") && f.tipo == "CF");
         }},
        {"00110", [](const FichaReceita& f, const QString&,
                     const QString&) { return inicia(f.codre, "1724") && f.tipo == "FU"; }},
        {"00120",
         [](const FichaReceita& f, const QString&, const QString&) { return f.tipo == "RP"; }},
        {"00130",
         [](const FichaReceita& f, const QString&, const QString&) { return f.tipo == "OD"; }},
    };
    return r;
}

Moeda reais(int64_t centavos) {
    return Moeda::deDezMilesimos(centavos * 100);
}

class Anexo3 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        garanteAplicacao();
        tmp_ = new QTemporaryDir;
        demo_ = new demo::Demonstracao(demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    static void TearDownTestSuite() {
        delete demo_;
        delete tmp_;
    }

    void SetUp() override {
        dir_ = std::make_unique<QTemporaryDir>();
        defineDiretorioDados(dados());
        defineAnoExercicio("2008");
        dm_ = std::make_unique<Tdm>();
        dm_->Conexao.BeforeConnect = nullptr;
        dm_->Conexao.setParam("Database", demo_->bancoAtual);
        instalado_ = std::make_unique<LancadorInstalado>(valores);
        // Typed figures in both years' files.
        digita("2007", "0300.00.00", "DEZEMBRO", reais(12345));
        digita("2007", "1724.00.00", "NOVEMBRO", reais(999));
        digita("2008", "0300.00.00", "FEVEREIRO", reais(700));
        digita("2008", "0100.00.00", "DEZEMBRO", reais(1));
    }

    void TearDown() override {
        instalado_.reset();
        dm_.reset();
        dir_.reset();
    }

    QString dados() const { return dir_->path() + "/"; }

    void digita(const QString& ano, const QString& receita, const QString& mes, Moeda v) {
        PreparaAnexo3(dados(), ano);
        const QString arq = caminhoArquivo(dados(), ArquivoDigitado::Anexo3, ano);
        ClientDataSet t;
        t.loadFromFile(arq);
        ASSERT_TRUE(t.locate("RECEITA", receita));
        t.edit();
        t.fieldByName(mes).setAsCurrency(v);
        t.post();
        t.saveToFile(arq);
        tipados_[{ano.toInt(), receita, mes}] = v;
    }

    Moeda tipado(int ano, const QString& receita, int mes) const {
        static const char* nomes[] = {"JANEIRO",  "FEVEREIRO", "MARCO",    "ABRIL",
                                      "MAIO",     "JUNHO",     "JULHO",    "AGOSTO",
                                      "SETEMBRO", "OUTUBRO",   "NOVEMBRO", "DEZEMBRO"};
        const auto it = tipados_.find({ano, receita, QString::fromLatin1(nomes[mes - 1])});
        return it == tipados_.end() ? Moeda() : it->second;
    }

    SaidaDeTeste roda(int bimestre, bool comAnterior) {
        if (comAnterior) {
            dm_->ConexaoAnt.setParam("Database", demo_->bancoAnterior);
            dm_->ConexaoAnt.Open();
        }
        valores.defineBimestre(bimestre);
        MensagensDeTeste msgs(true);
        SaidaDeTeste saida;
        SaidaInstalada instalada(saida);
        TImpAnexo3 janela;
        janela.btncalcula->click();
        mensagens = msgs->registro();
        return saida;
    }

    // Every line as the generated rows and the typed files give it.
    // A chamber gets only its typed figures, and the FUNDEF rule in the current year.
    Linhas esperado(int bimestre, bool comAnterior, bool camara = false) const {
        static const std::map<QString, QString> receitas = {
            {"00010", "0100.00.00"}, {"00030", "0300.00.00"}, {"00040", "0400.00.00"},
            {"00050", "0500.00.00"}, {"00080", "1710.00.00"}, {"00090", "1210.29.00"},
            {"00100", "1210.46.00"}, {"00110", "1724.00.00"}, {"00120", "1900.00.00"},
            {"00130", "2000.00.00"}};
        const Esperado atual(demo_->exercicios.atual);
        const Esperado anterior(demo_->exercicios.anterior);
        const int l = 2 * bimestre;
        Linhas r;
        for (const auto& [id, regra] : regras()) {
            for (int k = 0; k < 14; ++k) {
                const bool doAno = k < l;
                const int mes = doAno ? l - k : 12 + l - k;
                const bool consulta = doAno || comAnterior;
                const Esperado& e = doAno ? atual : anterior;
                Moeda v = consulta && !camara ? e.soma(mes, regra) : Moeda();
                v += tipado(doAno ? 2008 : 2007, receitas.at(id), mes);
                if (id == "00110" && consulta && (doAno || !camara)) {
                    const Moeda f =
                        e.soma(mes, [](const FichaReceita& x, const QString&, const QString&) {
                            return inicia(x.codre, "1724");
                        });
                    const Moeda d =
                        -e.soma(mes, [](const FichaReceita& x, const QString&, const QString&) {
                            return inicia(x.codre, "97") || inicia(x.codre, "95");
                        });
                    if (f > Moeda())
                        v = f < d ? f : d;
                }
                r[id][k] = v;
            }
        }
        const auto soma = [&r](const QStringList& ids, int k) {
            Moeda t;
            for (const QString& id : ids)
                t += r[id][k];
            return t;
        };
        for (int k = 0; k < 14; ++k) {
            r["00020"][k] = soma({"00030", "00040", "00050"}, k);
            r["00060"][k] = soma({"00010", "00020"}, k);
            r["00140"][k] = soma({"00080", "00090", "00100", "00110", "00120", "00130"}, k);
            r["00300"][k] = r["00060"][k] - r["00140"][k];
            r["00070"][k] = Moeda();
        }
        return r;
    }

    void confere(int bimestre, bool comAnterior, bool camara = false) {
        const SaidaDeTeste saida = roda(bimestre, comAnterior);
        EXPECT_GE(saida.paginas, 1);
        EXPECT_TRUE(saida.cortados.isEmpty()) << saida.cortados.join('|').toStdString();
        const Linhas esperadas = esperado(bimestre, comAnterior, camara);
        ASSERT_EQ(saida.impresso.size(), 15u);
        for (const auto& [id, porSlot] : esperadas)
            for (int k = 0; k < 14; ++k)
                EXPECT_EQ(saida.impresso.at(id)[k], porSlot[k])
                    << "linha " << id.toStdString() << " slot " << k;

        // The RCL file: binary, the whole table as printed.
        const QString rcl = TImpAnexo3::arquivoRcl(dados(), QString::number(bimestre));
        QFile f(rcl);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.read(5).startsWith("<?xml"));
        ClientDataSet t;
        t.loadFromFile(rcl);
        EXPECT_EQ(slotsDe(t), saida.impresso);
        ASSERT_TRUE(t.locate("ID", "00010"));
        const int l = 2 * bimestre;
        static const QStringList meses{"Janeiro",  "Fevereiro", "Marco",    "Abril",
                                       "Maio",     "Junho",     "Julho",    "Agosto",
                                       "Setembro", "Outubro",   "Novembro", "Dezembro"};
        EXPECT_EQ(t.fieldByName("M").asString(), meses[l - 1]);
        EXPECT_EQ(t.fieldByName("M" + QString::number(l)).asString(), "Dezembro");
        EXPECT_EQ(t.fieldByName("M13").asString(), meses[l - 2]);
        EXPECT_EQ(t.fieldByName("RECEITA").asString(), "0100.00.00");
        ASSERT_TRUE(t.locate("ID", "00300"));
        EXPECT_EQ(t.fieldByName("M").asString(), "");
        EXPECT_EQ(t.fieldByName("NOME").asString(), "RECEITA CORRENTE LÍQUIDA");

        // "Total" and "Bim Anterior" of the net revenue, as printed.
        Moeda total, anterior;
        for (int k = 0; k <= 11; ++k)
            total += esperadas.at("00300")[k];
        for (int k = 2; k <= 13; ++k)
            anterior += esperadas.at("00300")[k];
        QString totalImpresso, anteriorImpresso;
        for (const Figura& fig : saida.figuras)
            if (fig.id == "00300" && fig.coluna == "ppVariable1")
                totalImpresso = fig.valor;
            else if (fig.id == "00300" && fig.coluna == "ppVariable2")
                anteriorImpresso = fig.valor;
        EXPECT_EQ(totalImpresso, total.texto(2));
        EXPECT_EQ(anteriorImpresso, anterior.texto(2));
    }

    // Renames the client entity in the shared database; returns the old name.
    QString trocaNomeDoCliente(const QString& novo) {
        dm_->qrCliente.open();
        const QString antigo = dm_->qrCliente.fieldByName("CLNT1").asString();
        dm_->qrCliente.close();
        teste::executaComoDono(demo_->bancoAtual, "UPDATE CADCLI SET CLNT1=" + textoSql(novo));
        return antigo;
    }

    ValoresFixosDoLancador valores;
    std::vector<MensagemMostrada> mensagens;

private:
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline demo::Demonstracao* demo_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Tdm> dm_;
    std::unique_ptr<LancadorInstalado> instalado_;
    std::map<std::tuple<int, QString, QString>, Moeda> tipados_;
};

} // namespace

// A figure as wide as money can hold is printed whole in every column.
TEST(Anexo3Layout, MaioresFigurasCabemNasColunas) {
    garanteAplicacao();
    teste::verificaFigurasCabem(QStringLiteral(":/anexo3/relatorio4.json"));
}

TEST(RegraDoFundef, MenorEntreReceitaEDeducoesQuandoHaReceita) {
    EXPECT_EQ(regraDoFundef(reais(5), reais(10000), reais(8000)), reais(8000));
    EXPECT_EQ(regraDoFundef(reais(5), reais(8000), reais(10000)), reais(8000));
    EXPECT_EQ(regraDoFundef(reais(5), Moeda(), reais(8000)), reais(5));
    EXPECT_EQ(regraDoFundef(reais(5), reais(-1), reais(8000)), reais(5));
}

TEST_F(Anexo3, Bimestre1ComOBancoDoAnoAnterior) {
    confere(1, true);
}

TEST_F(Anexo3, Bimestre1SemOBancoDoAnoAnterior) {
    confere(1, false);
}

TEST_F(Anexo3, Bimestre6ComOBancoDoAnoAnterior) {
    confere(6, true);
}

TEST_F(Anexo3, Bimestre6SemOBancoDoAnoAnterior) {
    confere(6, false);
}

TEST_F(Anexo3, CamaraSoTemOsValoresDigitadosEARegraDoFundefNoAno) {
    valores.marcaCamaraLegislativa();
    confere(3, true, true);
}

TEST_F(Anexo3, PlanilhaRecebeOsDozeMesesEOBimestreAnterior) {
    Celulas celulas;
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("planilha");
    f.close();
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha([&] { return planilhaEmMemoria(celulas); });

    const SaidaDeTeste saida = roda(2, false);
    ASSERT_FALSE(mensagens.empty());
    EXPECT_EQ(mensagens.back().texto, "Deseja Exportar os Dados para a Planilha do TCE ?");
    EXPECT_EQ(celulas["Com"]["AH6"], 2);
    EXPECT_EQ(celulas["Com"]["AJ6"], 4);
    EXPECT_EQ(celulas["Com"]["AR6"], 8);
    auto& mod3 = celulas["mod 3"];
    const Slots& direta = saida.impresso.at("00010");
    EXPECT_EQ(mod3["C12"], direta[11].paraDouble());
    EXPECT_EQ(mod3["N12"], direta[0].paraDouble());
    Moeda anterior;
    for (int k = 2; k <= 13; ++k)
        anterior += direta[k];
    EXPECT_EQ(mod3["P12"], anterior.paraDouble());
    EXPECT_EQ(mod3["N24"], saida.impresso.at("00130")[0].paraDouble());
    EXPECT_EQ(mod3.count("O12"), 0u);
    // Total lines are left to the workbook: 10 lines of 13 cells.
    EXPECT_EQ(mod3.size(), 130u);
}

// The pages as a PDF draws them, and its text, are those of the references.
TEST_F(Anexo3, PdfDoSextoBimestreIgualAsImagensDeReferencia) {
    const SaidaDeTeste saida = roda(6, true);
    teste::comparaComImagensDeReferencia(saida.documento,
                                         QStringLiteral(NQ404_FONTE "/tests/annexes/anexo3/golden"),
                                         QStringLiteral("anexo3_bim6_pdf"));
}

TEST_F(Anexo3, CamaraComAcentoNaoEhPerguntadaSobreAPlanilha) {
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("planilha");
    f.close();
    valores.definePlanilha(arquivo);
    const QString nome = trocaNomeDoCliente("Câmara Municipal de Teste");
    roda(1, false);
    trocaNomeDoCliente(nome);
    for (const auto& m : mensagens)
        EXPECT_FALSE(m.foiPergunta) << m.texto.toStdString();
}
