#pragma once

#include "report/devices/dispositivo.h"
#include "report/devices/grade.h"

namespace nq {

// A device that gathers the whole report into one grid of cells and writes it as a
// worksheet file when the job ends.
class DispositivoDePlanilha : public DispositivoDeArquivo {
public:
    explicit DispositivoDePlanilha(QLocale local) : local_(std::move(local)), grade_(local_) {}

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

protected:
    virtual QByteArray conteudo(const std::vector<Celula>& celulas) const = 0;

private:
    QLocale local_;
    GradeDePlanilha grade_;
};

// "ExcelFile": an Excel 97-2003 workbook.
class DispositivoExcel : public DispositivoDePlanilha {
public:
    explicit DispositivoExcel(QLocale local = QLocale())
        : DispositivoDePlanilha(std::move(local)) {}
    QString nome() const override { return QStringLiteral("ExcelFile"); }
    QString extensao() const override { return QStringLiteral("XLS"); }
    QString filtro() const override { return QStringLiteral("Excel files|*.XLS|All files|*.*"); }

protected:
    QByteArray conteudo(const std::vector<Celula>& celulas) const override;
};

// "LotusFile": a Lotus 1-2-3 worksheet.
class DispositivoLotus : public DispositivoDePlanilha {
public:
    explicit DispositivoLotus(QLocale local = QLocale())
        : DispositivoDePlanilha(std::move(local)) {}
    QString nome() const override { return QStringLiteral("LotusFile"); }
    QString extensao() const override { return QStringLiteral("WK1"); }
    QString filtro() const override { return QStringLiteral("123 files|*.WK1|All files|*.*"); }

protected:
    QByteArray conteudo(const std::vector<Celula>& celulas) const override;
};

// "QuattroFile": a Quattro worksheet.
class DispositivoQuattro : public DispositivoDePlanilha {
public:
    explicit DispositivoQuattro(QLocale local = QLocale())
        : DispositivoDePlanilha(std::move(local)) {}
    QString nome() const override { return QStringLiteral("QuattroFile"); }
    QString extensao() const override { return QStringLiteral("WQ1"); }
    QString filtro() const override { return QStringLiteral("Quattro files|*.WQ1|All files|*.*"); }

protected:
    QByteArray conteudo(const std::vector<Celula>& celulas) const override;
};

} // namespace nq
