#include "lote.h"

#include "annexes/common/justificativa.h"
#include "aplicacao.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "execucao_do_lote.h"
#include "fechamento.h"
#include "inicio.h"
#include "interrupcao_do_lote.h"
#include "planilha_tce.h"
#include "report/preview/saida.h"
#include "saidas_do_lote.h"
#include "workbook/libreoffice.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTreeWidget>
#include <cstdio>
#include <optional>

namespace nq {

namespace {

// Annex 10 reads its reference month from a list of its own.
bool pedeMes(const AnexoDoLote& a) {
    return a.janela == QLatin1String("ImpAnexo10");
}

// The files the options name: what the run reads, what it writes.
std::vector<ArquivoDoLote> entradasDasOpcoes(const OpcoesDoLote& o) {
    return {{QStringLiteral("--ini"), o.ini}, {QStringLiteral("--planilha"), o.planilha}};
}

std::vector<ArquivoDoLote> saidasDasOpcoes(const OpcoesDoLote& o) {
    return {{QStringLiteral("--pdf"), o.pdf},
            {QStringLiteral("--csv"), o.csv},
            {QStringLiteral("--planilha-saida"), o.planilhaSaida}};
}

// The fiscal-management report's period: bimesters or quadrimesters, and the
// number of one; no other annex takes them.
void verificaPeriodo(const OpcoesDoLote& o) {
    const bool rgf = o.anexo == QStringLiteral("rgf");
    if (!rgf) {
        if (!o.periodo.isEmpty() || o.quadrimestre)
            throw Erro(QStringLiteral("--periodo e --quadrimestre valem só para --anexo rgf."));
        return;
    }
    if (o.periodo.isEmpty())
        throw Erro(QStringLiteral("Indique o período com --periodo bim ou --periodo quad."));
    if (o.periodo == QStringLiteral("bim") && (o.bimestre == 0 || o.quadrimestre))
        throw Erro(QStringLiteral("Com --periodo bim, indique o bimestre com --bimestre (de 1 a "
                                  "6), sem --quadrimestre."));
    if (o.periodo == QStringLiteral("quad") && (o.quadrimestre == 0 || o.bimestre))
        throw Erro(QStringLiteral("Com --periodo quad, indique o quadrimestre com --quadrimestre "
                                  "(de 1 a 3), sem --bimestre."));
}

// The window of annex 10 or of the fiscal-management report, for the options' period.
PeriodoDaJanela periodoDaJanela(const OpcoesDoLote& o) {
    const bool quad = o.periodo == QStringLiteral("quad");
    return {quad, quad ? o.quadrimestre : o.bimestre, o.mes};
}

} // namespace

bool pedeLote(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QStringLiteral("--")) && a != QStringLiteral("--ini") &&
            !a.startsWith(QStringLiteral("--ini=")))
            return true;
    }
    return false;
}

