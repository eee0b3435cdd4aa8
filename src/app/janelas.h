#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace nq {

class LibreOffice;
struct OpcoesLibreOffice;

// The windows that the main window opens. A factory left empty means the window
// is not part of this build yet; the main window then says so.
struct JanelasDoPrincipal {
    // The annex launcher (TFrmImprime), opened as the child window.
    std::function<QWidget*()> lancador;
    // The data-entry window (TFrmDigitacao) with its title, opened as the child window.
    std::function<QWidget*(const QString& titulo)> digitacao;
    // The reserve-commitment setting, shown modally over `dono` and released.
    std::function<void(QWidget* dono)> empenhosReserva;
};

// The factories of the program as built; each window registers itself here. The
// workbooks are filled in `office`, which must outlive the windows.
JanelasDoPrincipal janelasDoPrograma(LibreOffice& office);

// The office of the windows: Calc shown to the user where LibreOffice can show
// windows, else the filled workbook saved beside the original, and the user told
// where; the LibreOffice named in corfoco.ini, if any.
OpcoesLibreOffice opcoesLibreOfficeDoPrograma();

// Shown for a window that this build does not have yet.
void avisaIndisponivel();

} // namespace nq
