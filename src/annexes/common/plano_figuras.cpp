#include "annexes/common/plano_figuras.h"

#include "annexes/common/plano_interno.h"
#include "annexes/common/plano_resolucao.h"
#include "core/erro.h"
#include "db/consultas.h"

namespace nq {

namespace {

bool literaisPeloAmbiente() {
    return qEnvironmentVariable("NQ404_FIGURAS")
               .compare(QStringLiteral("literal"), Qt::CaseInsensitive) == 0;
}

bool& literais() {
    static bool valor = literaisPeloAmbiente();
    return valor;
}

PassagensDaExecucao*& instaladas() {
    static PassagensDaExecucao* p = nullptr;
    return p;
}

// Every field that makes two statements one shape; the text is left out.
QString chaveDaForma(const FormaDaSoma& f) {
    const QChar s(0x1f);
    QString k = f.soma + s + f.origem + s + f.fixa + s + f.data;
    if (f.etapas) {
        const Lancamentos& l = f.etapas->lancamentos;
        k += s + l.tabela + s + l.chave + s + l.data + s + l.somas.join(s) + s + l.fixa + s +
             f.etapas->itens + s + f.etapas->chaveDoItem + s + f.etapas->fixaDosItens;
    }
    return k;
}

} // namespace

namespace lancamentos {

Lancamentos receitas() {
    return {QStringLiteral("RECEIT"),
            QStringLiteral("FICHA"),
            QStringLiteral("DTLAN"),
            {QStringLiteral("VAREC")},
            {}};
}

Lancamentos alteracoesDaPrevisao(QChar sinal) {
    return {QStringLiteral("RECALP"),
            QStringLiteral("FICHA"),
            QStringLiteral("DTLAN"),
            {QStringLiteral("VALOR")},
            QStringLiteral("VALOR") + sinal + QLatin1Char('0')};
}

Lancamentos alteracoesDaDotacao() {
    return {QStringLiteral("DESALD"),
            QStringLiteral("FICHA"),
            QStringLiteral("DTLAN"),
            {QStringLiteral("VALOR")},
            {}};
}

Lancamentos liquidacoes() {
    return {QStringLiteral("VIEWLIQ"),
            QStringLiteral("PKEMP"),
            QStringLiteral("DATAE"),
            {QStringLiteral("VADEM")},
            {}};
}

Lancamentos pagamentos() {
    return {QStringLiteral("VIEWVAPAG"),
            QStringLiteral("FICHA"),
            QStringLiteral("DTPAG"),
            {QStringLiteral("VAPAG")},
            {}};
}

Lancamentos movimentosDeCaixa() {
    return {QStringLiteral("ORDCAI"),
            QStringLiteral("CONTA"),
            QStringLiteral("DTLAN"),
            {QStringLiteral("CREDI-DEBIT")},
            {}};
}

Lancamentos dosItens(const QString& data, const QStringList& somas) {
    return {{}, {}, data, somas, {}};
}

} // namespace lancamentos

void defineFigurasLiterais(bool l) {
    literais() = l;
}

bool figurasLiterais() {
    return literais();
}

PassagensDaExecucao::PassagensDaExecucao() : guarda_(std::make_unique<Guarda>()) {}
PassagensDaExecucao::~PassagensDaExecucao() = default;

PassagensInstaladas::PassagensInstaladas(PassagensDaExecucao& passagens) : anterior_(instaladas()) {
    instaladas() = &passagens;
}

PassagensInstaladas::~PassagensInstaladas() {
    instaladas() = anterior_;
}

PassagensDaExecucao* passagensInstaladas() {
    return instaladas();
}

PlanoDeFiguras::PlanoDeFiguras(TCRSQLConnection& conexao)
    : conexao_(conexao), passagensProprias_(std::make_unique<PassagensDaExecucao>()) {}

PlanoDeFiguras::~PlanoDeFiguras() = default;

PlanoDeFiguras::Figura PlanoDeFiguras::pede(const FormaDaSoma& forma, const QString& w,
                                            Meses meses) {
    const QString condicao = w.trimmed();
    QString texto = forma.texto(condicao, meses);
    if (const auto i = porTexto_.constFind(texto); i != porTexto_.cend())
        return *i;
    const QString chave = chaveDaForma(forma);
    auto f = formas_.value(chave);
    if (!f) {
        auto nova = std::make_shared<Forma>();
        nova->chave = chave;
        nova->dados = forma;
        nova->termos = termosDaSoma(forma.soma);
        const QString meses =
            forma.texto(QStringLiteral("1=1"), {plano::SentinelaDe, plano::SentinelaAte});
        nova->escreveDe = meses.contains(QString::number(plano::SentinelaDe));
        nova->escreveAte = meses.contains(QString::number(plano::SentinelaAte));
        nova->reserva = plano::achaReserva(forma.fixa);
        if (forma.etapas)
            nova->reservaDosItens = plano::achaReserva(forma.etapas->fixaDosItens);
        f = nova;
        formas_.insert(chave, f);
    }
    const auto figura = static_cast<Figura>(pedidos_.size());
    porTexto_.insert(texto, figura);
    pedidos_.push_back({f, forma.texto, condicao, meses, std::move(texto), false, Moeda()});
    return figura;
}

void PlanoDeFiguras::resolve() {
    std::vector<int> pendentes;
    for (int i = 0; i < static_cast<int>(pedidos_.size()); ++i)
        if (!pedidos_[static_cast<size_t>(i)].resolvido)
            pendentes.push_back(i);
    if (pendentes.empty())
        return;
    if (figurasLiterais()) {
        resolveLiterais(pendentes);
        return;
    }
    PassagensDaExecucao* compartilhadas = passagensInstaladas();
    plano::Leitura leitura(conexao_, compartilhadas ? *compartilhadas : *passagensProprias_);
    plano::Resolucao resolucao(pedidos_, leitura, conexao_);
    const auto conta = [&] {
        comandos_ += leitura.comandos() + resolucao.comandos();
        linhas_ += leitura.linhas() + resolucao.linhas();
        literais_ += resolucao.literais();
        preparados_ += leitura.preparados();
    };
    try {
        resolucao.resolve(pendentes);
    } catch (...) {
        conta();
        throw;
    }
    conta();
}

// One literal statement per figure, as the annexes ran them before the plan.
void PlanoDeFiguras::resolveLiterais(const std::vector<int>& pendentes) {
    for (int i : pendentes) {
        Pedido& p = pedidos_[static_cast<size_t>(i)];
        ++comandos_;
        ++linhas_;
        ++literais_;
        p.valor = ConsultaValor(conexao_, p.literal);
        p.resolvido = true;
    }
}

Moeda PlanoDeFiguras::valor(Figura figura) const {
    const Pedido& p = pedidos_.at(static_cast<size_t>(figura));
    if (!p.resolvido)
        throw Erro(QStringLiteral("Figura pedida e ainda não resolvida."));
    return p.valor;
}

} // namespace nq