OpcoesDoLote leOpcoesDoLote(const QStringList& argumentos) {
    OpcoesDoLote o;
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        QString nome = argumentos[i];
        std::optional<QString> valor;
        if (const qsizetype igual = nome.indexOf(QLatin1Char('=')); igual > 0) {
            valor = nome.mid(igual + 1);
            nome = nome.left(igual);
        }
        if (nome == QStringLiteral("--help") || nome == QStringLiteral("--ajuda")) {
            o.ajuda = true;
            continue;
        }
        if (nome == QStringLiteral("--lista-anexos")) {
            o.listaAnexos = true;
            continue;
        }
        if (nome == QStringLiteral("--fechamento")) {
            o.fechamento = true;
            continue;
        }
        if (!nome.startsWith(QStringLiteral("--")))
            throw Erro(QStringLiteral("Argumento inesperado: \"%1\".").arg(nome));
        if (!valor) {
            if (i + 1 >= argumentos.size())
                throw Erro(QStringLiteral("Falta o valor da opção %1.").arg(nome));
            valor = argumentos[++i];
        }
        if (nome == QStringLiteral("--anexo")) {
            if (!anexoDoLote(*valor))
                throw Erro(QStringLiteral("Anexo desconhecido: \"%1\". Use 1, 1b, 2, 3, 4, 5, 6, "
                                          "7, 8, 10 ou rgf.")
                               .arg(*valor));
            o.anexo = valor->toLower();
        } else if (nome == QStringLiteral("--bimestre")) {
            bool ok = false;
            o.bimestre = valor->toInt(&ok);
            if (!ok || o.bimestre < 1 || o.bimestre > 6)
                throw Erro(QStringLiteral("Bimestre inválido: \"%1\" (de 1 a 6).").arg(*valor));
        } else if (nome == QStringLiteral("--periodo")) {
            if (*valor != QStringLiteral("bim") && *valor != QStringLiteral("quad"))
                throw Erro(QStringLiteral("Período inválido: \"%1\" (bim ou quad).").arg(*valor));
            o.periodo = *valor;
        } else if (nome == QStringLiteral("--quadrimestre")) {
            bool ok = false;
            o.quadrimestre = valor->toInt(&ok);
            if (!ok || o.quadrimestre < 1 || o.quadrimestre > 3)
                throw Erro(QStringLiteral("Quadrimestre inválido: \"%1\" (de 1 a 3).").arg(*valor));
        } else if (nome == QStringLiteral("--mes")) {
            bool ok = false;
            o.mes = valor->toInt(&ok);
            if (!ok || o.mes < 1 || o.mes > 12)
                throw Erro(QStringLiteral("Mês inválido: \"%1\" (de 1 a 12).").arg(*valor));
        } else if (nome == QStringLiteral("--responder")) {
            if (*valor != QStringLiteral("sim") && *valor != QStringLiteral("nao") &&
                *valor != QStringLiteral("não"))
                throw Erro(QStringLiteral("Resposta inválida: \"%1\" (sim ou nao).").arg(*valor));
            o.responde = *valor == QStringLiteral("sim");
        } else if (nome == QStringLiteral("--saida")) {
            o.saida = *valor;
        } else if (nome == QStringLiteral("--pdf")) {
            o.pdf = *valor;
        } else if (nome == QStringLiteral("--csv")) {
            o.csv = *valor;
        } else if (nome == QStringLiteral("--ini")) {
            o.ini = *valor;
        } else if (nome == QStringLiteral("--planilha")) {
            o.planilha = *valor;
        } else if (nome == QStringLiteral("--planilha-saida")) {
            o.planilhaSaida = *valor;
        } else if (nome == QStringLiteral("--justificativa")) {
            // Typing stops at the dialog's limit; a longer text would be cut unseen.
            if (valor->size() > TFormJustific::LimiteTexto)
                throw Erro(QStringLiteral("A justificativa tem %1 caracteres; o máximo é %2.")
                               .arg(valor->size())
                               .arg(TFormJustific::LimiteTexto));
            o.justificativa = *valor;
        } else {
            throw Erro(QStringLiteral("Opção desconhecida: %1.").arg(nome));
        }
    }
    return o;
}

