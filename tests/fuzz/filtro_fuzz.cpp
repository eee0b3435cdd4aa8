// The filter-expression parser on arbitrary text, bound to a table with a
// field of every kind and tried on its rows: it works or throws nq::Erro.
#include "core/erro.h"
#include "tables/dados.h"
#include "tables/filtro.h"

namespace {

const nq::Dados& tabela() {
    static const nq::Dados d = [] {
        nq::Dados t;
        t.acrescentaCampo({QStringLiteral("NOME"), nq::FieldKind::Text, 20});
        t.acrescentaCampo({QStringLiteral("VALOR"), nq::FieldKind::Money});
        t.acrescentaCampo({QStringLiteral("CODIGO"), nq::FieldKind::Integer});
        t.acrescentaCampo({QStringLiteral("TAXA"), nq::FieldKind::Float});
        t.acrescentaCampo({QStringLiteral("NOTA"), nq::FieldKind::FormattedMemo});
        for (int i = 0; i < 3; ++i)
            t.acrescentaLinha();
        t.define(0, 0, nq::Value(QStringLiteral("Receita Corrente")));
        t.define(0, 1, nq::Value(nq::Moeda::deEscalado(123456, 2)));
        t.define(0, 2, nq::Value(int32_t{7}));
        t.define(0, 3, nq::Value(0.25));
        t.define(1, 0, nq::Value(QStringLiteral("Dívida")));
        t.define(1, 1, nq::Value(nq::Moeda::deEscalado(-5, 2)));
        return t;
    }();
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QString expressao =
        QString::fromUtf8(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    try {
        nq::Filtro f(expressao);
        f.vincula(tabela());
        for (int l = 0; l < tabela().linhas(); ++l)
            f.aceita(tabela(), l);
    } catch (const nq::Erro&) {
    }
    return 0;
}
