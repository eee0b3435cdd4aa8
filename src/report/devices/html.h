#pragma once

#include "report/devices/dispositivo.h"

#include <QXmlStreamWriter>

namespace nq {

// "HTMLFile" and "XHTMLFile": every page a block of the paper's size, every text, line,
// shape and image placed absolutely in millimetres (images embedded). The XHTML variant is
// well-formed XML with the XHTML namespace; the HTML one is HTML5.
class DispositivoHtml : public DispositivoDeArquivo {
public:
    explicit DispositivoHtml(bool xhtml = false) : xhtml_(xhtml) {}

    QString nome() const override {
        return xhtml_ ? QStringLiteral("XHTMLFile") : QStringLiteral("HTMLFile");
    }
    QString extensao() const override { return QStringLiteral("HTM"); }
    QString filtro() const override {
        return xhtml_ ? QStringLiteral("XHTML files|*.HTM|All files|*.*")
                      : QStringLiteral("HTML files|*.HTM|All files|*.*");
    }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    void texto(const ComandoTexto& c, const Papel& papel);
    void linha(const ComandoLinha& c);
    void forma(const ComandoForma& c);
    void imagem(const ComandoImagem& c);
    void bloco(const QString& classe, const QString& estilo, const QString& conteudo = {});

    bool xhtml_;
    QByteArray dados_;
    std::unique_ptr<QXmlStreamWriter> xml_;
};

} // namespace nq