QString ajudaDoLote() {
    return QStringLiteral(
        "Uso: nq404 --anexo N [opções]\n"
        "Calcula um anexo sem janelas e grava o relatório e os seus valores.\n"
        "\n"
        "  --anexo N             o anexo: 1, 1b, 2, 3, 4, 5, 6, 7, 8, 10 ou rgf\n"
        "  --bimestre B          o bimestre de referência, de 1 a 6\n"
        "  --periodo bim|quad    rgf: por bimestre (com --bimestre) ou por quadrimestre\n"
        "  --quadrimestre Q      rgf: o quadrimestre de referência, de 1 a 3\n"
        "  --mes M               o mês de referência do anexo 10, de 1 a 12\n"
        "  --pdf ARQUIVO         grava o relatório em PDF\n"
        "  --csv ARQUIVO         grava os valores impressos em CSV (UTF-8, separado por \";\":\n"
        "                        quadro;id;descricao;coluna;valor)\n"
        "  --responder sim|nao   a resposta às perguntas, exceto a da planilha (padrão: nao)\n"
        "  --ini ARQUIVO         lê esta configuração em vez do Vexo.ini ao lado do programa\n"
        "  --planilha ARQUIVO    a planilha do Tribunal de Contas a preencher (não é alterada)\n"
        "  --planilha-saida ARQ  onde gravar a cópia preenchida da planilha\n"
        "  --justificativa TEXTO o texto digitado e confirmado quando o anexo pede uma\n"
        "                        justificativa (até 700 caracteres); sem ela, a janela\n"
        "                        fecha sem gravar e a execução continua\n"
        "  --lista-anexos        lista os anexos disponíveis nesta versão, um por linha\n"
        "  --fechamento          o fechamento do bimestre: todos os relatórios, as\n"
        "                        conferências entre eles e o índice (veja abaixo)\n"
        "  --saida DIR           a pasta do fechamento\n"
        "  --help                mostra esta ajuda\n"
        "\n"
        "A pergunta de exportação para a planilha é respondida \"sim\" exatamente quando\n"
        "--planilha-saida é dada; --responder responde as outras.\n"
        "\n"
        "As mensagens vão para a saída de erros. Os arquivos de saída só aparecem quando\n"
        "a execução inteira deu certo. Termina com 0 quando tudo foi gravado, 1 quando a\n"
        "execução falhou (nenhum arquivo de saída é gravado), 2 quando as opções estão\n"
        "erradas e 130 ou 143 quando interrompida (Ctrl-C ou SIGTERM).\n"
        "\n"
        "Uso: nq404 --fechamento --bimestre B --saida DIR [--planilha ARQ --planilha-saida ARQ]\n"
        "Roda todos os relatórios do bimestre em DIR (PDF e CSV de cada um), confere os\n"
        "valores que dois relatórios imprimem para a mesma grandeza e grava DIR/indice.html.\n"
        "Termina com 0 quando tudo foi gravado e todas as conferências conferem, 1 quando\n"
        "algum relatório falhou, 2 quando as opções estão erradas e 3 quando os relatórios\n"
        "foram gravados mas alguma conferência não confere.\n");
}

QStringList listaDeAnexos(const AnexosDisponiveis& anexos) {
    QStringList lista;
    for (const AnexoDoLote& a : anexosDoLote())
        if (anexos.count(a.janela))
            lista << a.opcao;
    return lista;
}

void verificaLote(const OpcoesDoLote& o, const AnexosDisponiveis& anexos) {
    if (!o.saida.isEmpty())
        throw Erro(QStringLiteral("A opção --saida é só do fechamento (--fechamento)."));
    if (o.anexo.isEmpty())
        throw Erro(QStringLiteral("Indique o anexo com --anexo."));
    const AnexoDoLote& anexo = *anexoDoLote(o.anexo);
    if (!anexos.count(anexo.janela))
        throw Erro(QStringLiteral("O anexo %1 ainda não está disponível nesta versão do programa.")
                       .arg(o.anexo));
    if (anexo.pedeBimestre && o.bimestre == 0)
        throw Erro(QStringLiteral("Indique o bimestre com --bimestre (de 1 a 6)."));
    verificaPeriodo(o);
    if (pedeMes(anexo) != (o.mes != 0))
        throw Erro(pedeMes(anexo) ? QStringLiteral("Indique o mês com --mes (de 1 a 12).")
                                  : QStringLiteral("A opção --mes é só do anexo 10."));
    if (!o.ini.isEmpty() && !QFileInfo(o.ini).isFile())
        throw Erro(QStringLiteral("O arquivo de configuração não existe: %1").arg(o.ini));
    if (o.planilha.isEmpty() != o.planilhaSaida.isEmpty())
        throw Erro(QStringLiteral("Use --planilha e --planilha-saida juntas."));
    if (!o.planilha.isEmpty() && !QFileInfo(o.planilha).isFile())
        throw Erro(QStringLiteral("A planilha não existe: %1").arg(o.planilha));
    std::vector<ArquivoDoLote> entradas = arquivosDoPrograma();
    for (ArquivoDoLote& e : entradasDasOpcoes(o))
        entradas.push_back(std::move(e));
    verificaSaidas(entradas, saidasDasOpcoes(o));
}

