#include "inicio.h"

#include "ajuda.h"
#include "aplicacao.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"

namespace nq {

ResultadoInicio InicioNQ404::executa() {
    ResultadoInicio r;
    try {
        passos(r);
    } catch (const Erro& e) {
        mostraErro(e.texto());
    } catch (const std::exception& e) {
        mostraErro(QString::fromLocal8Bit(e.what()));
    }
    return r;
}

void InicioNQ404::passos(ResultadoInicio& r) {
    defineDiretorioDados(CaminhoDiretorio(QStringLiteral("D")));

    r.arquivoAjuda = arquivoAjuda();
    if (r.arquivoAjuda.isEmpty())
        mensagens().mostra(textoAjudaAusenteNoInicio(), QStringLiteral("Atenção"));

    const QString ano = leVexoIni(QStringLiteral("Ano"));
    if (anoVexoIni() < 2003) {
        mensagens().mostra(QStringLiteral("Para Exercícios anteriores a 2003, este módulo deve "
                                          "ser executado na versão 7.0 do VEXO."),
                           QStringLiteral("Atenção"), Icone::Exclamacao);
        r.encerrar = true;
        return;
    }
    // The first line as the family has always shown it; the cause below it.
    QString causa;
    if (!TestaConexao(QStringLiteral("VEXO%1.FDB").arg(ano), QStringLiteral("D"), &causa)) {
        mensagens().mostra(QStringLiteral("Base de Dados do sistema não encontrada !!! O Sistema "
                                          "será finalizado.\n\n") +
                               causa,
                           QStringLiteral("Erro na Base de Dados"), Icone::Erro);
        r.encerrar = true;
        return;
    }

    dm_.Conexao.Open();
    r.ano = ano;
    dm_.qrCliente.open();
    r.municipio = dm_.qrCliente.fieldByName(QStringLiteral("clnt1")).asString();
    dm_.qrCliente.close();
    defineAnoExercicio(ano);
}

} // namespace nq
