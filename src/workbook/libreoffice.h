#pragma once

#include "workbook/planilha.h"

#include <QString>
#include <memory>
#include <sys/types.h>

namespace nq {

enum class ModoPlanilha {
    // Batch runs and tests: no window; mostra() stores the workbook to the output file.
    Oculto,
    // The GUI: the workbook is shown in Calc while it is filled and left open,
    // unsaved, for the user to inspect and save.
    Visivel,
};

struct OpcoesLibreOffice {
    ModoPlanilha modo = ModoPlanilha::Oculto;
    // Oculto: where mostra() stores the filled workbook.
    QString arquivoSaida;
    // Oculto without arquivoSaida: mostra() stores the filled workbook beside the one it
    // came from ("<nome> - preenchida.xls") and tells the user where. This is the GUI's
    // way where the installed LibreOffice cannot show windows.
    bool copiaAoLadoDaOrigem = false;
    // Lets a workbook be stored over the file it was opened from.
    bool gravaSobreOriginal = false;
    // The LibreOffice to use (see localizaLibreOffice); empty: found where it is installed.
    QString programa;
    int segundosParaConectar = 60;
    // Every call into the office; one that takes longer ends a hidden office and
    // leaves a visible one as it is, with an error that says so.
    int segundosPorChamada = 60;
};

// The program's link to LibreOffice Calc. The office is started at the first
// workbook and shared by all that follow. A hidden office ends with this object
// (or with the program, should the program die). A visible office that shows a
// workbook to the user is left running when this object goes, with the workbook
// as the user left it; one that shows nothing is ended. Use from one thread, the
// one that made it, and end it while the application object still exists.
class LibreOffice {
public:
    explicit LibreOffice(OpcoesLibreOffice opcoes = {});
    ~LibreOffice();
    LibreOffice(const LibreOffice&) = delete;
    LibreOffice& operator=(const LibreOffice&) = delete;

    // A workbook session; it must not outlive this object.
    std::unique_ptr<Planilha> novaPlanilha();

    // For the workbooks made from now on (a batch run names one per annex).
    void defineArquivoSaida(const QString& arquivo) { opcoes_.arquivoSaida = arquivo; }
    // Whether the LibreOffice found (see localizaLibreOffice) can show its windows
    // here: it needs a display plugin (the "-nogui" packages have none) and a display.
    static bool podeMostrarJanelas(const QString& programa = {});
    // The office's process id; 0 while none runs.
    pid_t processo() const;
    // Ends a hidden office, or a visible one that shows nothing; leaves a visible
    // office that shows a workbook. The next workbook starts a new one.
    void encerra();

private:
    struct Conexao;
    OpcoesLibreOffice opcoes_;
    std::unique_ptr<Conexao> conexao_;
};

} // namespace nq
