#include "annexes/common/plano_interno.h"

#include "core/erro.h"

#include "db/conexao.h"
#include <algorithm>

namespace nq::plano {

bool Parcela::acrescenta(int64_t v) {
    if (__builtin_add_overflow(soma, v, &soma))
        return false;
    temValor = true;
    return true;
}

bool Parcela::acrescenta(const Parcela& p) {
    return !p.temValor || acrescenta(p.soma);
}

void Acumulado::acrescenta(int m, const Parcela* p) {
    Parcela* alvo = mes(m);
    for (int k = 0; k < somas; ++k)
        if (!alvo[k].acrescenta(p[k]))
            transbordou = true;
}

Leitura::Leitura(TCRSQLConnection& conexao, PassagensDaExecucao& passagens)
    : conexao_(conexao), passagens_(passagens), banco_((conexao.Open(), conexao.banco())),
      transacao_(conexao.transacaoAberta()) {
    if (!transacao_) {
        fb::OpcoesTransacao o = conexao.opcoesTransacao(0);
        o.somenteLeitura = true;
        propria_.emplace(banco_.inicia(o));
        transacao_ = &*propria_;
    }
}

Leitura::~Leitura() {
    // Statements go before the transaction that prepared them.
    preparados_.clear();
}

bool Leitura::aceita(const QString& sql) {
    try {
        comando(sql);
        return true;
    } catch (const Erro&) {
        return false;
    }
}

fb::Comando& Leitura::comando(const QString& sql) {
    if (const auto i = preparados_.constFind(sql); i != preparados_.cend())
        return **i;
    auto c = std::make_shared<fb::Comando>(banco_.prepara(*transacao_, sql));
    preparados_.insert(sql, c);
    return *c;
}

std::vector<fb::Coluna> Leitura::colunas(const QString& sql) {
    return comando(sql).colunas();
}

bool Leitura::guardada(const QString& sql) const {
    return passagens_.guarda().respostas.contains(banco_.caminho() + QLatin1Char('\n') + sql);
}

std::shared_ptr<const Resposta> Leitura::responde(const QString& sql,
                                                  const std::function<Resposta(fb::Cursor&)>& le) {
    const QString chave = banco_.caminho() + QLatin1Char('\n') + sql;
    auto& guardadas = passagens_.guarda().respostas;
    if (const auto i = guardadas.constFind(chave); i != guardadas.cend()) {
        passagens_.contaReaproveitada();
        return *i;
    }
    fb::Comando& c = comando(sql);
    ++comandos_;
    fb::Cursor cursor = c.abre(*transacao_);
    auto r = std::make_shared<const Resposta>(le(cursor));
    guardadas.insert(chave, r);
    return r;
}

void Leitura::percorre(const QString& sql, const QStringList& parametros,
                       const std::function<void(fb::Cursor&)>& le) {
    fb::Comando& c = comando(sql);
    for (qsizetype i = 0; i < parametros.size(); ++i)
        c.define(static_cast<int>(i), parametros[i]);
    ++comandos_;
    fb::Cursor cursor = c.abre(*transacao_);
    le(cursor);
}

Moeda Leitura::valor(fb::Comando& c, const std::vector<int>& parametros) {
    for (size_t i = 0; i < parametros.size(); ++i)
        c.define(static_cast<int>(i), parametros[i]);
    ++comandos_;
    fb::Cursor cursor = c.abre(*transacao_);
    if (!cursor.proxima() || cursor.quantidadeColunas() == 0)
        return {};
    ++linhas_;
    return cursor.moeda(0);
}

std::vector<std::vector<int>> aceitos(int n,
                                      const std::function<bool(const std::vector<int>&)>& aceita) {
    std::vector<std::vector<int>> r;
    std::function<void(std::vector<int>)> tenta = [&](std::vector<int> itens) {
        if (itens.empty())
            return;
        if (aceita(itens)) {
            r.push_back(std::move(itens));
            return;
        }
        if (itens.size() == 1)
            return;
        const auto meio = itens.begin() + static_cast<std::ptrdiff_t>(itens.size() / 2);
        tenta(std::vector<int>(itens.begin(), meio));
        tenta(std::vector<int>(meio, itens.end()));
    };
    std::vector<int> todos(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        todos[static_cast<size_t>(i)] = i;
    tenta(std::move(todos));
    // Usually a few items alone were refused: the others then go together again.
    if (r.size() > 1) {
        std::vector<int> juntos;
        for (const auto& c : r)
            juntos.insert(juntos.end(), c.begin(), c.end());
        std::sort(juntos.begin(), juntos.end());
        if (aceita(juntos))
            return {juntos};
    }
    return r;
}

std::vector<bool> emAlgum(const std::vector<std::vector<int>>& conjuntos, int n) {
    std::vector<bool> r(static_cast<size_t>(n), false);
    for (const auto& c : conjuntos)
        for (int i : c)
            r[static_cast<size_t>(i)] = true;
    return r;
}

bool noPeriodo(int mes, Meses meses) {
    if (meses.vazio())
        return true;
    return mes >= 1 && mes >= meses.de && mes <= meses.ate;
}

std::optional<Moeda> valorDosTermos(const std::vector<TermoDaSoma>& termos,
                                    const std::vector<Parcela>& totais,
                                    const std::vector<int>& escalas) {
    int escala = 0;
    for (size_t k = 0; k < termos.size(); ++k) {
        if (!totais[k].temValor)
            return Moeda();
        escala = std::max(escala, escalas[k]);
    }
    int64_t total = 0;
    for (size_t k = 0; k < termos.size(); ++k) {
        int64_t v = totais[k].soma;
        for (int e = escalas[k]; e < escala; ++e)
            if (__builtin_mul_overflow(v, int64_t{10}, &v))
                return std::nullopt;
        if (termos[k].sinal < 0 ? __builtin_sub_overflow(total, v, &total)
                                : __builtin_add_overflow(total, v, &total))
            return std::nullopt;
    }
    return Moeda::deEscalado(total, escala);
}

} // namespace nq::plano
