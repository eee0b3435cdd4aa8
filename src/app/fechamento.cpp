#include "fechamento.h"

#include "annexes/common/estrada_anexo.h"
#include "annexes/common/justificativa.h"
#include "annexes/common/lancador.h"
#include "annexes/common/plano_figuras.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "execucao_do_lote.h"
#include "indice_do_fechamento.h"
#include "planilha_tce.h"
#include "saidas_do_lote.h"
#include "workbook/libreoffice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <set>

namespace nq {

namespace {

// Which annexes a close runs, for whom, and what each reads of the others.
struct RegraDoFechamento {
    QString anexo;
    bool pedeBimestre;
    bool daCamara;
    QStringList antes;
};

const std::vector<RegraDoFechamento>& regrasDoFechamento() {
    static const std::vector<RegraDoFechamento> regras = {
        {"1", true, false, {}}, {"1b", true, false, {}}, {"2", true, false, {}},
        {"3", true, true, {}},  {"4", true, false, {}},  {"5", true, false, {}},
        {"6", true, false, {}}, {"7", true, false, {}},  {"8", false, false, {}},
    };
    return regras;
}

QString tituloDoAnexo(const QString& anexo) {
    return QStringLiteral("Anexo ") + anexo.toUpper();
}

} // namespace

std::vector<RelatorioDoFechamento> relatoriosDoFechamento(int bimestre, bool camara) {
    std::vector<RelatorioDoFechamento> lista;
    for (const RegraDoFechamento& r : regrasDoFechamento()) {
        if (camara && !r.daCamara)
            continue;
        QStringList antes;
        for (const QString& a : r.antes)
            antes << QStringLiteral("anexo") + a;
        lista.push_back({QStringLiteral("anexo") + r.anexo, tituloDoAnexo(r.anexo), r.anexo,
                         r.pedeBimestre ? bimestre : 0, r.daCamara, antes});
    }
    // Annex 10 of the bimester's last month keeps the personnel file (DP) that the
    // fiscal-management report of the bimester, and of the quadrimester ending
    // with it, reads; a chamber's report needs neither the RCL nor the debt.
    const int mes = 2 * bimestre;
    const QString anexo10 = chaveDoAnexo10(mes);
    lista.push_back({anexo10,
                     QStringLiteral("Anexo 10 mês %1").arg(mes),
                     QStringLiteral("10"),
                     0,
                     true,
                     {},
                     PeriodoDaJanela{false, 0, mes}});
    const QStringList leituras =
        camara ? QStringList{anexo10}
               : QStringList{QStringLiteral("anexo3"), anexo10, QStringLiteral("anexo5")};
    const auto gestaoFiscal = [&](bool quadrimestral, int numero) {
        lista.push_back(
            {chaveDaGestaoFiscal(quadrimestral, numero),
             QStringLiteral("RGF %1º %2")
                 .arg(numero)
                 .arg(quadrimestral ? QStringLiteral("quadrimestre") : QStringLiteral("bimestre")),
             QStringLiteral("rgf"), 0, true, leituras, PeriodoDaJanela{quadrimestral, numero, 0}});
    };
    gestaoFiscal(false, bimestre);
    if (bimestre % 2 == 0)
        gestaoFiscal(true, bimestre / 2);
    return emOrdemDeDependencia(std::move(lista));
}

std::vector<RelatorioDoFechamento>
emOrdemDeDependencia(std::vector<RelatorioDoFechamento> relatorios) {
    std::set<QString> chaves;
    for (const RelatorioDoFechamento& r : relatorios)
        chaves.insert(r.chave);
    for (const RelatorioDoFechamento& r : relatorios)
        for (const QString& a : r.antes)
            if (!chaves.count(a))
                throw Erro(QStringLiteral("O relatório %1 precisa de %2, que não está no "
                                          "fechamento.")
                               .arg(r.chave, a));
    std::vector<RelatorioDoFechamento> ordem;
    std::set<QString> feitos;
    while (!relatorios.empty()) {
        const auto pronto = std::find_if(relatorios.begin(), relatorios.end(), [&](const auto& r) {
            return std::all_of(r.antes.begin(), r.antes.end(),
                               [&](const QString& a) { return feitos.count(a) > 0; });
        });
        if (pronto == relatorios.end())
            throw Erro(QStringLiteral("Os relatórios do fechamento dependem uns dos outros em "
                                      "círculo (%1).")
                           .arg(relatorios.front().chave));
        feitos.insert(pronto->chave);
        ordem.push_back(std::move(*pronto));
        relatorios.erase(pronto);
    }
    return ordem;
}

int statusDoFechamento(const ResumoDoFechamento& r) {
    if (!r.falhaDoFechamento.isEmpty() || r.cancelado)
        return 1;
    for (const ResultadoDoRelatorio& x : r.relatorios)
        if (x.situacao != SituacaoDoRelatorio::Gravado)
            return 1;
    for (const ResultadoDaConferencia& c : r.conferencias)
        if (c.situacao != SituacaoDaConferencia::Confere)
            return 3;
    return 0;
}

Fechamento::Fechamento(OpcoesDoFechamento opcoes, AnexosDisponiveis anexos)
    : opcoes_(std::move(opcoes)), anexos_(std::move(anexos)) {}

void Fechamento::verificaSaidas(const Tdm& dados) const {
    if (!QDir().mkpath(opcoes_.saida))
        throw Erro(QStringLiteral("Não foi possível criar a pasta %1.").arg(opcoes_.saida));
    std::vector<ArquivoDoLote> entradas = arquivosDoPrograma(&dados);
    entradas.push_back({QStringLiteral("a planilha"), opcoes_.planilha});
    std::vector<ArquivoDoLote> saidas = {
        {QStringLiteral("a cópia da planilha"), opcoes_.planilhaSaida}};
    // What a close may write there, for a chamber or not.
    const QDir dir(opcoes_.saida);
    for (const bool camara : {false, true})
        for (const RelatorioDoFechamento& r : relatoriosDoFechamento(opcoes_.bimestre, camara))
            for (const QString& tipo : {QStringLiteral(".pdf"), QStringLiteral(".csv")})
                saidas.push_back({r.titulo, dir.filePath(r.chave + tipo)});
    saidas.push_back({QStringLiteral("o índice"), dir.filePath(QStringLiteral("indice.html"))});
    std::sort(saidas.begin(), saidas.end(),
              [](const auto& a, const auto& b) { return a.caminho < b.caminho; });
    saidas.erase(std::unique(saidas.begin(), saidas.end(),
                             [](const auto& a, const auto& b) { return a.caminho == b.caminho; }),
                 saidas.end());
    nq::verificaSaidas(entradas, saidas, diretorioDados());
}

ResultadoDoRelatorio Fechamento::executaRelatorio(TFrmImprime& lancador,
                                                  const RelatorioDoFechamento& relatorio,
                                                  const QString& planilhaProvisoria) {
    ResultadoDoRelatorio r{relatorio, SituacaoDoRelatorio::Falhou, 0, {}};
    QElapsedTimer relogio;
    relogio.start();
    const QDir dir(opcoes_.saida);
    const QString pdf = dir.filePath(relatorio.chave + QStringLiteral(".pdf"));
    const QString csv = dir.filePath(relatorio.chave + QStringLiteral(".csv"));
    SaidasProvisorias provisorias;
    MensagensDoLote respostas(opcoes_.responde, !planilhaProvisoria.isEmpty(), provisorias);
    Mensagens* anteriores = instalaMensagens(&respostas);
    {
        const auto repoe = qScopeGuard([&] { instalaMensagens(anteriores); });
        SaidaDoLote saida(provisorias.reserva(pdf), provisorias.reserva(csv));
        SaidaInstalada instalada(saida);
        executaNoLancador(lancador, *anexoDoLote(relatorio.anexo), relatorio.bimestre,
                          relatorio.janela);
    }
    if (respostas.falhou())
        r.motivo = QStringLiteral("o anexo informou um erro");
    else if (!provisorias.escrita(pdf) || !provisorias.escrita(csv))
        r.motivo = QStringLiteral("o anexo terminou sem gravar o PDF e o CSV");
    else {
        try {
            provisorias.confirma();
            r.situacao = SituacaoDoRelatorio::Gravado;
        } catch (const Erro& e) {
            r.motivo = e.texto();
        }
    }
    if (r.situacao != SituacaoDoRelatorio::Gravado) {
        // The last error shown says what went wrong.
        for (auto m = respostas.registro().rbegin(); m != respostas.registro().rend(); ++m)
            if (m->icone == Icone::Erro ||
                m->texto.startsWith(QStringLiteral("O seguinte erro ocorreu!"))) {
                r.motivo += QStringLiteral(": ") + QString(m->texto).replace('\r', ' ');
                break;
            }
    }
    r.segundos = relogio.elapsed() / 1000.0;
    return r;
}

ResumoDoFechamento Fechamento::executa() {
    ResumoDoFechamento resumo;
    resumo.bimestre = opcoes_.bimestre;
    resumo.saida = opcoes_.saida;
    resumo.exercicio = anoExercicio();

    // The workbook: one copy, made before the first annex, that every annex opens and
    // saves in turn; the given workbook is only read.
    SaidasProvisorias finais;
    const QString planilhaProvisoria = finais.reserva(opcoes_.planilhaSaida);
    std::unique_ptr<LibreOffice> office;
    if (!planilhaProvisoria.isEmpty()) {
        QFile::remove(planilhaProvisoria);
        if (!QFile::copy(opcoes_.planilha, planilhaProvisoria)) {
            resumo.falhaDoFechamento =
                QStringLiteral("Não foi possível copiar a planilha %1.").arg(opcoes_.planilha);
            return resumo;
        }
        QFile::setPermissions(planilhaProvisoria,
                              QFile::permissions(planilhaProvisoria) | QFile::WriteOwner);
    }
    FabricaDePlanilha planilha = [&]() {
        if (!office) {
            OpcoesLibreOffice o;
            o.arquivoSaida = planilhaProvisoria;
            o.programa = leLibreOfficeCorfoco();
            o.gravaSobreOriginal = true;
            office = std::make_unique<LibreOffice>(o);
        }
        return office->novaPlanilha();
    };

    JustificativaDada semJustificativa(std::nullopt);
    RespostaDeJustificativa* outra = instalaRespostaDeJustificativa(&semJustificativa);
    const auto devolve = qScopeGuard([&] { instalaRespostaDeJustificativa(outra); });
    const SemJanelaDeDigitacao semDigitacao;
    // The reports read the same postings: each pass over them is made once for the close.
    PassagensDaExecucao passagens;
    const PassagensInstaladas instaladas(passagens);
    TFrmImprime lancador(anexos_, planilha);
    lancador.Edit1->setText(planilhaProvisoria);
    lancador.FormShow();
    resumo.entidade = leCadastroDoCliente().nome.trimmed();

    const std::vector<RelatorioDoFechamento> relatorios =
        relatoriosDoFechamento(opcoes_.bimestre, lancador.camaraLegislativa());
    std::set<QString> gravados;
    FigurasDoFechamento figuras;
    std::map<QString, QString> titulos;
    for (size_t i = 0; i < relatorios.size(); ++i) {
        const RelatorioDoFechamento& rel = relatorios[i];
        titulos[rel.chave] = rel.titulo;
        ResultadoDoRelatorio r{rel, SituacaoDoRelatorio::NaoRodou, 0, {}};
        if (!resumo.cancelado && aoComecar && !aoComecar(rel, int(i), int(relatorios.size())))
            resumo.cancelado = true;
        const auto falta = std::find_if(rel.antes.begin(), rel.antes.end(),
                                        [&](const QString& a) { return !gravados.count(a); });
        if (resumo.cancelado)
            r.motivo = QStringLiteral("fechamento cancelado");
        else if (falta != rel.antes.end())
            r.motivo = QStringLiteral("depende de %1, que não foi gravado").arg(*falta);
        else if (!anexos_.count(anexoDoLote(rel.anexo)->janela))
            r.motivo = QStringLiteral("não está disponível nesta versão do programa");
        else
            r = executaRelatorio(lancador, rel, planilhaProvisoria);
        if (r.situacao == SituacaoDoRelatorio::Gravado) {
            gravados.insert(rel.chave);
            try {
                figuras.le(rel.chave, QDir(opcoes_.saida).filePath(rel.chave + ".csv"));
            } catch (const Erro& e) {
                r.situacao = SituacaoDoRelatorio::Falhou;
                r.motivo = e.texto();
            }
        }
        if (aoTerminar)
            aoTerminar(r);
        resumo.relatorios.push_back(std::move(r));
    }

    for (const ConferenciaDoFechamento& c :
         conferenciasDoFechamento(opcoes_.bimestre, lancador.camaraLegislativa())) {
        if (!titulos.count(c.a.figura.relatorio) || !titulos.count(c.b.figura.relatorio))
            continue; // a report this entity does not run
        resumo.conferencias.push_back(
            confere(c, figuras, titulos, diretorioDados(), resumo.exercicio));
    }
    for (ValorChave v : valoresChaveDoFechamento(opcoes_.bimestre)) {
        v.valor = figuras.valor(v.figura);
        if (titulos.count(v.figura.relatorio))
            resumo.valoresChave.push_back(std::move(v));
    }
    office.reset(); // the workbook copy is complete once its office has ended
    resumo.planilha = opcoes_.planilhaSaida;
    try {
        gravaIndiceDoFechamento(QDir(opcoes_.saida).filePath(QStringLiteral("indice.html")),
                                resumo);
        finais.confirma();
    } catch (const Erro& e) {
        resumo.falhaDoFechamento = e.texto();
    }
    return resumo;
}

} // namespace nq
