#pragma once

#include "report/devices/dispositivo.h"

#include <QDataStream>

namespace nq {

// "ArchiveFile": stores the generated pages exactly as they came, so that an archived
// report can be previewed and printed again (`leArquivoMorto`).
class DispositivoArquivoMorto : public DispositivoDeArquivo {
public:
    QString nome() const override { return QStringLiteral("ArchiveFile"); }
    QString extensao() const override { return QStringLiteral("raf"); }
    QString filtro() const override { return QStringLiteral("Archive files|*.RAF|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    QByteArray dados_;
    std::unique_ptr<QDataStream> fluxo_;
};

// Reads an archived report back; the document takes the archived job's name. Throws Erro
// when the file is missing, of another kind, or cut short.
Documento leArquivoMorto(const QString& arquivo);

} // namespace nq
