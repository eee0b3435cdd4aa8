#include "annexes/common/aguarde.h"
#include "annexes/common/figuras_csv.h"
#include "apoio/descritor_capturado.h"
#include "apoio/dono_do_banco.h"
#include "apoio_anexos.h"
#include "app/anexos_do_programa.h"
#include "app/fechamento.h"
#include "app/inicio.h"
#include "app/janela_fechamento.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "entry/catalogo.h"
#include "workbook/libreoffice.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace {

// What the close writes to standard output while this object lives.
class SaidaCapturada : public DescritorCapturado {
public:
    SaidaCapturada() : DescritorCapturado(1) {}
};

QString conteudo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every typed file of the data directory (the kinds data entry writes, both
// years of the per-year ones) with the hash of its bytes, one a line. The
// fiscal-management report's figures file is its output, written at every run.
QString digitados(const QString& dados) {
    QStringList hashes;
    for (int i = 0; i <= int(nq::ArquivoDigitado::GestaoFiscalDigitada); ++i) {
        const auto tipo = nq::ArquivoDigitado(i);
        if (tipo == nq::ArquivoDigitado::GestaoFiscal)
            continue;
        const QStringList anos =
            nq::descricao(tipo).porAno() ? QStringList{"2007", "2008"} : QStringList{QString()};
        for (const QString& ano : anos) {
            QFile f(nq::caminhoArquivo(dados + "/", tipo, ano));
            if (f.open(QIODevice::ReadOnly))
                hashes << QFileInfo(f).fileName() + " " +
                              QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                  .toHex();
        }
    }
    return hashes.join('\n');
}

// The CSV value of a figure, read plainly (no quoted field reaches the key columns).
QString valorNoCsv(const QString& csv, const QString& quadro, const QString& id,
                   const QString& coluna) {
    for (const QString& linha : conteudo(csv).split('\n')) {
        const QStringList c = linha.split(';');
        if (c.size() >= 5 && c[0] == quadro && c[1] == id && c[c.size() - 2] == coluna)
            return c.last();
    }
    return {};
}

struct Indice {
    bool bemFormado = false;
    QString erro;
    QStringList links;
    // data-relatorio/quadro/id/coluna of each key figure, with the text shown.
    std::vector<std::pair<nq::FiguraDoFechamento, QString>> valores;
};

// The page read as XML: it is written so that an XML reader takes it whole.
Indice leIndice(const QString& arquivo) {
    Indice r;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return r;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("a"))
            r.links << a.value("href").toString();
        if (a.hasAttribute("data-relatorio")) {
            nq::FiguraDoFechamento fig{
                a.value("data-relatorio").toString(), a.value("data-quadro").toString(),
                a.value("data-id").toString(), a.value("data-coluna").toString()};
            r.valores.emplace_back(fig, xml.readElementText());
        }
        for (const char* proibido : {"src", "rel"})
            if (a.hasAttribute(proibido))
                r.erro = QString("recurso externo: ") + proibido;
    }
    r.bemFormado = !xml.hasError();
    if (xml.hasError())
        r.erro = xml.errorString();
    return r;
}

// "1.234,56" -> "1234.56"
QString semFormato(QString impresso) {
    return impresso.remove('.').replace(',', '.');
}

