#include "apoio_anexos.h"
#include "esperado_gestao.h"

#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo5/anexo5.h"
#include "annexes/common/justificativa.h"
#include "annexes/common/plano_figuras.h"
#include "annexes/gestao_fiscal/gestao_fiscal.h"
#include "core/configuracao.h"
#include "core/globais.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

using nq::Moeda;

namespace {

QByteArray le(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void grava(const QString& arquivo, const QByteArray& dados) {
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(dados);
}

// A line's field in a data packet.
Moeda campo(const QString& arquivo, const QString& id, const QString& nome) {
    nq::ClientDataSet t;
    t.loadFromFile(arquivo);
    return t.locate("ID", nq::Value(id)) ? t.fieldByName(nome).asCurrency() : Moeda();
}

Moeda dozeMesesDoRcl(const QString& arquivo) {
    Moeda s;
    for (int k = 0; k < 12; ++k)
        s += campo(arquivo, "00300", "MES" + (k ? QString::number(k) : QString()));
    return s;
}

// The printed lines: a chamber's personnel block and measures, an executive's
// groups; the year-end block when the period ends the year.
QStringList impressas(bool camara, bool fimDoAno) {
    QStringList ids;
    for (qsizetype seq = 2; seq <= 42; ++seq) {
        const bool deCamara = seq < 7 || seq == 30 || (fimDoAno && seq > 30);
        const bool doExecutivo = seq < 30 || fimDoAno;
        if (camara ? deCamara : doExecutivo)
            ids << idsDaGestao()[seq - 1];
    }
    return ids;
}

QString impresso(const std::optional<Moeda>& m) {
    return m ? m->texto(2) : QStringLiteral("<ausente>");
}

class GestaoFiscal : public BancoDeAnexos {
protected:
    explicit GestaoFiscal(bool proprio = false) : BancoDeAnexos(proprio) {}

    void SetUp() override {
        BancoDeAnexos::SetUp();
        raiz_ = base_.path() + "/VEXO_8/";
        QDir().mkpath(d());
        QDir().mkpath(da());
        QFile ini(base_.path() + "/Vexo.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[VEXO]\nAno=2008\nCaminho_Base_Dados=" + raiz_ + "\n").toUtf8());
        ini.close();
        nq::defineCaminhoVexoIni(ini.fileName());
        nq::defineDiretorioDados(d());
        nq::defineAnoExercicio("2008");
        anterior_ = nq::instalaRespostaDeJustificativa(&justificativa);
        digitacao_ = nq::instalaAberturaDaDigitacao([this] { ++digitacoes; });
    }
    void TearDown() override {
        nq::instalaAberturaDaDigitacao(digitacao_);
        nq::instalaRespostaDeJustificativa(anterior_);
        nq::defineCaminhoVexoIni({});
        BancoDeAnexos::TearDown();
    }

    QString d() const { return raiz_ + "ARQ2008/"; }
    QString da() const { return raiz_ + "ARQ2007/"; }
    QString rcl(int b) const { return d() + QString("NQ404_RCL%1.XML").arg(b); }
    QString divida() const { return d() + "NQ404_Anexo5_Especificacao_2008_2.xml"; }
    QString gestao() const { return d() + "NQ404_ANXGE.XML"; }

    // What an annex run in a data directory of its own leaves in `arquivo`.
    QByteArray produz(const std::function<void()>& anexo, const QString& arquivo) {
        QTemporaryDir t;
        nq::defineDiretorioDados(t.path() + '/');
        {
            nq::MensagensDeTeste msgs;
            SaidaDeTeste saida;
            nq::SaidaInstalada instalada(saida);
            anexo();
        }
        nq::defineDiretorioDados(d());
        return le(t.path() + '/' + arquivo);
    }
    // Annex 3's RCL file of bimester `b`, and annex 5's debt work file.
    void poeRcl(int b) {
        static std::map<int, QByteArray> feitos;
        if (!feitos.count(b))
            feitos[b] = produz(
                [&] {
                    valores.defineBimestre(b);
                    nq::TImpAnexo3 janela;
                    janela.btncalcula->click();
                },
                QString("NQ404_RCL%1.XML").arg(b));
        grava(rcl(b), feitos[b]);
    }
    void poeDivida() {
        static const QByteArray feito = produz(
            [&] {
                valores.defineBimestre(6);
                nq::TImpAnexo5 janela;
                janela.btncalcula->click();
            },
            "NQ404_Anexo5_Especificacao_2008_2.xml");
        grava(divida(), feito);
    }
    void poeDp(int mes, Moeda pessoal, Moeda inativos) {
        gravaDp(d() + QString("NQ404_DP%1.XML").arg(mes, 2, 10, QChar('0')), pessoal, inativos);
    }
    // Types into the companion file (made with its rows when missing).
    void digita(const QString& id, const QString& coluna, Moeda valor) {
        nq::PreparaGestaoFiscalDigitada(d());
        ::digita(nq::caminhoArquivo(d(), nq::ArquivoDigitado::GestaoFiscalDigitada),
                 nq::ArquivoDigitado::GestaoFiscalDigitada, nq::Value(id), {{coluna, valor}});
    }

    Resultado roda(bool quadrimestral, int n, std::vector<bool> respostas = {}) {
        nq::MensagensDeTeste msgs;
        for (bool r : respostas)
            msgs->enfileiraResposta(r);
        SaidaDeTeste saida;
        nq::SaidaInstalada instalada(saida);
        nq::TForm101 janela;
        (quadrimestral ? janela.RQua : janela.RBim)->click();
        (quadrimestral ? janela.combomes : janela.CBim)->setCurrentIndex(n - 1);
        janela.BtnImprimir->click();
        ultrapassou = janela.limiteUltrapassado();
        return {saida.tabelas, std::move(saida.documento), saida.figuras, msgs->registro(),
                janela.comandosExecutados()};
    }

    // The sources of a period ending in `mes`: the database's, the RCL and debt
    // files', and the DP file's monthly bases.
    Fontes fontes(int mes, Moeda pessoal, Moeda inativos) const {
        Fontes f;
        BancoGerado(exercicio()).preenche(f, mes);
        if (QFile::exists(rcl(mes / 2)))
            f.rcl = dozeMesesDoRcl(rcl(mes / 2));
        f.pessoal = somaDoDp(pessoal, mes + 1, mes + 12);
        f.pessoalAnterior = somaDoDp(pessoal, 1, 12);
        f.inativos = somaDoDp(inativos, mes + 1, mes + 12);
        f.inativosAnterior = somaDoDp(inativos, 1, 12);
        if (QFile::exists(divida())) {
            f.divida = campo(divida(), "00060", "BIM" + QString::number(mes / 2));
            f.dividaAnterior = campo(divida(), "00060", "EXERCICIO_ANTERIOR");
        }
        return f;
    }

    // Every printed figure, the heading's included, against the expected ones;
    // the lines not printed print nothing.
    void confere(const Resultado& r, const Esperado& e, const QStringList& linhas) {
        const Figuras receita = e.linhas.at("00010");
        EXPECT_EQ(r.figura("cdsGe3", "00010", "VALOR1"), impresso(receita.valor1));
        EXPECT_EQ(r.figura("cdsGe3", "00010", "VALOR"), impresso(receita.valor));
        for (const QString& id : idsDaGestao()) {
            if (!linhas.contains(id)) {
                EXPECT_EQ(r.figurasDaLinha("cdsGestao", id), 0) << id.toStdString();
                continue;
            }
            const auto l = e.linhas.find(id);
            const Figuras f = l == e.linhas.end() ? Figuras{} : l->second;
            const std::pair<const char*, std::optional<Moeda>> colunas[] = {
                {"VALOR1", f.valor1}, {"PORC1", f.porc1}, {"VALOR", f.valor}, {"PORC", f.porc}};
            for (const auto& [coluna, valor] : colunas)
                EXPECT_EQ(r.figura("cdsGestao", id, coluna), impresso(valor))
                    << id.toStdString() << " " << coluna;
        }
        EXPECT_EQ(ultrapassou, e.ultrapassado);
    }

    nq::JustificativaDada justificativa{std::nullopt};
    int digitacoes = 0;
    bool ultrapassou = false;

private:
    QTemporaryDir base_;
    QString raiz_;
    nq::RespostaDeJustificativa* anterior_ = nullptr;
    nq::AberturaDaDigitacao digitacao_;
};

const QString Ultrapassou =
    "Os limites acima foram utrapassados. Deverá ser apresentado uma justificativa.";

TEST_F(GestaoFiscal, BimestreComOsArquivosDoExercicioAnteriorSemLimiteUltrapassado) {
    poeRcl(3);
    poeDivida();
    const Moeda receita = dozeMesesDoRcl(rcl(3));
    const Moeda pessoal = receita * (0.40 / 12), inativos = receita * (0.03 / 12);
    poeDp(6, pessoal, inativos);
    // Typed figures count only by quadrimester; the file's being there takes
    // the previous exercise from the files.
    digita("00010", "QUAD2", Moeda::deInteiro(1000));
    digita("00120", "ANTERIOR", Moeda::deInteiro(5000));
    // Without the previous year's RCL file, annex 3's typed figures of that year.
    nq::PreparaAnexo3(d(), "2007");
    {
        nq::ClientDataSet a3;
        a3.setFileName(nq::caminhoArquivo(d(), nq::ArquivoDigitado::Anexo3, "2007"));
        a3.loadFromFile();
        ASSERT_TRUE(a3.locate("ID", nq::Value("00300")));
        a3.edit();
        a3.fieldByName("JANEIRO").setAsCurrency(Moeda::deInteiro(800000));
        a3.fieldByName("DEZEMBRO").setAsCurrency(Moeda::deDezMilesimos(12345678));
        a3.post();
        a3.saveToFile();
    }
    Fontes f = fontes(6, pessoal, inativos);
    f.rclAnterior = Moeda::deInteiro(800000) + Moeda::deDezMilesimos(12345678);
    const Esperado e = calculaGestao(f, false, true);
    ASSERT_FALSE(e.ultrapassado);

    std::vector<nq::Figura> porFigura;
    for (bool literais : {true, false}) {
        nq::defineFigurasLiterais(literais);
        const auto repoe = qScopeGuard([] { nq::defineFigurasLiterais(false); });
        const Resultado r = roda(false, 3);
        confere(r, e, impressas(false, false));
        EXPECT_TRUE(r.perguntou("Atenção: A RCL do Exercicio Anterior não foi calculada, favor "
                                "efetuar o calculo do ultimo Bimestre do Exercicio Anterior. O "
                                "Relatório será gerado utilizando os dados Digitados da RCL."));
        EXPECT_FALSE(r.perguntou(Ultrapassou));
        EXPECT_EQ(justificativa.respondidas(), 0);
        const QString paginas = nq::despejo(r.documento);
        EXPECT_TRUE(paginas.contains("\"3º BIMESTRE\"")) << paginas.left(2000).toStdString();
        EXPECT_TRUE(paginas.contains("PODER EXECUTIVO MUNICIPAL"));
        if (literais) {
            porFigura = r.figuras;
            comparaComGoldenDoAnexo("gestao_fiscal", "gestao_bim3", paginas);
            EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, d() + "gestao.pdf"));
        } else {
            ASSERT_EQ(r.figuras.size(), porFigura.size());
            for (size_t i = 0; i < porFigura.size(); ++i)
                EXPECT_EQ(r.figuras[i].valor, porFigura[i].valor) << i;
        }
    }
    // The run's files: the unpaid commitments kept, the figures in the file.
    EXPECT_TRUE(QFile::exists(d() + "NQ404_APAGAR.XML"));
    EXPECT_EQ(campo(gestao(), "00020", "VALOR").texto(4), e.linhas.at("00020").valor->texto(4));
}

