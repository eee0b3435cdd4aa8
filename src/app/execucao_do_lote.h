#pragma once

#include "core/mensagens.h"
#include "report/preview/saida.h"

#include <QString>
#include <functional>
#include <vector>

namespace nq {

class SaidasProvisorias;
class TFrmImprime;

// The annexes as the batch options name them: the launcher's row and window.
struct AnexoDoLote {
    QString opcao;
    int linha;
    QString janela;
    bool pedeBimestre;
};

const std::vector<AnexoDoLote>& anexosDoLote();
// The annex of option `opcao` in any letter case; null when there is none.
const AnexoDoLote* anexoDoLote(const QString& opcao);

// "nq404: <texto>" on standard error.
void escreveErro(const QString& texto);

// The first three letters, in any case, read "cam" or "câm": the broadest of
// the annexes' chamber tests, for telling why a workbook was not filled.
bool pareceCamara(const QString& nome);

// The scripted answers of a batch run, echoed to standard error, noting any
// message that reports a failure: an error box, or the launcher's error guard.
// The workbook question is answered yes exactly when a filled copy was asked
// for; `resposta` answers the others. Files appear in messages under the
// names the user gave them, never under their provisional ones.
class MensagensDoLote : public MensagensRoteirizadas {
public:
    MensagensDoLote(bool resposta, bool exportaPlanilha, const SaidasProvisorias& saidas);
    void mostra(const QString& texto, const QString& titulo, Icone icone) override;
    bool pergunta(const QString& texto, const QString& titulo, Icone icone) override;
    bool falhou() const { return falhou_; }
    bool perguntouPlanilha() const { return perguntouPlanilha_; }

private:
    bool exportaPlanilha_;
    const SaidasProvisorias& saidas_;
    bool falhou_ = false;
    bool perguntouPlanilha_ = false;
};

// Reports go to the PDF (or nowhere) and their figures to the CSV, each file
// written whole once the pages exist (under the provisional names the run
// puts in place at its end).
class SaidaDoLote : public SaidaDeRelatorios {
public:
    SaidaDoLote(QString pdf, QString csv) : pdf_(std::move(pdf)), csv_(std::move(csv)) {}
    void executa(TppReport& relatorio) override;
    void apresenta(TppReport& relatorio, const Documento& documento) override;

private:
    QString pdf_;
    QString csv_;
};

// The period of an annex that opens a window of its own, chosen in that
// window's selectors: the fiscal-management report's bimester or
// quadrimester, annex 10's month.
struct PeriodoDaJanela {
    bool quadrimestral = false; // the fiscal-management report by quadrimester
    int numero = 0;             // its bimester or quadrimester
    int mes = 0;                // annex 10's month, 1 to 12
};

// Starts `anexo` for `bimestre` (0: none) as a click on its launcher row
// would; a window the row opens modally is run without being shown, for
// `janela`'s period, its print button pressed. An error it raises goes to the
// message display, as the launcher's own guard does for its first row.
void executaNoLancador(TFrmImprime& lancador, const AnexoDoLote& anexo, int bimestre,
                       const PeriodoDaJanela& janela = {});

// While it lives, the data-entry window the fiscal-management report offers a
// chamber without typed revenue does not open (nobody can type in a run
// without windows): the report goes on without it, and standard error says so.
class SemJanelaDeDigitacao {
public:
    SemJanelaDeDigitacao();
    ~SemJanelaDeDigitacao();
    SemJanelaDeDigitacao(const SemJanelaDeDigitacao&) = delete;
    SemJanelaDeDigitacao& operator=(const SemJanelaDeDigitacao&) = delete;

private:
    std::function<void()> anterior_;
};

} // namespace nq