TEST(FechamentoRelatorios, OrdemDasDependenciasECamara) {
    using nq::RelatorioDoFechamento;
    std::vector<RelatorioDoFechamento> lista = {
        {"rgf", "RGF", "rgf", 6, true, {"anexo3", "anexo10"}},
        {"anexo10", "Anexo 10", "10", 0, true, {}},
        {"anexo3", "Anexo 3", "3", 6, true, {}},
        {"anexo1", "Anexo 1", "1", 6, false, {}}};
    QStringList ordem;
    for (const auto& r : nq::emOrdemDeDependencia(lista))
        ordem << r.chave;
    EXPECT_EQ(ordem, QStringList({"anexo10", "anexo3", "rgf", "anexo1"}));

    lista[1].antes = {"rgf"};
    EXPECT_THROW(nq::emOrdemDeDependencia(lista), nq::Erro);
    lista[1].antes = {"anexo99"};
    EXPECT_THROW(nq::emOrdemDeDependencia(lista), nq::Erro);

    // A chamber runs only what a chamber may: its fiscal-management reports read
    // neither the RCL nor the debt, only the personnel file of the period's last month.
    const auto chaves = [](int bimestre, bool camara) {
        QStringList c;
        for (const auto& r : nq::relatoriosDoFechamento(bimestre, camara))
            c << r.chave + "(" + r.antes.join(",") + ")";
        return c;
    };
    EXPECT_EQ(chaves(2, true), QStringList({"anexo3()", "anexo10_04()", "rgf_bim2(anexo10_04)",
                                            "rgf_quad1(anexo10_04)"}));
    // Odd bimesters end no quadrimester; the reports that read others' files come after them.
    const QStringList primeiro = chaves(1, false);
    EXPECT_EQ(primeiro.filter("rgf").join(' '), "rgf_bim1(anexo3,anexo10_02,anexo5)");
    EXPECT_EQ(primeiro.indexOf(QRegularExpression("^rgf_bim1.*")), primeiro.size() - 1);
    const QStringList sexto = chaves(6, false);
    EXPECT_TRUE(sexto.contains("rgf_quad3(anexo3,anexo10_12,anexo5)"))
        << sexto.join(' ').toStdString();
    EXPECT_EQ(sexto.size(), 12);
}

TEST(FechamentoConferencias, DivergenciaNomeiaFigurasDiferencaEArquivosDigitados) {
    QTemporaryDir dir;
    const auto csv = [&](const QString& nome, const QString& valor) {
        const QString arquivo = dir.filePath(nome);
        nq::gravaFigurasCsv(arquivo, {{"cdsX", "00010", "Total; \"geral\"", "V", valor}});
        return arquivo;
    };
    nq::FigurasDoFechamento figuras;
    figuras.le("a", csv("a.csv", "1234567.89"));
    figuras.le("b", csv("b.csv", "1234567.80"));
    const nq::ConferenciaDoFechamento c{
        "D3_00002",
        "Despesa",
        {{"a", "cdsX", "00010", "V"}, "\"Total\"", {nq::ArquivoDigitado::Anexo1Despesa}},
        {{"b", "cdsX", "00010", "V"}, "\"TOTAIS:\"", {nq::ArquivoDigitado::Anexo3}}};
    const std::map<QString, QString> titulos = {{"a", "Anexo 1"}, {"b", "Anexo 2"}};
    const nq::ResultadoDaConferencia r = nq::confere(c, figuras, titulos, "/dados", "2008");
    EXPECT_EQ(r.situacao, nq::SituacaoDaConferencia::Diverge);
    EXPECT_TRUE(r.mensagem.contains("1.234.567,89")) << r.mensagem.toStdString();
    EXPECT_TRUE(r.mensagem.contains("diferença 0,09"));
    EXPECT_TRUE(r.mensagem.contains("Anexo 1: /dados/NQ404_Anexo1_Despesa.xml"));
    EXPECT_TRUE(r.mensagem.contains("Anexo 2: /dados/NQ404_Anexo3_2008.xml"));

    // A report that did not print the figure is not taken as agreeing.
    nq::ConferenciaDoFechamento semFigura = c;
    semFigura.b.figura.coluna = "W";
    EXPECT_EQ(nq::confere(semFigura, figuras, titulos, "/dados", "2008").situacao,
              nq::SituacaoDaConferencia::SemDados);

    EXPECT_EQ(nq::moedaImpressa(*nq::Moeda::deTexto("-1234.5")), "-1.234,50");
    EXPECT_EQ(nq::moedaImpressa(*nq::Moeda::deTexto("0.07")), "0,07");
}

class Fechamento : public ComBancoDeTeste {
protected:
    nq::OpcoesDoLote opcoes(int bimestre, const QString& pasta) const {
        nq::OpcoesDoLote o;
        o.fechamento = true;
        o.bimestre = bimestre;
        o.ini = demo_->ini;
        o.saida = saida.filePath(pasta);
        return o;
    }
    int executa(const nq::OpcoesDoLote& o) {
        SaidaCapturada captura;
        const int status = nq::executaFechamentoNoLote(o, nq::anexosDoPrograma());
        terminal = captura.texto();
        return status;
    }
    static QString dados() { return QFileInfo(demo_->bancoAtual).absolutePath(); }

