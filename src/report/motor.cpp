#include "report/motor.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "report/gerador.h"
#include "report/paginador.h"

#include <QRegularExpression>

namespace nq {

namespace {

SaidaDeRelatorios*& saidaInstalada() {
    static SaidaDeRelatorios* saida = nullptr;
    return saida;
}

Papel papelDe(const TppPrinterSetup& s) {
    Papel p;
    p.nome = s.PaperName;
    p.codigo = s.PaperSize;
    p.largura = s.mmPaperWidth;
    p.altura = s.mmPaperHeight;
    p.orientacao = s.Orientation == TppPrinterOrientation::poLandscape ? Orientacao::Paisagem
                                                                       : Orientacao::Retrato;
    p.margemSuperior = s.mmMarginTop;
    p.margemInferior = s.mmMarginBottom;
    p.margemEsquerda = s.mmMarginLeft;
    p.margemDireita = s.mmMarginRight;
    return p;
}

// "Nenhum Dado Encontrado" in Arial 12 pt black, centred on the paper.
ComandoTexto avisoDeSemDados(const Papel& papel) {
    ComandoTexto c;
    c.fonte.nome = QStringLiteral("Arial");
    c.fonte.tamanho = 12;
    c.alinhamento = Alinhamento::Centro;
    c.caixa = {0, 0, papel.largura, papel.altura};
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    const QString& texto = textos_do_motor::NenhumDado;
    c.trechos.push_back({(papel.largura - m.largura(c.fonte, texto)) / 2,
                         (papel.altura - m.alturaDaLinha(c.fonte)) / 2 + m.ascendente(c.fonte),
                         texto});
    return c;
}

QString& tituloEmVigor() {
    static QString titulo;
    return titulo;
}

} // namespace

TituloDosRelatorios::TituloDosRelatorios(const QString& titulo) : anterior_(tituloEmVigor()) {
    tituloEmVigor() = titulo;
}

TituloDosRelatorios::~TituloDosRelatorios() {
    tituloEmVigor() = anterior_;
}

QString tituloDoRelatorio(const TppReport& relatorio) {
    // "Report", "Report8": the names the designer gives, which say nothing to a reader.
    static const QRegularExpression padrao(QStringLiteral("^Report\\d*$"));
    const QString& proprio = relatorio.PrinterSetup.DocumentName;
    if (!tituloEmVigor().isEmpty() && (proprio.isEmpty() || padrao.match(proprio).hasMatch()))
        return tituloEmVigor();
    return proprio;
}

TrabalhoDeImpressao trabalhoDoRelatorio(const TppReport& r) {
    TrabalhoDeImpressao t;
    t.nomeDocumento = tituloDoRelatorio(r);
    t.impressora = r.PrinterSetup.PrinterName;
    t.bandeja = r.PrinterSetup.BinName;
    t.copias = r.PrinterSetup.Copies;
    t.agrupar = r.PrinterSetup.Collation;
    t.tipoDispositivo = r.DeviceType;
    t.permiteImprimirParaArquivo = r.AllowPrintToFile;
    t.permiteImprimirParaArquivoMorto = r.AllowPrintToArchive;
    return t;
}

void SaidaDeRelatorios::executa(TppReport& relatorio) {
    if (relatorio.OnPreviewFormCreate)
        relatorio.OnPreviewFormCreate();
    TppEngine motor(&relatorio);
    motor.defineAvisoDeSemDados([this, &relatorio] { avisaSemDados(relatorio); });
    apresenta(relatorio, motor.geraDocumento());
}

void SaidaDeRelatorios::avisaSemDados(TppReport&) {
    avisaSemDadosPorMensagem();
}

void avisaSemDadosPorMensagem() {
    mensagens().mostra(textos_do_motor::NaoHaDados, textos_do_motor::NenhumDado, Icone::Informacao);
}

SaidaDeRelatorios* instalaSaidaDeRelatorios(SaidaDeRelatorios* saida) {
    SaidaDeRelatorios* anterior = saidaInstalada();
    saidaInstalada() = saida;
    return anterior;
}

void TppEngine::gera(const std::function<void(Pagina&&)>& recebe) {
    if (!relatorio_)
        throw Erro(textos_do_motor::SemRelatorio);
    TppReport& r = *relatorio_;
    if (r.BeforePrint)
        r.BeforePrint();
    Execucao ex(r);
    const Papel papel = papelDe(r.PrinterSetup);
    GeradorDeFaixas gerador(ex, papel.margemEsquerda,
                            papel.largura - papel.margemEsquerda - papel.margemDireita);
    Paginador paginador(ex, gerador, papel, recebe);
    auto paginaTudo = [&](bool comDetalhes) { gerador.geraPrincipal(r, comDetalhes, paginador); };

    TppDBPipeline* mestre = r.DataPipeline;
    if (!mestre || !mestre->SkipWhenNoRecords || !ex.registros(*mestre).empty()) {
        paginaTudo(true);
    } else {
        if (r.OnNoData)
            r.OnNoData();
        const auto tem = [&r](TppNoDataBehavior b) { return r.NoDataBehaviors.count(b) > 0; };
        if (tem(TppNoDataBehavior::ndMessageDialog)) {
            if (avisoDeSemDados_)
                avisoDeSemDados_();
            else
                avisaSemDadosPorMensagem();
        }
        if (tem(TppNoDataBehavior::ndMessageOnPage))
            paginador.acrescentaNaPrimeiraPagina(avisoDeSemDados(papel));
        if (tem(TppNoDataBehavior::ndBlankReport))
            paginaTudo(false);
        else if (tem(TppNoDataBehavior::ndMessageOnPage) || tem(TppNoDataBehavior::ndBlankPage))
            paginador.paginaEmBranco();
    }
    paginador.termina();
    if (r.AfterPrint)
        r.AfterPrint();
}

Documento TppEngine::geraDocumento() {
    Documento d;
    if (relatorio_) {
        d.nomeRelatorio = relatorio_->Name;
        d.trabalho = trabalhoDoRelatorio(*relatorio_);
    }
    gera([&d](Pagina&& p) { d.paginas.push_back(std::move(p)); });
    return d;
}

void TppReport::Print() {
    SaidaDeRelatorios* saida = saidaInstalada();
    if (!saida)
        throw Erro(
            QStringLiteral("Não há saída instalada para mostrar o relatório \"%1\".").arg(Name));
    saida->executa(*this);
    if (OnPrintingComplete)
        OnPrintingComplete();
}

} // namespace nq