TEST_F(GestaoFiscal, TerceiroQuadrimestreComLimiteUltrapassadoPedeEImprimeAsMedidas) {
    poeRcl(6);
    poeDivida();
    const Moeda receita = dozeMesesDoRcl(rcl(6));
    // Personnel at 60 % of the RCL: over the legal 54 %.
    const Moeda pessoal = receita * (0.60 / 12), inativos = receita * (0.02 / 12);
    poeDp(12, pessoal, inativos);
    Fontes f = fontes(12, pessoal, inativos);

    // First run: no typed companion file yet. Only the fixed percentages in the
    // previous exercise's column.
    justificativa = nq::JustificativaDada(QString("Redução das horas extras e exonerações de "
                                                  "comissionados."));
    Resultado r = roda(true, 3);
    Esperado e = calculaGestao(f, false, false);
    ASSERT_TRUE(e.ultrapassado);
    confere(r, e, impressas(false, true));
    EXPECT_EQ(r.figura("cdsGestao", "00030", "PORC1"), "51.30");
    EXPECT_EQ(r.figura("cdsGestao", "00040", "PORC1"), "54.00");
    EXPECT_EQ(r.figura("cdsGestao", "00020", "VALOR1"), "0.00");
    EXPECT_TRUE(r.perguntou(Ultrapassou));
    EXPECT_EQ(justificativa.respondidas(), 1);
    EXPECT_TRUE(nq::despejo(r.documento).contains("Redução das horas extras"));
    EXPECT_TRUE(nq::despejo(r.documento).contains("\"3º QUADRIMESTRE\""));

    // Second run: typed figures, a guarantees limit passed too, the previous
    // year's RCL file; the dialog closed unsaved keeps the text.
    digita("00010", "QUAD3", Moeda::deInteiro(2500));
    digita("00190", "QUAD3", Moeda::deDezMilesimos(1234567));
    digita("00200", "QUAD3", Moeda::deInteiro(1000));
    digita("00010", "ANTERIOR", Moeda::deInteiro(70000));
    digita("00120", "ANTERIOR", Moeda::deInteiro(3000000));
    f.digitado = {{"00010", Moeda::deInteiro(2500)},
                  {"00190", Moeda::deDezMilesimos(1234567)},
                  {"00200", Moeda::deInteiro(1000)}};
    f.digitadoAnterior = {{"00010", Moeda::deInteiro(70000)}, {"00120", Moeda::deInteiro(3000000)}};
    grava(da() + "NQ404_RCL6.XML", le(rcl(6)));
    f.rclAnterior = receita;
    justificativa = nq::JustificativaDada(std::nullopt);
    Pasta pasta;
    valores.definePlanilha(d() + "tce.xls");
    grava(d() + "tce.xls", "planilha");
    valores.defineFabricaDePlanilha(
        [&pasta] { return std::make_unique<PlanilhaNaMemoria>(pasta); });
    r = roda(true, 3, {true});
    e = calculaGestao(f, false, true);
    confere(r, e, impressas(false, true));
    EXPECT_NE(e.linhas.at("00210").valor, Moeda());
    EXPECT_EQ(justificativa.respondidas(), 1);
    const QString paginas = nq::despejo(r.documento);
    EXPECT_TRUE(paginas.contains("Redução das horas extras"));
    comparaComGoldenDoAnexo("gestao_fiscal", "gestao_quad3", paginas);

    // The workbook: the RCL, then the mapped rows' previous and third-quadrimester columns.
    const auto celula = [&pasta](const char* c) {
        return Moeda::deDouble(pasta.numero("mod10 3q", c)).texto(2);
    };
    EXPECT_TRUE(pasta.mostrada);
    EXPECT_EQ(celula("C11"), e.linhas.at("00010").valor1->texto(2));
    EXPECT_EQ(celula("I11"), e.linhas.at("00010").valor->texto(2));
    EXPECT_EQ(celula("C14"), e.linhas.at("00020").valor1->texto(2));
    EXPECT_EQ(celula("I14"), e.linhas.at("00020").valor->texto(2));
    EXPECT_EQ(celula("I30"), e.linhas.at("00190").valor->texto(2));
    EXPECT_EQ(celula("N12"), e.linhas.at("00400").valor1->texto(2));
    EXPECT_EQ(celula("U14"), e.linhas.at("00480").valor1->texto(2));
    EXPECT_EQ(pasta.folhas["mod10 3q"].count("N13"), 0u); // 00420 has no sheet row
}