    // Every report's files, the page's links and key figures against the CSVs.
    void confereArquivos(const QString& pasta, int bimestre) {
        const QDir dir(pasta);
        for (const auto& r : nq::relatoriosDoFechamento(bimestre, false)) {
            const QString pdf = dir.filePath(r.chave + ".pdf");
            EXPECT_TRUE(conteudo(pdf).startsWith("%PDF")) << pdf.toStdString();
            EXPECT_NO_THROW(nq::leFigurasCsv(dir.filePath(r.chave + ".csv")));
            EXPECT_TRUE(terminal.contains(QRegularExpression(
                "^" + QRegularExpression::escape(r.titulo) + " +[0-9]+\\.[0-9] s  gravado$",
                QRegularExpression::MultilineOption)))
                << r.titulo.toStdString();
        }
        const Indice indice = leIndice(dir.filePath("indice.html"));
        ASSERT_TRUE(indice.bemFormado) << indice.erro.toStdString();
        EXPECT_TRUE(indice.erro.isEmpty()) << indice.erro.toStdString();
        EXPECT_EQ(indice.links.size(), 2 * int(nq::relatoriosDoFechamento(bimestre, false).size()));
        for (const QString& link : indice.links)
            EXPECT_TRUE(QFileInfo(dir.filePath(link)).isFile()) << link.toStdString();
        ASSERT_EQ(indice.valores.size(), nq::valoresChaveDoFechamento(bimestre).size());
        for (const auto& [figura, texto] : indice.valores) {
            const QString csv = valorNoCsv(dir.filePath(figura.relatorio + ".csv"), figura.quadro,
                                           figura.id, figura.coluna);
            EXPECT_FALSE(csv.isEmpty()) << figura.coluna.toStdString();
            EXPECT_EQ(semFormato(texto), csv) << figura.coluna.toStdString();
        }
    }

    QTemporaryDir saida;
    QString terminal;
};

TEST_F(Fechamento, OpcoesErradasTerminamComDoisSemArquivos) {
    nq::OpcoesDoLote o = opcoes(6, "x");
    o.saida.clear();
    EXPECT_EQ(executa(o), 2);
    o = opcoes(0, "x");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(6, "x");
    o.anexo = "1";
    EXPECT_EQ(executa(o), 2);
    o = opcoes(6, "x");
    o.planilha = saida.filePath("nao-existe.xls");
    o.planilhaSaida = saida.filePath("copia.xls");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(6, "x");
    QFile::copy(demo_->ini, saida.filePath("x")); // a file, not a folder
    EXPECT_EQ(executa(o), 2);
    EXPECT_THROW(nq::leOpcoesDoLote({"nq404", "--anexo", "1", "--saida"}), nq::Erro);
}

TEST_F(Fechamento, PrimeiroESextoBimestresSemAlterarOsDigitados) {
    // The sixth first: its quadrimester report prepares its typed companion file, as
    // the first run of any annex prepares its own; after that no close changes one.
    ASSERT_EQ(executa(opcoes(6, "bim6")), 0) << terminal.toStdString();
    confereArquivos(saida.filePath("bim6"), 6);
    // The bimester's and the quadrimester's reports each checked against annexes 3, 5, 10.
    for (const char* codigo : {"D3_00005", "D3_00006", "Pessoal"})
        EXPECT_EQ(terminal.count(QRegularExpression(QString("^%1 .*: confere \\(").arg(codigo),
                                                    QRegularExpression::MultilineOption)),
                  2)
            << codigo << terminal.toStdString();
    EXPECT_EQ(terminal.count(": confere ("), 12);
    // Nothing but the outputs is left in the folder, nor work copies in the data directory.
    EXPECT_EQ(QDir(saida.filePath("bim6")).entryList(QDir::Files | QDir::Hidden).size(),
              2 * nq::relatoriosDoFechamento(6, false).size() + 1);
    EXPECT_TRUE(QDir(dados()).entryList({"NQ404_*Trab*", "*.tmp"}, QDir::Files).isEmpty());

    const auto antes = digitados(dados());
    ASSERT_TRUE(antes.contains("NQ404_ANXGED.XML"));
    ASSERT_EQ(executa(opcoes(1, "bim1")), 0) << terminal.toStdString();
    confereArquivos(saida.filePath("bim1"), 1);
    EXPECT_EQ(digitados(dados()).toStdString(), antes.toStdString());
    EXPECT_TRUE(conteudo(saida.filePath("bim1/indice.html")).contains("1º bimestre de 2008"));
    EXPECT_FALSE(terminal.contains("quadrimestre"));
    EXPECT_EQ(terminal.count(": confere ("), 9) << terminal.toStdString();
}

