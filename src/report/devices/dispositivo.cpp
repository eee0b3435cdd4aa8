#include "report/devices/dispositivo.h"

#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "report/devices/arquivo_de_impressora.h"
#include "report/devices/arquivo_morto.h"
#include "report/devices/grafico.h"
#include "report/devices/html.h"
#include "report/devices/pdf.h"
#include "report/devices/planilhas.h"
#include "report/devices/relatorio_texto.h"
#include "report/devices/rtf.h"
#include "report/devices/texto.h"

#include <functional>

namespace nq {

namespace {

using Fabrica = std::function<std::unique_ptr<DispositivoDeArquivo>(const OpcoesDeArquivo&)>;

const std::vector<std::pair<QString, Fabrica>>& fabricas() {
    static const std::vector<std::pair<QString, Fabrica>> lista = {
        {QStringLiteral("TextFile"),
         [](const OpcoesDeArquivo& o) {
             return std::make_unique<DispositivoArquivoTexto>(tipoArquivoTexto(o.tipoArquivoTexto));
         }},
        {QStringLiteral("ReportTextFile"),
         [](const OpcoesDeArquivo& o) {
             return std::make_unique<DispositivoTextoDeRelatorio>(o.caracteresPorPolegada,
                                                                  o.linhasPorPolegada);
         }},
        {QStringLiteral("ArchiveFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoArquivoMorto>(); }},
        {QStringLiteral("PDFFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoPdf>(); }},
        {QStringLiteral("RTFFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoRtf>(); }},
        {QStringLiteral("ExcelFile"),
         [](const OpcoesDeArquivo& o) { return std::make_unique<DispositivoExcel>(o.local); }},
        {QStringLiteral("HTMLFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoHtml>(false); }},
        {QStringLiteral("XHTMLFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoHtml>(true); }},
        {QStringLiteral("LotusFile"),
         [](const OpcoesDeArquivo& o) { return std::make_unique<DispositivoLotus>(o.local); }},
        {QStringLiteral("QuattroFile"),
         [](const OpcoesDeArquivo& o) { return std::make_unique<DispositivoQuattro>(o.local); }},
        {QStringLiteral("GraphicFile"),
         [](const OpcoesDeArquivo& o) {
             return std::make_unique<DispositivoGrafico>(o.pontosPorPolegadaDaImagem);
         }},
        {QStringLiteral("PrinterFile"),
         [](const OpcoesDeArquivo&) { return std::make_unique<DispositivoArquivoDeImpressora>(); }},
    };
    return lista;
}

} // namespace

void enviaDocumento(Dispositivo& dispositivo, const Documento& documento) {
    dispositivo.iniciaTrabalho(documento.trabalho);
    for (const Pagina& p : documento.paginas)
        dispositivo.recebePagina(p);
    dispositivo.terminaTrabalho();
}

QStringList nomesDosDispositivosDeArquivo() {
    QStringList nomes;
    for (const auto& [nome, fabrica] : fabricas())
        nomes << nome;
    return nomes;
}

std::unique_ptr<DispositivoDeArquivo> criaDispositivoDeArquivo(const QString& nome,
                                                               const OpcoesDeArquivo& opcoes) {
    for (const auto& [n, fabrica] : fabricas())
        if (n == nome)
            return fabrica(opcoes);
    return nullptr;
}

void gravaArquivo(const QString& arquivo, const QByteArray& dados) {
    gravaArquivoAtomico(arquivo, dados);
}

} // namespace nq
