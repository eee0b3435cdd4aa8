#pragma once

#include "workbook/planilha.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace nq {

// Opens a session on the spreadsheet program.
using FabricaDePlanilha = std::function<std::unique_ptr<Planilha>()>;

// What an annex reads from the launcher while it computes: the launcher's
// controls (bimester list, workbook path and its choose button) and the three
// values the launcher sets for the whole program. The launcher window
// implements it; a run without windows implements it with fixed values.
class ValoresDoLancador {
public:
    virtual ~ValoresDoLancador() = default;

    // The bimester list's text ("3 - Maio - Junho"), empty when none is chosen.
    virtual QString textoBimestre() const = 0;
    // The list's item index: the bimester minus one, -1 when none is chosen.
    virtual int indiceBimestre() const = 0;
    // The Court of Accounts workbook as the user gave it (may be empty).
    virtual QString caminhoPlanilha() const = 0;
    // The choose button: lets the user pick the workbook again (annexes press it
    // when the path names no file).
    virtual void escolhePlanilha() = 0;
    // A session on the spreadsheet program for filling the workbook: shown to the
    // user in the program, headless with an output file in a run without windows.
    virtual std::unique_ptr<Planilha> novaPlanilha() = 0;

    // The bimester digit of headings and file names: the text's first character.
    QString digitoBimestre() const { return textoBimestre().left(1); }
    // The bimester the annexes compute, 1 to 6 (the item index plus one); throws
    // nq::Erro "Especifique o Bimestre!" when none is chosen.
    int bimestre() const;

    // The legislative-chamber flag: starts false and, once set, stays set.
    bool camaraLegislativa() const { return camara_; }
    void marcaCamaraLegislativa() { camara_ = true; }

    // The condition the commitment queries insert where DESPES has the alias D:
    // a single blank when reserve commitments are shown.
    const QString& filtroReserva() const { return filtro_; }
    void defineFiltroReserva(bool mostraReserva);

    // The bimester number of the last row started: 1 to 6, 0 when none was chosen.
    int bimestreSelecionado() const { return bimestre_; }
    void defineBimestreSelecionado(int bimestre) { bimestre_ = bimestre; }

private:
    bool camara_ = false;
    QString filtro_ = QStringLiteral(" ");
    int bimestre_ = 0;
};

// The installed launcher; throws nq::Erro when there is none (no annex runs
// without one).
ValoresDoLancador& lancador();
// Installs `v` (the caller keeps it alive; nullptr removes it) and returns the
// one it replaces.
ValoresDoLancador* instalaLancador(ValoresDoLancador* v);

// The bimester list, in order ("1 - Janeiro - Fevereiro" ... "6 - Novembro - Dezembro").
const QStringList& textosBimestres();

// Whether a municipality name (CLNT1) is a legislative chamber's: its first
// three characters, with only the letters A to Z lowered, read "câm".
bool nomeDeCamara(const QString& nome);

// Fixed values for runs without windows and for annex tests: the bimester
// and workbook path are given, and choosing a workbook only counts the
// request, since there is nobody to ask.
class ValoresFixosDoLancador : public ValoresDoLancador {
public:
    QString textoBimestre() const override;
    int indiceBimestre() const override { return indice_; }
    QString caminhoPlanilha() const override { return planilha_; }
    void escolhePlanilha() override { ++escolhas_; }
    // Throws nq::Erro when no spreadsheet program was given.
    std::unique_ptr<Planilha> novaPlanilha() override;

    // 1 to 6, or 0 for none; anything else throws nq::Erro.
    void defineBimestre(int bimestre);
    void definePlanilha(const QString& caminho) { planilha_ = caminho; }
    void defineFabricaDePlanilha(FabricaDePlanilha fabrica) { fabrica_ = std::move(fabrica); }
    // How many times an annex asked for the workbook to be chosen.
    int escolhasPedidas() const { return escolhas_; }

private:
    int indice_ = -1;
    QString planilha_;
    int escolhas_ = 0;
    FabricaDePlanilha fabrica_;
};

// Installs a launcher for the life of a scope and puts the former one back.
class LancadorInstalado {
public:
    explicit LancadorInstalado(ValoresDoLancador& v) : anterior_(instalaLancador(&v)) {}
    ~LancadorInstalado() { instalaLancador(anterior_); }
    LancadorInstalado(const LancadorInstalado&) = delete;
    LancadorInstalado& operator=(const LancadorInstalado&) = delete;

private:
    ValoresDoLancador* anterior_;
};

} // namespace nq
