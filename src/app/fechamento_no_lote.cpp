#include "fechamento.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/modulodados.h"
#include "execucao_do_lote.h"
#include "inicio.h"
#include "interrupcao_do_lote.h"
#include "lote.h"
#include "saidas_do_lote.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <cstdio>

namespace nq {

namespace {

void escreveLinha(const QString& texto) {
    std::fputs((texto + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// What the single-annex options mean nothing to a close.
void verificaOpcoes(const OpcoesDoLote& o) {
    if (!o.anexo.isEmpty() || !o.pdf.isEmpty() || !o.csv.isEmpty() || o.justificativa)
        throw Erro(QStringLiteral("O fechamento roda todos os relatórios e grava os arquivos em "
                                  "--saida: não use --anexo, --pdf, --csv nem --justificativa "
                                  "com --fechamento."));
    if (o.bimestre == 0)
        throw Erro(QStringLiteral("Indique o bimestre com --bimestre (de 1 a 6)."));
    if (o.saida.isEmpty())
        throw Erro(QStringLiteral("Indique a pasta do fechamento com --saida."));
    if (QFileInfo(o.saida).exists() && !QFileInfo(o.saida).isDir())
        throw Erro(QStringLiteral("--saida não é uma pasta: %1").arg(o.saida));
    if (!o.ini.isEmpty() && !QFileInfo(o.ini).isFile())
        throw Erro(QStringLiteral("O arquivo de configuração não existe: %1").arg(o.ini));
    if (o.planilha.isEmpty() != o.planilhaSaida.isEmpty())
        throw Erro(QStringLiteral("Use --planilha e --planilha-saida juntas."));
    if (!o.planilha.isEmpty() && !QFileInfo(o.planilha).isFile())
        throw Erro(QStringLiteral("A planilha não existe: %1").arg(o.planilha));
}

QString situacaoNoTerminal(const ResultadoDoRelatorio& r) {
    switch (r.situacao) {
    case SituacaoDoRelatorio::Gravado:
        return QStringLiteral("gravado");
    case SituacaoDoRelatorio::Falhou:
        return QStringLiteral("FALHOU (%1)").arg(r.motivo);
    case SituacaoDoRelatorio::NaoRodou:
        break;
    }
    return QStringLiteral("não executado (%1)").arg(r.motivo);
}

} // namespace

int executaFechamentoNoLote(const OpcoesDoLote& o, const AnexosDisponiveis& anexos) {
    InterrupcaoDoLote interrupcao;
    SaidasProvisorias nenhuma;
    MensagensDoLote respostas(false, false, nenhuma);
    Mensagens* anteriores = instalaMensagens(&respostas);
    const auto repoe = qScopeGuard([&] { instalaMensagens(anteriores); });
    try {
        verificaOpcoes(o);
    } catch (const Erro& e) {
        escreveErro(e.texto());
        return 2;
    }
    if (!o.ini.isEmpty())
        defineCaminhoVexoIni(QFileInfo(o.ini).absoluteFilePath());

    Tdm dados;
    const ResultadoInicio inicio = InicioNQ404(dados).executa();
    if (inicio.encerrar || inicio.ano.isEmpty()) {
        escreveErro(QStringLiteral("o programa não pôde iniciar."));
        return 1;
    }
    Fechamento fechamento({o.bimestre, o.saida, o.planilha, o.planilhaSaida, o.responde}, anexos);
    try {
        fechamento.verificaSaidas(dados);
    } catch (const Erro& e) {
        escreveErro(e.texto());
        return 2;
    }

    fechamento.aoTerminar = [](const ResultadoDoRelatorio& r) {
        escreveLinha(QStringLiteral("%1  %2 s  %3")
                         .arg(r.relatorio.titulo, -20)
                         .arg(r.segundos, 6, 'f', 1)
                         .arg(situacaoNoTerminal(r)));
    };
    const ResumoDoFechamento resumo = fechamento.executa();
    for (const ResultadoDaConferencia& c : resumo.conferencias)
        escreveLinha(c.mensagem);
    if (!resumo.falhaDoFechamento.isEmpty())
        escreveErro(resumo.falhaDoFechamento);
    else
        escreveLinha(QStringLiteral("Índice: %1")
                         .arg(QDir(o.saida).filePath(QStringLiteral("indice.html"))));
    return statusDoFechamento(resumo);
}

} // namespace nq
