#include "annexes/anexo3/anexo3.h"
#include "apoio_anexos.h"
#include "core/globais.h"
#include "entry/preparacoes.h"
#include "figuras_cabem.h"
#include "imagens_de_referencia.h"
#include "report/fontes.h"

#include <QFile>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace nq;
using demo::Exercicio;
using demo::FichaReceita;

namespace {

using Slots = std::array<Moeda, 14>;
using PorSlot = std::map<QString, Slots>;

PorSlot slotsDe(const Linhas& linhas) {
    PorSlot r;
    for (const auto& [id, campos] : linhas)
        for (int k = 0; k < 14; ++k)
            r[id][k] = campos.at("MES" + sufixoDoSlot(k)).asCurrency();
    return r;
}

PorSlot slotsDe(const ClientDataSet& t) {
    return slotsDe(fotoDaTabela(t));
}

// Texts wider than their box, which the box cuts.
QStringList cortados(const Documento& d) {
    QStringList r;
    const MedidorDeTexto& medidor = MedidorDeTexto::instancia();
    for (const Pagina& pagina : d.paginas)
        for (const ComandoDeDesenho& comando : pagina.comandos)
            if (const auto* t = std::get_if<ComandoTexto>(&comando))
                for (const TrechoDeTexto& trecho : t->trechos)
                    if (trecho.x + medidor.largura(t->fonte, trecho.texto) >
                        t->caixa.esquerda + t->caixa.largura)
                        r << trecho.texto;
    return r;
}

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

class Anexo3 : public BancoDeAnexos {
protected:
    void SetUp() override {
        BancoDeAnexos::SetUp();
        defineAnoExercicio("2008");
        // Typed figures in both years' files.
        digita("2007", "0300.00.00", "DEZEMBRO", reais(12345));
        digita("2007", "1724.00.00", "NOVEMBRO", reais(999));
        digita("2008", "0300.00.00", "FEVEREIRO", reais(700));
        digita("2008", "0100.00.00", "DEZEMBRO", reais(1));
    }

    void digita(const QString& ano, const QString& receita, const QString& mes, Moeda v) {
        PreparaAnexo3(dados(), ano);
        ::digita(caminhoArquivo(dados(), ArquivoDigitado::Anexo3, ano), ArquivoDigitado::Anexo3,
                 Value(receita), {{mes, Value(v)}});
        tipados_[{ano.toInt(), receita, mes}] = v;
    }

    Moeda tipado(int ano, const QString& receita, int mes) const {
        static const char* nomes[] = {"JANEIRO",  "FEVEREIRO", "MARCO",    "ABRIL",
                                      "MAIO",     "JUNHO",     "JULHO",    "AGOSTO",
                                      "SETEMBRO", "OUTUBRO",   "NOVEMBRO", "DEZEMBRO"};
        const auto it = tipados_.find({ano, receita, QString::fromLatin1(nomes[mes - 1])});
        return it == tipados_.end() ? Moeda() : it->second;
    }

    Resultado roda(int bimestre, bool comAnterior, std::vector<bool> respostas = {}) {
        if (comAnterior)
            abreAnoAnterior();
        return BancoDeAnexos::roda<TImpAnexo3>(bimestre, std::move(respostas));
    }

    // Every line as the generated rows and the typed files give it.
    // A chamber gets only its typed figures, and the FUNDEF rule in the current year.
    PorSlot esperado(int bimestre, bool comAnterior, bool camara = false) const {
        static const std::map<QString, QString> receitas = {
            {"00010", "0100.00.00"}, {"00030", "0300.00.00"}, {"00040", "0400.00.00"},
            {"00050", "0500.00.00"}, {"00080", "1710.00.00"}, {"00090", "1210.29.00"},
            {"00100", "1210.46.00"}, {"00110", "1724.00.00"}, {"00120", "1900.00.00"},
            {"00130", "2000.00.00"}};
        const Esperado atual(demo().exercicios.atual);
        const Esperado anterior(demo().exercicios.anterior);
        const int l = 2 * bimestre;
        PorSlot r;
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
        const Resultado r = roda(bimestre, comAnterior);
        EXPECT_GE(r.documento.paginas.size(), 1u);
        EXPECT_TRUE(cortados(r.documento).isEmpty())
            << cortados(r.documento).join('|').toStdString();
        const PorSlot impresso = slotsDe(r.tabelas.at("ppDBPipeline5"));
        const PorSlot esperadas = esperado(bimestre, comAnterior, camara);
        ASSERT_EQ(impresso.size(), 15u);
        for (const auto& [id, porSlot] : esperadas)
            for (int k = 0; k < 14; ++k)
                EXPECT_EQ(impresso.at(id)[k], porSlot[k])
                    << "linha " << id.toStdString() << " slot " << k;

        // The RCL file: binary, the whole table as printed.
        const QString rcl = TImpAnexo3::arquivoRcl(dados(), QString::number(bimestre));
        QFile f(rcl);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.read(5).startsWith("<?xml"));
        ClientDataSet t;
        t.loadFromFile(rcl);
        EXPECT_EQ(slotsDe(t), impresso);
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
        for (const Figura& fig : r.figuras)
            if (fig.id == "00300" && fig.coluna == "ppVariable1")
                totalImpresso = fig.valor;
            else if (fig.id == "00300" && fig.coluna == "ppVariable2")
                anteriorImpresso = fig.valor;
        EXPECT_EQ(totalImpresso, total.texto(2));
        EXPECT_EQ(anteriorImpresso, anterior.texto(2));
    }

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
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    const Resultado r = roda(2, false, {true});
    ASSERT_FALSE(r.mensagens.empty());
    EXPECT_EQ(r.mensagens.back().texto, "Deseja Exportar os Dados para a Planilha do TCE ?");
    EXPECT_EQ(pasta.numero("Com", "AH6"), 2);
    EXPECT_EQ(pasta.numero("Com", "AJ6"), 4);
    EXPECT_EQ(pasta.numero("Com", "AR6"), 8);
    const PorSlot impresso = slotsDe(r.tabelas.at("ppDBPipeline5"));
    const Slots& direta = impresso.at("00010");
    EXPECT_EQ(pasta.numero("mod 3", "C12"), direta[11].paraDouble());
    EXPECT_EQ(pasta.numero("mod 3", "N12"), direta[0].paraDouble());
    Moeda anterior;
    for (int k = 2; k <= 13; ++k)
        anterior += direta[k];
    EXPECT_EQ(pasta.numero("mod 3", "P12"), anterior.paraDouble());
    EXPECT_EQ(pasta.numero("mod 3", "N24"), impresso.at("00130")[0].paraDouble());
    EXPECT_EQ(pasta.folhas["mod 3"].count("O12"), 0u);
    // Total lines are left to the workbook: 10 lines of 13 cells.
    EXPECT_EQ(pasta.folhas["mod 3"].size(), 130u);
}

// The pages as a PDF draws them, and its text, are those of the references.
TEST_F(Anexo3, PdfDoSextoBimestreIgualAsImagensDeReferencia) {
    teste::comparaComImagensDeReferencia(roda(6, true).documento,
                                         QStringLiteral(NQ404_FONTE "/tests/annexes/anexo3/golden"),
                                         QStringLiteral("anexo3_bim6_pdf"));
}

TEST_F(Anexo3, CamaraComAcentoNaoEhPerguntadaSobreAPlanilha) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    EXPECT_FALSE(
        perguntaPlanilhaCom("Câmara Municipal de Teste", [this] { return roda(1, false); }));
}
