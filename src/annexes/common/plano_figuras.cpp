#include "annexes/common/plano_figuras.h"

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

} // namespace

void defineFigurasLiterais(bool l) {
    literais() = l;
}

bool figurasLiterais() {
    return literais();
}

PlanoDeFiguras::PlanoDeFiguras(TCRSQLConnection& conexao) : conexao_(conexao) {}

PlanoDeFiguras::~PlanoDeFiguras() = default;

PlanoDeFiguras::Figura PlanoDeFiguras::pede(const FormaDaSoma& forma, const QString& w,
                                            Meses meses) {
    QString texto = forma.texto(w.trimmed(), meses);
    if (const auto i = porTexto_.constFind(texto); i != porTexto_.cend())
        return *i;
    const auto figura = static_cast<Figura>(pedidos_.size());
    porTexto_.insert(texto, figura);
    pedidos_.push_back({std::move(texto), false, Moeda()});
    return figura;
}

void PlanoDeFiguras::resolve() {
    for (Pedido& p : pedidos_) {
        if (p.resolvido)
            continue;
        ++comandos_;
        ++linhas_;
        p.valor = ConsultaValor(conexao_, p.texto);
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