TEST_F(Fechamento, ValorDigitadoQuebraConferenciaENomeiaOArquivo) {
    ASSERT_EQ(executa(opcoes(6, "antes")), 0);
    const QString anexo2 = nq::caminhoArquivo(dados() + "/", nq::ArquivoDigitado::Anexo2);
    const QString original = conteudo(anexo2);
    const QString gestao =
        nq::caminhoArquivo(dados() + "/", nq::ArquivoDigitado::GestaoFiscalDigitada);
    const QString gestaoOriginal = conteudo(gestao);
    digita(anexo2, nq::ArquivoDigitado::Anexo2, QString("04.122"),
           {{"EMPENHADO_BIM6", nq::Value(nq::Moeda::deInteiro(1234))}});
    // Typed revenue counts in the quadrimester's report, not in annex 3.
    digita(gestao, nq::ArquivoDigitado::GestaoFiscalDigitada, QString("00010"),
           {{"QUAD3", nq::Value(nq::Moeda::deTexto("0.05").value())}});
    const auto antes = digitados(dados());
    EXPECT_EQ(executa(opcoes(6, "depois")), 3) << terminal.toStdString();
    EXPECT_EQ(digitados(dados()).toStdString(), antes.toStdString());
    for (const auto& [arquivo, texto] : {std::pair(anexo2, original), {gestao, gestaoOriginal}}) {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto.toUtf8());
    }

    const QString rcl = terminal.split('\n').filter("D3_00005").join('\n');
    EXPECT_TRUE(rcl.contains(
        QRegularExpression("^D3_00005 Receita corrente líquida \\(RGF do 6º bimestre\\): confere",
                           QRegularExpression::MultilineOption)))
        << rcl.toStdString();
    const QString quad = terminal.split('\n').filter("D3_00005").filter("quadrimestre").value(0);
    EXPECT_TRUE(quad.contains("NÃO CONFERE")) << quad.toStdString();
    EXPECT_TRUE(quad.contains("diferença -0,05")) << quad.toStdString();
    EXPECT_TRUE(quad.contains("Anexo 3, linha \"RECEITA CORRENTE LÍQUIDA\""));
    EXPECT_TRUE(quad.contains("RGF 3º quadrimestre, linha \"RECEITA CORRENTE LÍQUIDA\""));
    EXPECT_TRUE(quad.contains("RGF 3º quadrimestre: " + gestao)) << quad.toStdString();

    const QString linha = terminal.split('\n').filter("empenhada no bimestre").value(0);
    EXPECT_TRUE(linha.contains("NÃO CONFERE")) << linha.toStdString();
    EXPECT_TRUE(linha.contains("diferença -1.234,00")) << linha.toStdString();
    EXPECT_TRUE(linha.contains("Anexo 1, linha \"DESPESA TOTAL (C+D)\""));
    EXPECT_TRUE(linha.contains("Anexo 2, linha \"TOTAIS:\""));
    EXPECT_TRUE(linha.contains("Anexo 2: " + anexo2)) << linha.toStdString();
    // The other columns still agree, and the page says what the terminal said.
    EXPECT_EQ(terminal.count("NÃO CONFERE"), 3); // annex 2 in the bimester and up to it; the RCL
    EXPECT_TRUE(conteudo(saida.filePath("depois/indice.html")).contains(linha.toHtmlEscaped()));
}

TEST_F(Fechamento, RelatorioQueFalhaNaoParaOsOutros) {
    const QString anexo4 = nq::caminhoArquivo(dados() + "/", nq::ArquivoDigitado::Anexo4Receita);
    ASSERT_EQ(executa(opcoes(2, "antes")), 0);
    const QString original = conteudo(anexo4);
    {
        QFile f(anexo4);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    }
    EXPECT_EQ(executa(opcoes(2, "falha")), 1);
    EXPECT_EQ(conteudo(anexo4), "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    {
        QFile f(anexo4);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original.toUtf8());
    }
    EXPECT_TRUE(terminal.contains(
        QRegularExpression("^Anexo 4 +[0-9.]+ s  FALHOU", QRegularExpression::MultilineOption)))
        << terminal.toStdString();
    const QDir dir(saida.filePath("falha"));
    EXPECT_FALSE(dir.exists("anexo4.pdf"));
    EXPECT_TRUE(dir.exists("anexo5.pdf"));
    EXPECT_TRUE(dir.exists("anexo8.csv"));
    const QString pagina = conteudo(dir.filePath("indice.html"));
    EXPECT_TRUE(pagina.contains("falhou"));
    EXPECT_TRUE(leIndice(dir.filePath("indice.html")).bemFormado);
}

