#include "report/preview/saida.h"

#include "core/erro.h"
#include "report/devices/dispositivo.h"
#include "report/preview/dialogo_impressao.h"
#include "report/preview/dialogos.h"
#include "report/preview/impressao.h"
#include "report/preview/impressora.h"
#include "report/preview/preview.h"

#include <QPrinter>

namespace nq {

namespace {

bool naTela(const TppReport& relatorio) {
    return relatorio.DeviceType.compare(QLatin1String("Screen"), Qt::CaseInsensitive) == 0;
}

void avisaFechamento(TppReport& relatorio) {
    if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
}

void imprimeComDialogo(const TppReport& relatorio, const Documento& documento, QWidget* pai) {
    if (documento.paginas.empty())
        return;
    const TrabalhoDeImpressao& trabalho = documento.trabalho;
    ContextoDeImpressao contexto;
    contexto.impressora = trabalho.impressora;
    contexto.copias = trabalho.copias;
    contexto.agrupar = trabalho.agrupar;
    contexto.permiteArquivo = trabalho.permiteImprimirParaArquivo;
    contexto.permiteArquivoMorto = trabalho.permiteImprimirParaArquivoMorto;
    TppPrintDialog dialogo(contexto, pai);
    if (relatorio.ShowPrintDialog && dialogo.exec() != QDialog::Accepted)
        return;
    imprimePaginas(documento.paginas, trabalho, dialogo.opcoes(), dialogo.impressora(),
                   relatorio.ShowCancelDialog, pai);
}

} // namespace

void SaidaParaPreview::executa(TppReport& relatorio) {
    if (naTela(relatorio))
        mostraPreview(relatorio, pai_);
    else
        SaidaDeRelatorios::executa(relatorio);
}

void SaidaParaPreview::avisaSemDados(TppReport&) {
    TppNoDataDialog(pai_).exec();
}

void SaidaParaPreview::apresenta(TppReport& relatorio, const Documento& documento) {
    if (naTela(relatorio)) {
        mostraPreview(relatorio, documento, pai_);
        return;
    }
    imprimeComDialogo(relatorio, documento, pai_);
    avisaFechamento(relatorio);
}

void SaidaParaArquivo::apresenta(TppReport& relatorio, const Documento& documento) {
    auto dispositivo = criaDispositivoDeArquivo(dispositivo_, opcoes_);
    if (!dispositivo)
        throw Erro(QStringLiteral("O tipo de arquivo \"%1\" não existe.").arg(dispositivo_));
    dispositivo->defineArquivo(arquivo_);
    enviaDocumento(*dispositivo, documento);
    avisaFechamento(relatorio);
}

void SaidaParaImpressora::apresenta(TppReport& relatorio, const Documento& documento) {
    OpcoesDeImpressao opcoes;
    opcoes.impressora =
        nomeDaImpressora(impressora_.isEmpty() ? documento.trabalho.impressora : impressora_);
    opcoes.copias = documento.trabalho.copias;
    opcoes.agrupar = documento.trabalho.agrupar;
    QPrinter impressora(QPrinter::HighResolution);
    imprimePaginas(documento.paginas, documento.trabalho, opcoes, impressora, false);
    avisaFechamento(relatorio);
}

} // namespace nq