int executaLote(const OpcoesDoLote& o, const AnexosDisponiveis& anexos) {
    InterrupcaoDoLote interrupcao;
    SaidasProvisorias provisorias;
    MensagensDoLote respostas(o.responde, !o.planilhaSaida.isEmpty(), provisorias);
    Mensagens* anteriores = instalaMensagens(&respostas);
    const auto repoe = qScopeGuard([&] { instalaMensagens(anteriores); });
    try {
        verificaLote(o, anexos);
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
    try {
        // Now that the databases and the data directory are known.
        std::vector<ArquivoDoLote> entradas = arquivosDoPrograma(&dados);
        for (ArquivoDoLote& e : entradasDasOpcoes(o))
            entradas.push_back(std::move(e));
        verificaSaidas(entradas, saidasDasOpcoes(o), diretorioDados());
    } catch (const Erro& e) {
        escreveErro(e.texto());
        return 2;
    }

    std::unique_ptr<LibreOffice> office;
    const QString planilhaProvisoria = provisorias.reserva(o.planilhaSaida);
    FabricaDePlanilha planilha = [&]() {
        if (!office) {
            OpcoesLibreOffice opcoes;
            opcoes.arquivoSaida = planilhaProvisoria;
            opcoes.programa = leLibreOfficeCorfoco();
            office = std::make_unique<LibreOffice>(opcoes);
        }
        return office->novaPlanilha();
    };

    SaidaDoLote saida(provisorias.reserva(o.pdf), provisorias.reserva(o.csv));
    JustificativaDada justificativa(o.justificativa);
    {
        SaidaInstalada instalada(saida);
        RespostaDeJustificativa* outra = instalaRespostaDeJustificativa(&justificativa);
        const auto devolve = qScopeGuard([&] { instalaRespostaDeJustificativa(outra); });
        TFrmImprime lancador(anexos, planilha);
        const SemJanelaDeDigitacao semDigitacao;
        lancador.Edit1->setText(o.planilha);
        executaNoLancador(lancador, *anexoDoLote(o.anexo), o.bimestre, periodoDaJanela(o));
    }

    if (o.justificativa && justificativa.respondidas() == 0)
        escreveErro(QStringLiteral("nenhuma justificativa foi pedida; o texto de "
                                   "--justificativa não foi gravado."));

    bool falhou = respostas.falhou();
    if (!falhou && !o.planilhaSaida.isEmpty() && !respostas.perguntouPlanilha()) {
        escreveErro(pareceCamara(inicio.municipio)
                        ? QStringLiteral("a planilha do TCE não é preenchida para uma Câmara "
                                         "(\"%1\"): rode sem --planilha e --planilha-saida.")
                              .arg(inicio.municipio)
                        : QStringLiteral("o anexo %1 não pergunta se deve exportar para a "
                                         "planilha do TCE: rode sem --planilha e "
                                         "--planilha-saida.")
                              .arg(o.anexo));
        falhou = true;
    }
    for (const ArquivoDoLote& s : saidasDasOpcoes(o)) {
        if (!falhou && !s.caminho.isEmpty() && !provisorias.escrita(s.caminho)) {
            escreveErro(QStringLiteral("o anexo terminou sem produzir o arquivo de %1 (%2).")
                            .arg(s.papel, s.caminho));
            falhou = true;
        }
    }
    if (falhou) {
        escreveErro(QStringLiteral("a execução falhou: nenhum arquivo de saída foi gravado (os "
                                   "que já existiam com esses nomes ficaram como estavam)."));
        return 1;
    }
    try {
        interrupcao.adiaDurante([&] { provisorias.confirma(); });
    } catch (const Erro& e) {
        escreveErro(e.texto());
        return 1;
    }
    return 0;
}

int principalDoLote(int argc, char** argv, const AnexosDisponiveis& anexos) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AplicacaoNQ404 app(argc, argv);
    OpcoesDoLote opcoes;
    try {
        opcoes = leOpcoesDoLote(app.arguments());
    } catch (const Erro& e) {
        escreveErro(e.texto() + QStringLiteral(" Use --help para ver as opções."));
        return 2;
    }
    if (opcoes.ajuda) {
        std::fputs(ajudaDoLote().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (opcoes.listaAnexos) {
        for (const QString& a : listaDeAnexos(anexos))
            std::puts(a.toLocal8Bit().constData());
        return 0;
    }
    if (opcoes.fechamento)
        return executaFechamentoNoLote(opcoes, anexos);
    return executaLote(opcoes, anexos);
}

} // namespace nq
