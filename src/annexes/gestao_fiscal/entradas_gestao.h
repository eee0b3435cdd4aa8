#pragma once

#include "annexes/gestao_fiscal/periodo_gestao.h"
#include "core/moeda.h"
#include "tables/clientdataset.h"

#include <QString>
#include <map>
#include <optional>

namespace nq {

// The files the fiscal-management report reads besides its own: annex 3's RCL
// files (this year's and the previous year's), annex 10's DP file and annex
// 5's debt work file, all in the data directory `diretorio` but the previous
// year's RCL file, in `diretorioAnterior`. confere reads the files the period
// needs before the report writes anything; the readings follow.
class EntradasDaGestao {
public:
    // `exercicio`: MEXER, which names the debt file; `anoDoPrograma`: the year
    // the program was started for, which names annex 3's previous typed file.
    EntradasDaGestao(QString diretorio, QString diretorioAnterior, PeriodoDaGestao periodo,
                     QString exercicio, QString anoDoPrograma);

    // Reads the RCL file (not for a chamber, which computes no RCL: it must be
    // the period's, by its month), the DP file and, when it is there, the debt
    // file. Gives the message that says which annex to run first for which
    // period, or which file is damaged; empty when the report can run. The
    // debt file is not required: without it the debt reads 0.
    QString confere(bool camara);

    // The RCL of the twelve months ending with the period: line 00300 of the
    // RCL file, slots mes to mes11; 0 without the line.
    Moeda receita() const;
    // The previous exercise's: January to December of the previous year's RCL
    // file, or, without it (the user is told), of annex 3's typed file of that
    // year; 0 when neither has the line.
    Moeda receitaAnterior() const;

    // The DP file's line `id` ("00170" total, "00250" net retirees and
    // pensioners) over the twelve months ending with the period, and over the
    // previous year; 0 without the line (the net line, and the previous year,
    // tell the user).
    Moeda despesa(const QString& id) const;
    Moeda despesaAnterior(const QString& id) const;

    // The fiscal net debt of the debt file (line 00060) at the period's
    // bimester, and at the end of the previous exercise; 0 without the file or
    // the line. The period's tells the user of a missing file, both of a
    // damaged one.
    Moeda divida() const;
    Moeda dividaAnterior() const;

    QString arquivoRcl() const;
    QString arquivoRclAnterior() const;
    QString arquivoDp() const;
    QString arquivoDivida() const;

private:
    // Loads `arquivo` into `tabela`; the message for a damaged file, else empty.
    static QString carrega(ClientDataSet& tabela, const QString& arquivo, const QString& conselho);
    QString bimestreDaDivida() const;
    QString mensagemDaDivida() const;

    QString diretorio_;
    QString diretorioAnterior_;
    PeriodoDaGestao periodo_;
    QString exercicio_;
    QString anoDoPrograma_;
    QString erroDaDivida_; // why the debt file present could not be read
    mutable ClientDataSet rcl_{QStringLiteral("cdsRCL")};
    mutable ClientDataSet dp_{QStringLiteral("cdsDP")};
    mutable ClientDataSet divida_{QStringLiteral("cdsDP")};
};

// The figures typed for the report in its companion file: QUADn of the chosen
// quadrimester and ANTERIOR, by line ID. A bimester report has none (every
// typed figure is 0); a quadrimester report creates the file with its rows
// when it is missing.
class DigitadosDaGestao {
public:
    DigitadosDaGestao(const QString& diretorio, const PeriodoDaGestao& periodo);

    Moeda atual(const QString& id) const;
    Moeda anterior(const QString& id) const;

private:
    std::map<QString, std::pair<Moeda, Moeda>> valores_;
};

} // namespace nq