TEST_F(GestaoFiscal, FaltaDeArquivoDizOQueCalcularENadaGrava) {
    // A file of an earlier run, which a refused run must leave as it was.
    nq::PreparaGestaoFiscal(d());
    const QByteArray antes = le(gestao());
    const auto semGravar = [&](const Resultado& r, const QString& mensagem) {
        EXPECT_TRUE(r.perguntou(mensagem)) << r.mensagens.back().texto.toStdString();
        EXPECT_TRUE(r.documento.paginas.empty());
        EXPECT_EQ(le(gestao()), antes);
        EXPECT_FALSE(QFile::exists(d() + "NQ404_APAGAR.XML"));
    };
    semGravar(roda(true, 1),
              "Calcule primeiramente o \"MOD 3 - RECEITA CORRENTE LIQUIDA\" do bimestre 2");
    // The bimester 3 file under the name of the 2nd: its month is June.
    poeRcl(3);
    QFile::rename(rcl(3), rcl(2));
    semGravar(roda(true, 1),
              "Calcule primeiramente o \"MOD 3 - RECEITA CORRENTE LIQUIDA\" do bimestre 2º");
    poeRcl(2);
    semGravar(roda(true, 1), "Calcule primeiramente o \"Anexo 1 - MOD 10 - DESPESAS COM PESSOAL "
                             "E PREVIDENCIÁRIAS\" do mês 4");
    grava(d() + "NQ404_DP04.XML", "<?xml version=\"1.0\"?><DATAPACKET");
    const Resultado danificado = roda(true, 1);
    EXPECT_TRUE(danificado.mensagens.back().texto.endsWith(
        " : Calcule novamente o Despesa com Pessoal para o Mes 04"));
    semGravar(danificado, danificado.mensagens.back().texto);
    // Nothing chosen.
    EXPECT_TRUE(roda(true, 0).perguntou("Especifique o Quadrimestre!"));
    EXPECT_EQ(le(gestao()), antes);
}