TEST_F(Fechamento, UmaCopiaDaPlanilhaRecebeTodasAsFolhas) {
    const QString tce = saida.filePath("tce.xls");
    const QStringList folhas = {"Com",   "mod1 6b", "mod1 anexo",  "mod2 6b",
                                "mod 3", "mod 4",   "mod 5",       "mod 6",
                                "mod 7", "mod 8",   "Anexo1mod10", "mod10 3q"};
    {
        nq::LibreOffice office;
        auto p = office.novaPlanilha();
        p->criaNova(folhas);
        p->selecionaFolha("mod1 6b");
        p->escreveTexto("A26", "(-) Contas Redutoras");
        p->salvaComo(tce);
        p->fecha();
    }
    const QString original = conteudo(tce);
    nq::OpcoesDoLote o = opcoes(6, "planilha");
    o.planilha = tce;
    o.planilhaSaida = saida.filePath("preenchida.xls");
    ASSERT_EQ(executa(o), 0) << terminal.toStdString();
    EXPECT_EQ(conteudo(tce), original);

    nq::LibreOffice office;
    auto p = office.novaPlanilha();
    p->abre(o.planilhaSaida);
    // Annex 1's and annex 2's sheets (the first and a later annex) and the
    // fiscal-management report's, the last one written, all hold figures.
    for (const QString& folha : {QString("mod1 6b"), QString("mod2 6b"), QString("mod10 3q")}) {
        p->selecionaFolha(folha);
        int numeros = 0;
        for (int linha = 1; linha <= 120; ++linha)
            for (const char* coluna : {"C", "D", "E", "F", "G", "H", "I"})
                numeros += p->le(QString("%1%2").arg(coluna).arg(linha)).tipo ==
                           nq::ValorCelula::Tipo::Numero;
        EXPECT_GT(numeros, 5) << folha.toStdString();
    }
    p->fecha();
}

