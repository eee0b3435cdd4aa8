#include "report/verificacao.h"

#include "core/erro.h"

namespace nq {

namespace {

[[noreturn]] void recusa(const QString& objeto, const QString& recurso) {
    throw Erro(QStringLiteral("%1 usa um recurso que o gerador de relatórios não oferece: %2.")
                   .arg(objeto, recurso));
}

QString componente(const TppComponent& c) {
    return QStringLiteral("O componente \"%1\"").arg(c.Name);
}

QString nomeDoRelatorio(const TppCustomReport& r) {
    if (!r.Name.isEmpty())
        return r.Name;
    auto* filho = dynamic_cast<const TppChildReport*>(&r);
    return filho && filho->subrelatorio() ? filho->subrelatorio()->Name : QString();
}

bool ehBandaDePagina(TppBandType t) {
    return t == TppBandType::btHeader || t == TppBandType::btFooter ||
           t == TppBandType::btColumnHeader || t == TppBandType::btColumnFooter;
}

void verificaVariavel(const TppVariable& v) {
    if (v.CalcType != TppVarEventType::veTraversal &&
        v.CalcType != TppVarEventType::veDataPipelineTraversal)
        recusa(componente(v), QStringLiteral("cálculo fora da passagem pelos registros"));
    const TppVarEventType r = v.ResetType;
    const bool deGrupo = r == TppVarEventType::veGroupStart || r == TppVarEventType::veGroupEnd ||
                         r == TppVarEventType::veGroupBeforeHeader ||
                         r == TppVarEventType::veGroupBeforeFooter;
    if (deGrupo ? !v.ResetComponent
                : r != TppVarEventType::veReportEnd && r != TppVarEventType::veReportStart)
        recusa(componente(v), QStringLiteral("reinício por página, coluna ou grupo não indicado"));
    if (v.LookAhead)
        recusa(componente(v), QStringLiteral("valor antecipado (LookAhead)"));
}

void verificaComponente(const TppBand& b, const TppComponent& c) {
    if (auto* v = dynamic_cast<const TppVariable*>(&c))
        verificaVariavel(*v);
    if (auto* s = dynamic_cast<const TppSystemVariable*>(&c)) {
        const TppVarType t = s->VarType;
        if (t == TppVarType::vtPageCount || t == TppVarType::vtPageSet ||
            t == TppVarType::vtPageSetDesc)
            recusa(componente(c), QStringLiteral("total de páginas"));
        if ((t == TppVarType::vtPageNo || t == TppVarType::vtPageNoDesc) &&
            !ehBandaDePagina(b.tipo()))
            recusa(componente(c), QStringLiteral("número da página fora do cabeçalho e do rodapé"));
    }
    if (auto* e = dynamic_cast<const TppStretchable*>(&c); e && e->KeepTogether)
        recusa(componente(c), QStringLiteral("manter o conteúdo junto numa página (KeepTogether)"));
}

void verificaRelatorio(const TppCustomReport& r) {
    const QString relatorio = QStringLiteral("O relatório \"%1\"").arg(nomeDoRelatorio(r));
    if (r.Columns > 1)
        recusa(relatorio, QStringLiteral("mais de uma coluna (Columns %1)").arg(r.Columns));
    for (const auto& g : r.grupos()) {
        const QString grupo = QStringLiteral("O grupo \"%1\"").arg(g->Name);
        if (g->StartOnOddPage)
            recusa(grupo, QStringLiteral("começar em página ímpar (StartOnOddPage)"));
        if (g->ResetPageNo)
            recusa(grupo, QStringLiteral("reiniciar a numeração das páginas (ResetPageNo)"));
    }
    for (TppBand* b : r.todasAsBandas())
        for (const auto& c : b->componentes()) {
            verificaComponente(*b, *c);
            if (auto* sub = dynamic_cast<const TppSubReport*>(c.get()))
                verificaRelatorio(sub->Report());
        }
}

} // namespace

void verificaRecursos(const TppReport& relatorio) {
    if (relatorio.PassSetting == TppPassSetting::psTwoPass)
        recusa(QStringLiteral("O relatório \"%1\"").arg(relatorio.Name),
               QStringLiteral("geração em duas passagens (PassSetting psTwoPass)"));
    for (const auto& p : relatorio.pipelines())
        if (p->MasterDataPipeline || !p->MasterFieldLinks.trimmed().isEmpty())
            recusa(QStringLiteral("A fonte de dados \"%1\"").arg(p->Name),
                   QStringLiteral("ligação mestre/detalhe (MasterDataPipeline, MasterFieldLinks)"));
    verificaRelatorio(relatorio);
}

} // namespace nq