TEST_F(GestaoFiscal, SemArquivoDaDividaAvisaEImprimeComDividaZero) {
    poeRcl(2);
    const Moeda pessoal = Moeda::deInteiro(1000), inativos = Moeda::deInteiro(100);
    poeDp(4, pessoal, inativos);
    const Fontes f = fontes(4, pessoal, inativos);
    ASSERT_TRUE(f.divida.ehZero());

    Resultado r = roda(true, 1);
    EXPECT_TRUE(r.perguntou("O Arquivo NQ404_Anexo5_Especificacao_2008_2.XML, não foi "
                            "encontrado\rPara obter este resultado Calcule novamente o Anexo 5 "
                            "do  Bimestre : 02"));
    confere(r, calculaGestao(f, false, false), impressas(false, false));
    EXPECT_EQ(r.figura("cdsGestao", "00110", "VALOR"), "0.00");

    // A damaged one is named with its error, for the period and for the
    // previous exercise (the typed companion file is there now).
    grava(divida(), "<?xml version=\"1.0\"?><DATAPACKET");
    r = roda(true, 1);
    int avisos = 0;
    for (const auto& m : r.mensagens)
        avisos += m.texto.endsWith(" : Calcule novamente o Anexo 5  Bimestre : 02");
    EXPECT_EQ(avisos, 2);
    confere(r, calculaGestao(f, false, true), impressas(false, false));
    EXPECT_EQ(r.figura("cdsGestao", "00110", "VALOR1"), "0.00");
}