TEST_F(Fechamento, NavegadorMostraOIndice) {
    ASSERT_EQ(executa(opcoes(6, "navegador")), 0);
    const QString csv = saida.filePath("navegador/anexo3.csv");
    const QString rcl =
        nq::moedaImpressa(*nq::Moeda::deTexto(valorNoCsv(csv, "cdsImp", "00300", "ppVariable1")));
    QProcess w3m;
    w3m.start("w3m", {"-dump", "-T", "text/html", "-cols", "200", "-O", "UTF-8",
                      saida.filePath("navegador/indice.html")});
    ASSERT_TRUE(w3m.waitForFinished(30000)) << "w3m (scripts/deps) não respondeu";
    const QString texto = QString::fromUtf8(w3m.readAllStandardOutput());
    EXPECT_TRUE(texto.contains("Fechamento do Bimestre")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Período: 6º bimestre de 2008"));
    EXPECT_TRUE(texto.contains(QRegularExpression("Anexo 1B +gravado")));
    EXPECT_TRUE(texto.contains(
        QRegularExpression("Receita corrente líquida.* " + QRegularExpression::escape(rcl))))
        << texto.toStdString();
    EXPECT_FALSE(texto.contains("<td")); // rendered, not shown as source
}

TEST_F(Fechamento, JanelaCanceladaEntreRelatoriosGuardaOsGravados) {
    nq::defineCaminhoVexoIni(demo_->ini);
    nq::MensagensDeTeste msgs;
    nq::Tdm dados;
    ASSERT_FALSE(nq::InicioNQ404(dados).executa().encerrar);
    nq::TFrmFechamento janela(nq::anexosDoPrograma());
    QString aberto;
    bool abre = true;
    janela.abreIndice = [&](const QString& indice) {
        aberto = indice;
        return abre;
    };
    EXPECT_EQ(janela.btnExecutarClick(), 2);
    EXPECT_EQ(msgs->registro().back().texto, "Especifique o Bimestre!");

    janela.combomes->setCurrentIndex(5);
    janela.edtSaida->setText(saida.filePath("janela"));
    msgs->enfileiraResposta(true); // open the index
    EXPECT_EQ(janela.btnExecutarClick(), 0);
    EXPECT_EQ(aberto, saida.filePath("janela/indice.html"));
    const QStringList linhas = janela.registro->toPlainText().split('\n');
    EXPECT_EQ(linhas.filter(" s  gravado").size(),
              int(nq::relatoriosDoFechamento(6, false).size()));
    EXPECT_EQ(linhas.last(), "Índice: " + QDir::toNativeSeparators(aberto));

    // Where no program opens the page, the user is told where it is.
    abre = false;
    msgs->enfileiraResposta(true);
    EXPECT_EQ(janela.btnExecutarClick(), 0);
    EXPECT_EQ(msgs->registro().back().texto,
              "O índice \"" + QDir::toNativeSeparators(aberto) +
                  "\" não pôde ser aberto: não há neste computador um programa que abra "
                  "páginas HTML. Abra-o pelo navegador de internet.");

    // Cancel pressed while the first report is written: it stays, the rest do not run.
    // The reports' wait window, on top, never covers the progress and its button.
    QTimer cancela;
    bool juntos = false;
    QObject::connect(&cancela, &QTimer::timeout, [&] {
        auto* progresso = janela.findChild<QProgressDialog*>();
        if (progresso && progresso->isVisible() && nq::FrmAguarde && nq::FrmAguarde->isVisible()) {
            juntos = true;
            // Room for the title bars a window manager adds.
            const QRect comTitulos = progresso->frameGeometry().adjusted(0, -40, 0, 40);
            EXPECT_FALSE(comTitulos.intersects(nq::FrmAguarde->frameGeometry()));
        }
        if (progresso && janela.registro->toPlainText().contains("gravado"))
            progresso->cancel();
    });
    cancela.start(0);
    janela.show(); // where the user sees it: the progress would come up centred on it
    janela.edtSaida->setText(saida.filePath("cancelado"));
    aberto.clear();
    msgs->enfileiraResposta(false);
    EXPECT_EQ(janela.btnExecutarClick(), 1);
    EXPECT_TRUE(aberto.isEmpty());
    EXPECT_TRUE(msgs->registro().back().texto.startsWith("O fechamento foi cancelado"));
    const QDir dir(saida.filePath("cancelado"));
    EXPECT_TRUE(dir.exists("anexo1.pdf"));
    EXPECT_FALSE(dir.exists("anexo1b.pdf"));
    EXPECT_TRUE(conteudo(dir.filePath("indice.html")).contains("O fechamento foi cancelado."));
    EXPECT_TRUE(juntos);
}

TEST_F(Fechamento, CamaraRodaSoOQueUmaCamaraPode) {
    QTemporaryDir outro;
    const nq::demo::Demonstracao camara = nq::demo::criaBancoDeTeste(outro.filePath("banco"));
    nq::teste::executaComoDono(camara.bancoAtual, "UPDATE CADCLI SET CLNT1=" +
                                                      nq::textoSql("Câmara Municipal de Teste"));
    nq::OpcoesDoLote o = opcoes(2, "camara");
    o.ini = camara.ini;
    EXPECT_EQ(executa(o), 0) << terminal.toStdString();
    QStringList esperados;
    for (const auto& r : nq::relatoriosDoFechamento(2, true))
        esperados << r.chave + ".csv" << r.chave + ".pdf";
    esperados << "indice.html";
    esperados.sort();
    EXPECT_EQ(QDir(o.saida).entryList(QDir::Files | QDir::Hidden), esperados);
    // No check between reports a chamber does not run, nor of an RCL its reports do not use.
    EXPECT_FALSE(terminal.contains("D3_00002"));
    EXPECT_FALSE(terminal.contains("D3_00005"));
    EXPECT_EQ(terminal.count(QRegularExpression("^Pessoal .*: confere \\(",
                                                QRegularExpression::MultilineOption)),
              2)
        << terminal.toStdString();
    EXPECT_TRUE(leIndice(QDir(o.saida).filePath("indice.html")).bemFormado);
}

} // namespace
