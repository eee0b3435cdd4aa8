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
    QString programa = "/usr/lib/libreoffice/program/soffice.bin";
    int segundosParaConectar = 60;
};

// The program's link to LibreOffice Calc. The office is started at the first
// workbook and shared by all that follow; it ends with this object (or with the
// program, should the program die). Use from one thread, the one that made it.
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
    // Whether the installed LibreOffice can show its windows here: it needs a
    // display plugin (the "-nogui" packages have none) and a display.
    static bool podeMostrarJanelas(const QString& programa = OpcoesLibreOffice{}.programa);
    // The office's process id; 0 while none runs.
    pid_t processo() const;
    // Ends the office now; the next workbook starts a new one.
    void encerra();

private:
    struct Conexao;
    OpcoesLibreOffice opcoes_;
    std::unique_ptr<Conexao> conexao_;
};

} // namespace nq
