#pragma once

#include "report/modelo.h"
#include "report/pagina.h"

#include <functional>

namespace nq {

// Where TppReport::Print sends its pages: the preview in the program, a PDF or another
// file in batch runs, a collector in tests. One output is installed at a time.
class SaidaDeRelatorios {
public:
    virtual ~SaidaDeRelatorios() = default;
    // Runs `relatorio` on this output; Print calls it. By default: the report's
    // OnPreviewFormCreate (annex code sets captions and rebinds data fields there, so it
    // must run before the pages exist), then the pages, then apresenta. An output with a
    // window of its own (the preview) overrides it to fire OnPreviewFormCreate once the
    // window exists and to generate the pages into it.
    virtual void executa(TppReport& relatorio);
    // Shows, prints or writes the pages of a run; fires OnPreviewFormClose when done.
    virtual void apresenta(TppReport& relatorio, const Documento& documento) = 0;
    // Tells the user that `relatorio` has no data, when its NoDataBehaviors ask for a
    // message. By default a message through mensagens(), which batch runs record; the
    // program's output shows its dialog instead.
    virtual void avisaSemDados(TppReport& relatorio);
};

// While it lives, reports without a document name of their own (the engine's
// default, "Report") carry `titulo` in their preview's caption, their print
// jobs and every file written of them (a PDF's title). The launcher
// names each annex so: the report, the entity, the period.
class TituloDosRelatorios {
public:
    explicit TituloDosRelatorios(const QString& titulo);
    ~TituloDosRelatorios();
    TituloDosRelatorios(const TituloDosRelatorios&) = delete;
    TituloDosRelatorios& operator=(const TituloDosRelatorios&) = delete;

private:
    QString anterior_;
};

// The title of a report's output: its own document name, or the one in force.
QString tituloDoRelatorio(const TppReport& relatorio);

// What the print job of `relatorio` needs besides its pages (its printer setup,
// titled by tituloDoRelatorio).
TrabalhoDeImpressao trabalhoDoRelatorio(const TppReport& relatorio);

// Installs `saida` (the caller keeps it alive; nullptr removes it) and returns the one
// it replaces.
SaidaDeRelatorios* instalaSaidaDeRelatorios(SaidaDeRelatorios* saida);

// The band engine: turns a report and its pipelines into pages. Needs no window, only the
// application object (fonts are measured).
class TppEngine {
public:
    explicit TppEngine(TppReport* relatorio = nullptr) : relatorio_(relatorio) {}
    void defineRelatorio(TppReport* relatorio) { relatorio_ = relatorio; }
    // What tells the user that the report has no data (ndMessageDialog); without one, a
    // message through mensagens().
    void defineAvisoDeSemDados(std::function<void()> aviso) { avisoDeSemDados_ = std::move(aviso); }

    // Hands each page over as soon as it is finished. An error (nq::Erro) stops the run;
    // the pages handed over before it stay with the receiver.
    void gera(const std::function<void(Pagina&&)>& recebe);
    Documento geraDocumento();

private:
    TppReport* relatorio_;
    std::function<void()> avisoDeSemDados_;
};

// The message that tells that a report has no data, through mensagens().
void avisaSemDadosPorMensagem();

// Texts of the engine's errors and of the page shown when there is no data.
namespace textos_do_motor {
inline const QString FonteDeDados = QStringLiteral("Não foi possível abrir a Fonte de Dados.");
inline const QString BandaEstatica = QStringLiteral("Static height detail band cannot fit on page");
inline const QString SemRelatorio =
    QStringLiteral("TppEngine.GetPageBottom: No Report assigned to this engine.");
inline const QString NenhumDado = QStringLiteral("Nenhum Dado Encontrado");
inline const QString NaoHaDados = QStringLiteral("Não há dados para este relatório.");
} // namespace textos_do_motor

} // namespace nq