class GestaoFiscalDaCamara : public GestaoFiscal {
protected:
    GestaoFiscalDaCamara() : GestaoFiscal(true) {}
};

TEST_F(GestaoFiscalDaCamara, SemRclComOsLimitesDaCamaraEAReceitaDigitada) {
    executa("UPDATE CADCLI SET CLNT1='Câmara Municipal de São Bento da Serra'");
    const Moeda pessoal = Moeda::deInteiro(5000), inativos = Moeda::deInteiro(300);
    poeDp(4, pessoal, inativos);
    Fontes f = fontes(4, pessoal, inativos);

    // No revenue typed: the user is offered the data entry window, and the
    // report prints anyway.
    Resultado r = roda(true, 1, {true});
    EXPECT_TRUE(r.perguntou("O Valor da RECEITA CORRENTE LIQUIDA do quadrimestre ainda não foi "
                            "digitado! Deseja digita-lo agora?"));
    EXPECT_EQ(digitacoes, 1);
    confere(r, calculaGestao(f, true, false), impressas(true, false));
    // Nothing to measure the personnel total against: its percentage is blank.
    EXPECT_EQ(r.figura("cdsGestao", "00020", "PORC"), "<ausente>");
    EXPECT_EQ(r.figura("cdsGestao", "00020", "VALOR"), f.pessoal.texto(2));
    EXPECT_TRUE(nq::despejo(r.documento).contains("PODER LEGISLATIVO MUNICIPAL"));

    // With its revenue typed, personnel over 6 % of it passes the chamber's limit.
    digita("00010", "QUAD1", Moeda::deInteiro(1000000));
    f.digitado = {{"00010", Moeda::deInteiro(1000000)}};
    r = roda(true, 1);
    const Esperado e = calculaGestao(f, true, true);
    ASSERT_TRUE(e.ultrapassado);
    confere(r, e, impressas(true, false));
    EXPECT_EQ(r.figura("cdsGestao", "00040", "PORC"), "6.00");
    EXPECT_EQ(r.figura("cdsGestao", "00030", "VALOR"), "57000.00");
    EXPECT_EQ(digitacoes, 1);
    EXPECT_EQ(justificativa.respondidas(), 1);
}

} // namespace

// Switching between bimester and quadrimester swaps one panel for the other: the window
// keeps its size and "Imprimir" stays where the user is about to click.
TEST(JanelaDaGestaoFiscal, TrocaDePeriodoNaoMoveOsBotoes) {
    garanteAplicacao();
    nq::TForm101 janela;
    janela.show();
    QCoreApplication::processEvents();
    const QPoint imprimir = janela.BtnImprimir->pos();
    janela.RQua->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(janela.BtnImprimir->pos(), imprimir);
    janela.RBim->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(janela.BtnImprimir->pos(), imprimir);
}
