#include "annexes/common/plano_interno.h"

#include "core/erro.h"

#include <QHash>
#include <utility>

namespace nq::plano {

namespace {

QString onde(const QString& fixa) {
    return fixa.trimmed().isEmpty() ? QString()
                                    : QStringLiteral(" where (") + fixa + QLatin1Char(')');
}

QString casos(const QStringList& ws) {
    QString r;
    for (const QString& w : ws)
        r += QStringLiteral(", case when (") + w + QStringLiteral(") then 1 else 0 end");
    return r;
}

QString somas(const QStringList& expressoes) {
    QStringList r;
    for (const QString& e : expressoes)
        r << QStringLiteral("sum(") + e + QLatin1Char(')');
    return r.join(QStringLiteral(", "));
}

[[noreturn]] void tipoInesperado(const fb::Coluna& c) {
    throw Erro(QStringLiteral("Coluna %1 de tipo inesperado numa passagem.").arg(c.nome));
}

void exige(const fb::LeitorDeLinha& l, int i, std::initializer_list<fb::TipoColuna> tipos,
           bool semEscala = false) {
    const fb::Coluna& c = l.coluna(i);
    for (fb::TipoColuna t : tipos)
        if (c.tipo == t && (!semEscala || c.escala == 0))
            return;
    tipoInesperado(c);
}

void exigeChave(const fb::LeitorDeLinha& l, int i) {
    exige(l, i, {fb::TipoColuna::Inteiro}, true);
}

void exigeData(const fb::LeitorDeLinha& l, int i) {
    exige(l, i, {fb::TipoColuna::Data, fb::TipoColuna::Momento});
}

std::vector<int> escalasDas(const fb::LeitorDeLinha& l, int primeira, int n) {
    std::vector<int> r;
    for (int k = 0; k < n; ++k) {
        exige(l, primeira + k, {fb::TipoColuna::Inteiro, fb::TipoColuna::Decimal});
        r.push_back(l.coluna(primeira + k).escala);
    }
    return r;
}

int8_t mesDa(const fb::LeitorDeLinha& l, int i) {
    return l.ehNulo(i) ? int8_t{0} : static_cast<int8_t>(l.data(i).month());
}

Parcela parcelaDa(const fb::LeitorDeLinha& l, int i) {
    if (l.ehNulo(i))
        return {};
    return {l.escalado(i), true};
}

} // namespace

QString textoDaPassagem(const Lancamentos& l) {
    const QString grupo = l.data.isEmpty() ? l.chave : l.chave + QStringLiteral(", ") + l.data;
    return QStringLiteral("select ") + grupo + QStringLiteral(", ") + somas(l.somas) +
           QStringLiteral(" from ") + l.tabela + onde(l.fixa) + QStringLiteral(" group by ") +
           grupo;
}

QString textoDosItens(const Etapas& e, const QStringList& ws) {
    return QStringLiteral("select ") + e.chaveDoItem + casos(ws) + QStringLiteral(" from ") +
           e.itens + onde(e.fixaDosItens);
}

QString textoDaVerificacao(const FormaDaSoma& f, const QStringList& ws) {
    QStringList condicoes;
    for (const QString& w : ws)
        condicoes << QLatin1Char('(') + w + QLatin1Char(')');
    return QStringLiteral("select 1 from ") + f.origem + QStringLiteral(" where ") +
           condicoes.join(QStringLiteral(" and "));
}

QString textoAgrupado(const FormaDaSoma& f, const std::vector<TermoDaSoma>& termos,
                      const QStringList& grupo, const QStringList& ws) {
    QStringList chaves = grupo;
    if (!f.data.isEmpty())
        chaves << f.data;
    QStringList expressoes;
    for (const TermoDaSoma& t : termos)
        expressoes << t.expressao;
    QString r = QStringLiteral("select ");
    if (!chaves.isEmpty())
        r += chaves.join(QStringLiteral(", ")) + QStringLiteral(", ");
    r += somas(expressoes) + casos(ws) + QStringLiteral(" from ") + f.origem + onde(f.fixa);
    if (!chaves.isEmpty())
        r += QStringLiteral(" group by ") + chaves.join(QStringLiteral(", "));
    return r;
}

std::optional<QStringList> colunasDeGrupo(const QStringList& colunas,
                                          const std::vector<fb::Coluna>& tipos) {
    QStringList r;
    for (qsizetype i = 0; i < colunas.size(); ++i) {
        const fb::Coluna& c = tipos.at(static_cast<size_t>(i));
        if (c.tipo == fb::TipoColuna::TextoLongo || c.tipo == fb::TipoColuna::Binario)
            return std::nullopt;
        r << colunas[i];
        if (c.tipo == fb::TipoColuna::Texto) {
            // Four bytes a character covers every character set.
            const int bytes = std::max(1, c.comprimento) * 4;
            if (bytes > 32765)
                return std::nullopt;
            r << QStringLiteral("cast(%1 as varchar(%2) character set octets)")
                     .arg(colunas[i])
                     .arg(bytes);
        }
    }
    return r;
}

Resposta lePassagem(fb::Cursor& c, int n, bool comData, Leitura& leitura) {
    exigeChave(c, 0);
    const int primeira = comData ? 2 : 1;
    if (comData)
        exigeData(c, 1);
    Resposta r;
    r.somas = n;
    r.escalas = escalasDas(c, primeira, n);
    // Days of one item fold into its month.
    QHash<std::pair<int64_t, int>, size_t> linhaDe;
    while (c.proxima()) {
        leitura.contaLinha();
        if (c.ehNulo(0))
            continue; // joins no item
        const std::pair<int64_t, int> chave{c.escalado(0), comData ? mesDa(c, 1) : 0};
        auto i = linhaDe.find(chave);
        if (i == linhaDe.end()) {
            i = linhaDe.insert(chave, r.linhas());
            r.chaves.push_back(chave.first);
            r.meses.push_back(static_cast<int8_t>(chave.second));
            r.parcelas.resize(r.parcelas.size() + static_cast<size_t>(n));
        }
        Parcela* p = &r.parcelas[*i * static_cast<size_t>(n)];
        for (int k = 0; k < n; ++k)
            if (!p[k].acrescenta(parcelaDa(c, primeira + k)))
                throw Erro(QStringLiteral("Soma além de 64 bits numa passagem."));
    }
    return r;
}

Resposta leItens(fb::Cursor& c, int n, Leitura& leitura) {
    exigeChave(c, 0);
    for (int j = 1; j <= n; ++j)
        exige(c, j, {fb::TipoColuna::Inteiro});
    Resposta r;
    r.condicoes = n;
    while (c.proxima()) {
        leitura.contaLinha();
        if (c.ehNulo(0))
            continue;
        r.chaves.push_back(c.escalado(0));
        r.meses.push_back(0);
        for (int j = 1; j <= n; ++j)
            r.condicao.push_back(c.escalado(j) == 1 ? 1 : 0);
    }
    return r;
}

Resposta leAgrupada(fb::Cursor& c, int grupo, bool comData, int n, int condicoes,
                    Leitura& leitura) {
    const int data = grupo;
    const int primeira = grupo + (comData ? 1 : 0);
    if (comData)
        exigeData(c, data);
    Resposta r;
    r.somas = n;
    r.condicoes = condicoes;
    r.escalas = escalasDas(c, primeira, n);
    for (int j = 0; j < condicoes; ++j)
        exige(c, primeira + n + j, {fb::TipoColuna::Inteiro});
    while (c.proxima()) {
        leitura.contaLinha();
        r.meses.push_back(comData ? mesDa(c, data) : int8_t{0});
        for (int k = 0; k < n; ++k)
            r.parcelas.push_back(parcelaDa(c, primeira + k));
        for (int j = 0; j < condicoes; ++j)
            r.condicao.push_back(c.escalado(primeira + n + j) == 1 ? 1 : 0);
    }
    return r;
}

} // namespace nq::plano
