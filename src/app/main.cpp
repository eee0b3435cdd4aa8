#include "anexos_do_programa.h"
#include "aplicacao.h"
#include "core/configuracao.h"
#include "db/modulodados.h"
#include "inicio.h"
#include "janelas.h"
#include "lote.h"
#include "mensagens_janela.h"
#include "pacotes.h"
#include "principal.h"
#include "report/preview/saida.h"
#include "workbook/libreoffice.h"

#include <QScreen>

int main(int argc, char** argv) {
    if (nq::pedeLote(argc, argv))
        return nq::principalDoLote(argc, argv, nq::anexosDoPrograma());
    nq::AplicacaoNQ404 app(argc, argv);
    nq::MensagensJanela caixas;
    nq::instalaMensagens(&caixas);

    const QStringList argumentos = app.arguments();
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        if (argumentos[i] == QStringLiteral("--ini") && i + 1 < argumentos.size())
            nq::defineCaminhoVexoIni(argumentos[i + 1]);
        else if (argumentos[i].startsWith(QStringLiteral("--ini=")))
            nq::defineCaminhoVexoIni(argumentos[i].mid(6));
    }

    nq::Tdm dm;
    // Ended before the application object: the hidden office of the checks quits,
    // a visible one showing the user's filled workbook is left running.
    nq::LibreOffice office(nq::opcoesLibreOfficeDoPrograma());
    nq::TFrmPrincipalNQ404 janela(nq::janelasDoPrograma(office));
    nq::SaidaParaPreview preview(&janela);
    const nq::SaidaInstalada saida(preview);
    const nq::ResultadoInicio inicio = nq::InicioNQ404(dm).executa();
    if (inicio.encerrar)
        return 1;
    janela.aplicaInicio(inicio);
    // Without a window manager the state alone changes nothing: take the screen too.
    janela.setGeometry(janela.screen()->availableGeometry());
    janela.showMaximized();

    if (argumentos.value(1) == QStringLiteral("design")) {
        nq::TForm1 pacotes(&janela);
        pacotes.exec();
    }
    return app.exec();
}
