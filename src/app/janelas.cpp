#include "janelas.h"

#include "anexos_do_programa.h"
#include "core/mensagens.h"
#include "entry/janela/digitacao.h"
#include "imprime.h"
#include "paramedu.h"
#include "planilha_tce.h"
#include "workbook/libreoffice.h"

namespace nq {

namespace {

// One office for the whole run: the workbooks filled for the user stay open in
// it. Where it cannot show windows, the filled workbook is saved beside the
// original instead, and the user is told where.
LibreOffice& libreOfficeDoPrograma() {
    static LibreOffice office([] {
        OpcoesLibreOffice opcoes;
        if (LibreOffice::podeMostrarJanelas())
            opcoes.modo = ModoPlanilha::Visivel;
        else
            opcoes.copiaAoLadoDaOrigem = true;
        return opcoes;
    }());
    return office;
}

} // namespace

JanelasDoPrincipal janelasDoPrograma() {
    JanelasDoPrincipal janelas;
    janelas.lancador = [] {
        auto* lancador = new TFrmImprime(anexosDoPrograma(),
                                         [] { return libreOfficeDoPrograma().novaPlanilha(); });
        lancador->planilhaDaVerificacao = planilhaNumOfficeProprio;
        return lancador;
    };
    janelas.digitacao = [](const QString& titulo) { return new TFrmDigitacao(titulo); };
    janelas.empenhosReserva = [](QWidget* dono) {
        Tfrmparamedu dialogo(dono);
        dialogo.exec();
    };
    return janelas;
}

void avisaIndisponivel() {
    mensagens().mostra(QStringLiteral("Esta opção ainda não está disponível nesta versão."),
                       QStringLiteral("Atenção"), Icone::Informacao);
}

} // namespace nq
