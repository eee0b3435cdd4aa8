#include "report/preview/impressao.h"

#include "core/erro.h"
#include "report/devices/dispositivo.h"
#include "report/preview/dialogos.h"
#include "report/preview/impressora.h"

#include <QPrinter>

namespace nq {

namespace {

struct Destino {
    std::unique_ptr<Dispositivo> dispositivo;
    QString nome; // printer or file, for the progress text
};

Destino destinoDas(const OpcoesDeImpressao& opcoes, QPrinter& impressora) {
    if (!opcoes.paraArquivo) {
        impressora.setPrinterName(opcoes.impressora);
        impressora.setCopyCount(1); // the copies go out as pages (see sequenciaDeImpressao)
        return {std::make_unique<TppPrinterDevice>(impressora), opcoes.impressora};
    }
    auto arquivo = criaDispositivoDeArquivo(opcoes.dispositivo);
    if (!arquivo)
        throw Erro(QStringLiteral("O tipo de arquivo \"%1\" não existe.").arg(opcoes.dispositivo));
    arquivo->defineArquivo(opcoes.arquivo);
    return {std::move(arquivo), opcoes.arquivo};
}

// The pages in the order they go out, copies included. The copies are made here, not left
// to the print system: a PDF queue, for one, takes the job's copy count and ignores it.
std::vector<int> sequenciaDeImpressao(const std::vector<int>& escolhidas, int copias,
                                      bool agrupar) {
    std::vector<int> sequencia;
    if (agrupar) {
        for (int c = 0; c < copias; ++c)
            sequencia.insert(sequencia.end(), escolhidas.begin(), escolhidas.end());
    } else {
        for (int p : escolhidas)
            sequencia.insert(sequencia.end(), static_cast<size_t>(copias), p);
    }
    return sequencia;
}

} // namespace

bool imprimePaginas(const std::vector<Pagina>& paginas, const TrabalhoDeImpressao& trabalho,
                    const OpcoesDeImpressao& opcoes, QPrinter& impressora, bool mostraCancelamento,
                    QWidget* pai) {
    const std::vector<int> escolhidas = paginasAImprimir(opcoes, static_cast<int>(paginas.size()));
    if (escolhidas.empty())
        throw Erro(QStringLiteral("Nenhuma das páginas escolhidas existe no relatório."));
    Destino destino = destinoDas(opcoes, impressora);
    TrabalhoDeImpressao job = trabalho;
    job.copias = opcoes.copias;
    job.agrupar = opcoes.agrupar;
    std::unique_ptr<TppCancelDialog> cancelamento;
    if (mostraCancelamento) {
        cancelamento = std::make_unique<TppCancelDialog>(pai);
        cancelamento->show();
    }
    const std::vector<int> sequencia =
        opcoes.paraArquivo
            ? escolhidas
            : sequenciaDeImpressao(escolhidas, std::max(opcoes.copias, 1), opcoes.agrupar);
    destino.dispositivo->iniciaTrabalho(job);
    for (int numero : sequencia) {
        const Pagina& pagina = paginas[static_cast<size_t>(numero - 1)];
        if (cancelamento) {
            cancelamento->mostraStatus(pagina.numero, static_cast<int>(paginas.size()),
                                       trabalho.nomeDocumento, destino.nome);
            if (cancelamento->cancelado())
                return false; // the device drops an unfinished job
        }
        destino.dispositivo->recebePagina(pagina);
    }
    destino.dispositivo->terminaTrabalho();
    return true;
}

} // namespace nq
