#include "foto_da_tabela.h"

#include <algorithm>

Linhas fotoDaTabela(const nq::ClientDataSet& t) {
    Linhas l;
    const int id = std::max(t.fieldIndex(QStringLiteral("ID")), 0);
    for (int i = 0; i < t.recordCount(); ++i) {
        const auto [linha, nova] = l.try_emplace(t.valueAt(i, id).asString());
        if (!nova)
            continue;
        for (int c = 0; c < t.fieldCount(); ++c)
            linha->second[t.fieldDef(c).name] = t.valueAt(i, c);
    }
    return l;
}
