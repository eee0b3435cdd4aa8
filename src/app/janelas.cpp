#include "janelas.h"

#include "anexos_do_programa.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "entry/janela/digitacao.h"
#include "imprime.h"
#include "paramedu.h"
#include "planilha_tce.h"
#include "workbook/libreoffice.h"

namespace nq {

OpcoesLibreOffice opcoesLibreOfficeDoPrograma() {
    OpcoesLibreOffice opcoes;
    try {
        opcoes.programa = leLibreOfficeCorfoco();
    } catch (const Erro&) {
        // An unreadable corfoco.ini is reported where the workbook path is read.
    }
    if (LibreOffice::podeMostrarJanelas(opcoes.programa))
        opcoes.modo = ModoPlanilha::Visivel;
    else
        opcoes.copiaAoLadoDaOrigem = true;
    return opcoes;
}

JanelasDoPrincipal janelasDoPrograma(LibreOffice& office) {
    JanelasDoPrincipal janelas;
    janelas.lancador = [&office] {
        auto* lancador =
            new TFrmImprime(anexosDoPrograma(), [&office] { return office.novaPlanilha(); });
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
