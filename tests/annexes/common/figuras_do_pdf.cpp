#include "figuras_do_pdf.h"

#include "annexes/common/figuras_csv.h"
#include "report/devices/dispositivo.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace nq::teste {

void gravaPdf(const Documento& documento, const QString& pdf) {
    auto dispositivo = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    ASSERT_TRUE(dispositivo);
    dispositivo->defineArquivo(pdf);
    enviaDocumento(*dispositivo, documento);
}

QStringList figurasDoPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("<pdftotext falhou>")};
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression numero(QStringLiteral("-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}"));
    QStringList figuras;
    for (const auto& m : numero.globalMatch(texto))
        figuras << numeroSimples(m.captured());
    return figuras;
}

QStringList valoresDoCsv(const std::vector<Figura>& figuras) {
    QStringList r;
    for (const Figura& f : figuras)
        r << f.valor;
    return r;
}

QStringList figurasImpressas(const Documento& documento, const QString& pdf) {
    gravaPdf(documento, pdf);
    return figurasDoPdf(pdf);
}

} // namespace nq::teste
