#include "demo/plano.h"

#include "demo/catalogo.h"
#include "demo/sorteio.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

// The data plan of one exercise. The catalogue (catalogo.h) lists what the
// reports select; this file turns it into rows:
// - every revenue item gets postings in every month around a twelfth of its
//   forecast (property tax early in the year), some get forecast changes of
//   either sign; deductions are negative postings;
// - every expenditure item gets commitments adding up to most of its updated
//   appropriation (payroll once a month), each liquidated and paid in part
//   or in full later in the year, never beyond what is committed or
//   liquidated; some are partly annulled; some items hold a reserve
//   commitment that later commitments draw on;
// - what is unpaid at the end of the year before is carried over as
//   commitments of the 3211 items and paid, liquidated or cancelled during
//   the year;
// - cash moves through the accounts of each linkage, day by day, from the
//   opening balances of 1 January; the journal holds the opening entries and
//   the monthly movements of debt, guarantees and carried-over commitments.

namespace nq::demo {

namespace {

namespace cat = catalogo;

struct Escala {
    int unidades;          // budget units of the prefecture
    int lancamentosPorMes; // revenue postings per item and month, before weighting
    int empenhosPorFicha;  // commitments per expenditure item, before weighting
    Centavos orcamento;    // yearly budget
};

Escala escalaDe(Tamanho t) {
    switch (t) {
    case Tamanho::Teste:
        return {1, 1, 3, 20'000'000'00};
    case Tamanho::Pequeno:
        return {2, 25, 20, 60'000'000'00};
    case Tamanho::Medio:
        return {4, 300, 120, 600'000'000'00};
    case Tamanho::Grande:
        return {8, 7000, 700, 6'000'000'000'00};
    }
    return {1, 1, 3, 20'000'000'00};
}

QString s(const char* texto) {
    return QString::fromUtf8(texto);
}

// `total` split into `n` positive parts of random weight.
std::vector<Centavos> reparte(Centavos total, int n, Sorteio& sorteio) {
    std::vector<Centavos> partes(n);
    std::vector<int64_t> pesos(n);
    int64_t soma = 0;
    for (auto& p : pesos) {
        p = sorteio.entre(50, 150);
        soma += p;
    }
    Centavos distribuido = 0;
    for (int i = 0; i < n; ++i) {
        partes[i] = i + 1 < n ? total * pesos[i] / soma : total - distribuido;
        distribuido += partes[i];
    }
    return partes;
}

class Gerador {
public:
    Gerador(int ano, uint64_t semente, Tamanho tamanho, const Exercicio* anterior)
        : escala_(escalaDe(tamanho)),
          sorteio_(semente ^ (static_cast<uint64_t>(ano) * 0x9E3779B97F4A7C15ull)),
          anterior_(anterior) {
        e_.ano = ano;
    }

    Exercicio gera() {
        cadastros();
        fichasDeReceita();
        arrecadacao();
        fichasDeDespesa();
        alteracoesDeDotacao();
        execucaoDaDespesa();
        restosAPagar();
        extraOrcamentaria();
        caixa();
        diario();
        return std::move(e_);
    }

private:
    QDate dia(int diaDoAno) const {
        return QDate(e_.ano, 1, 1).addDays(std::clamp(diaDoAno, 1, ultimoDia()));
    }
    int ultimoDia() const { return QDate(e_.ano, 12, 31).dayOfYear() - 1; }
    // A working date of the year on or after `minimo` (1 January is a
    // holiday, so that its rows are only the opening balances).
    QDate dataApos(const QDate& minimo, int folgaMaxima, Sorteio& sorteio) const {
        const int base = std::max(minimo.dayOfYear() - 1, 1);
        return dia(base + static_cast<int>(sorteio.entre(0, folgaMaxima)));
    }
    QDate dataNoMes(int mes, Sorteio& sorteio) const {
        const QDate primeiro(e_.ano, mes, 1);
        const int inicio = std::max(primeiro.dayOfYear() - 1, 1);
        const int fim = primeiro.addMonths(1).addDays(-1).dayOfYear() - 1;
        return dia(static_cast<int>(sorteio.entre(inicio, fim)));
    }
    QDate fimDoMes(int mes) const { return QDate(e_.ano, mes, 1).addMonths(1).addDays(-1); }

    void cadastros();
    void fichasDeReceita();
    void arrecadacao();
    void fichasDeDespesa();
    void alteracoesDeDotacao();
    void execucaoDaDespesa();
    void executaEmpenhos(const FichaDespesa& f, Centavos alvo, QDate inicio, Sorteio& sorteio);
    Empenho& novoEmpenho(const FichaDespesa& f, QDate data, Centavos valor, const QString& tpem,
                         Sorteio& sorteio);
    void anula(const Empenho& original, QDate data, Centavos valor);
    // Liquidates `valor` of the commitment from `inicio` on, in one to three
    // parts, and pays what falls due within the year; returns what was paid.
    Centavos liquidaEPaga(int indiceEmpenho, Centavos valor, QDate inicio, int pagoPorCento,
                          Sorteio& sorteio);
    void restosAPagar();
    void restoDoAnterior(const Empenho& original, int empresa, const FichaDespesa* origem,
                         Centavos processado, Centavos naoProcessado, QDate liquidacao);
    void movimentaRestos(Sorteio& sorteio);
    void extraOrcamentaria();
    void caixa();
    void diario();
    void lancaDiario(const char* balco, QDate data, Centavos credito, Centavos debito, int ie,
                     const char* historico);

    int contaDoVinculo(int grupo, int vinculo, const QString& balcoPreferido = {}) const;
    int fichaDeRestos(int empresa, bool processado) const;
    const FichaDespesa& fichaDespesa(int ficha) const { return e_.fichasDespesa[ficha - 1]; }

    Exercicio e_;
    Escala escala_;
    Sorteio sorteio_;
    const Exercicio* anterior_;
    std::map<int, std::pair<int, int>> fichasDeRestos_; // empresa -> (processed, not processed)
    std::map<int, int> pesoDaFicha_;                    // budget weight of an expenditure item
    int proximoNempg_ = 1;
};

void Gerador::cadastros() {
    e_.cliente = {s(cat::entidades[0].nome),
                  s("São Bento da Serra"),
                  s("SP"),
                  s("46.523.015/0001-35"),
                  s("José Antônio da Conceição"),
                  s("Prefeito Municipal"),
                  s("Maria Aparecida Gonçalves"),
                  s("Contadora - CRC 1SP123456/O-7"),
                  s("João Batista Araújo"),
                  s("Responsável pelo Controle Interno")};
    e_.reservaVisivel = s("F");
    for (int i = 0; i < cat::quantidadeEntidades; ++i) {
        const auto& m = cat::entidades[i];
        e_.entidades.push_back({m.empresa, s(m.nome), s(m.adm), s(m.tipo)});
    }
    for (int i = 0; i < cat::quantidadePoderes; ++i)
        e_.poderes.push_back({s(cat::poderes[i].codigo), s(cat::poderes[i].nome)});
    for (int i = 0; i < cat::quantidadeFuncoes; ++i)
        e_.funcoes.push_back({s(cat::funcoes[i].codigo), s(cat::funcoes[i].nome)});
    for (int i = 0; i < cat::quantidadeSubfuncoes; ++i)
        e_.subfuncoes.push_back({s(cat::subfuncoes[i].codigo), s(cat::subfuncoes[i].nome)});
    for (int i = 0; i < cat::quantidadeGrupos; ++i)
        e_.grupos.push_back(
            {QString::fromLatin1(cat::grupos[i].codigo).toInt(), s(cat::grupos[i].nome)});
    for (int i = 0; i < cat::quantidadeVinculos; ++i) {
        const auto& m = cat::vinculos[i];
        e_.vinculos.push_back({m.grupo, m.codigo, s(m.nome), s(m.classe), m.empresa});
    }
    for (int i = 0; i < cat::quantidadeContas; ++i) {
        const auto& m = cat::contas[i];
        e_.contas.push_back({m.conta, s(m.nome), s(m.balco), s(m.tipo), 0, m.grupo, m.vinculo});
    }
}

int Gerador::contaDoVinculo(int grupo, int vinculo, const QString& balcoPreferido) const {
    int escolhida = 0;
    for (const Conta& c : e_.contas) {
        if (c.grupo != grupo || c.vinculo != vinculo)
            continue;
        if (!balcoPreferido.isEmpty() && c.balco == balcoPreferido)
            return c.conta;
        if (escolhida == 0 && (c.balco.startsWith(QLatin1String("3112")) ||
                               c.balco.startsWith(QLatin1String("3121"))))
            escolhida = c.conta;
    }
    return escolhida;
}

void Gerador::fichasDeReceita() {
    Sorteio sorteio = sorteio_.derivado(1);
    int ficha = 1;
    for (int i = 0; i < cat::quantidadeReceitas; ++i) {
        const auto& m = cat::receitas[i];
        FichaReceita f{ficha++,   s(m.codre), s(m.nome), s(m.tipo), m.extra,
                       m.empresa, 0,          m.grupo,   m.vinculo, s(m.balco)};
        if (!m.extra)
            f.totor = sorteio.variacao(escala_.orcamento / 1000 * m.peso, 900, 1100);
        e_.fichasReceita.push_back(f);
        if (!m.extra && sorteio.chance(30)) {
            const Centavos variacao = f.totor * sorteio.entre(3, 15) / 100;
            e_.alteracoesReceita.push_back(
                {static_cast<int>(e_.alteracoesReceita.size()) + 1, f.ficha,
                 dataNoMes(static_cast<int>(sorteio.entre(3, 11)), sorteio),
                 sorteio.chance(50) ? variacao : -variacao});
        }
    }
}

void Gerador::arrecadacao() {
    Sorteio sorteio = sorteio_.derivado(2);
    for (int i = 0; i < cat::quantidadeReceitas; ++i) {
        const auto& m = cat::receitas[i];
        const FichaReceita& f = e_.fichasReceita[i];
        // Extra-budgetary receipts (withholdings) follow the payroll.
        const Centavos anual = m.extra ? escala_.orcamento / 1000 * m.peso : f.totor;
        const bool sazonal = f.codre.startsWith(QLatin1String("1112.02"));
        const int postagens = std::max(1, escala_.lancamentosPorMes * std::abs(m.peso) / 30);
        for (int mes = 1; mes <= 12; ++mes) {
            Centavos doMes = sorteio.variacao(anual / 12, 850, 1150);
            if (sazonal)
                doMes = mes <= 4 ? anual * 2 / 10 : anual / 40;
            const int n = static_cast<int>(sorteio.entre(std::max(1, postagens / 2), postagens));
            for (Centavos valor : reparte(doMes, n, sorteio)) {
                if (valor == 0)
                    continue;
                const QDate data = dataNoMes(mes, sorteio);
                const QDate antes = data.addDays(-sorteio.entre(0, 4));
                const QDate recebimento = antes > QDate(e_.ano, 1, 1) ? antes : data;
                e_.receitas.push_back(
                    {static_cast<int>(e_.receitas.size()) + 1, f.ficha, data, recebimento, valor});
            }
        }
    }
}

void Gerador::fichasDeDespesa() {
    Sorteio sorteio = sorteio_.derivado(3);
    int ficha = 1;
    for (int i = 0; i < cat::quantidadeDespesas; ++i) {
        const auto& m = cat::despesas[i];
        const int unidades = m.porUnidade ? escala_.unidades : 1;
        for (int u = 1; u <= unidades; ++u) {
            FichaDespesa f;
            f.ficha = ficha++;
            f.nome = s(m.nome);
            f.dotacao = sorteio.variacao(escala_.orcamento / 1000 * m.peso / unidades, 950, 1050);
            f.funcao = s(m.funcao);
            f.subfuncao = s(m.subfuncao);
            f.catec = s(m.catec);
            f.tipo = s(m.tipo);
            f.extra = false;
            f.empresa = m.empresa;
            f.grupo = m.grupo;
            f.vinculo = m.vinculo;
            f.programa =
                QStringLiteral("%1%2.%3").arg(m.funcao, m.subfuncao).arg(u, 2, 10, QChar('0'));
            f.local =
                QStringLiteral("%1.%2").arg(m.empresa, 2, 10, QChar('0')).arg(u, 2, 10, QChar('0'));
            e_.fichasDespesa.push_back(f);
            pesoDaFicha_[f.ficha] = m.peso;
        }
    }
    // A programme created during the year by a special credit (DESALD IE 2).
    FichaDespesa especial = e_.fichasDespesa.front();
    especial.ficha = ficha++;
    especial.nome = s("Obras e Instalações - Programa de Pavimentação");
    especial.dotacao = 0;
    especial.funcao = s("15");
    especial.subfuncao = s("451");
    especial.catec = s("4.4.90.51");
    especial.programa = s("15451.99");
    e_.fichasDespesa.push_back(especial);
    pesoDaFicha_[especial.ficha] = 10;
    // Extra-budgetary payment items matching the withholdings.
    for (int i = 0; i < cat::quantidadeReceitas; ++i) {
        const auto& m = cat::receitas[i];
        if (!m.extra)
            continue;
        FichaDespesa f{};
        f.ficha = ficha++;
        f.nome = s(m.nome);
        f.tipo = s(m.tipo);
        f.extra = true;
        f.balco = s(m.balco);
        f.empresa = m.empresa;
        f.grupo = m.grupo;
        f.vinculo = m.vinculo;
        e_.fichasDespesa.push_back(f);
    }
    // Items of the commitments carried over, processed and not, per entity.
    for (const Entidade& ent : e_.entidades) {
        const auto& v = *std::find_if(e_.vinculos.begin(), e_.vinculos.end(),
                                      [&](const Vinculo& x) { return x.empresa == ent.empresa; });
        int fichas[2];
        for (int k = 0; k < 2; ++k) {
            FichaDespesa f{};
            f.ficha = ficha++;
            f.nome = k == 0 ? s("Restos a Pagar Processados") : s("Restos a Pagar Não Processados");
            f.extra = true;
            f.balco = k == 0 ? s("32111") : s("32112");
            f.empresa = ent.empresa;
            f.grupo = v.grupo;
            f.vinculo = v.codigo;
            e_.fichasDespesa.push_back(f);
            fichas[k] = f.ficha;
        }
        fichasDeRestos_[ent.empresa] = {fichas[0], fichas[1]};
    }
}

int Gerador::fichaDeRestos(int empresa, bool processado) const {
    const auto& par = fichasDeRestos_.at(empresa);
    return processado ? par.first : par.second;
}

void Gerador::alteracoesDeDotacao() {
    Sorteio sorteio = sorteio_.derivado(4);
    auto altera = [&](int ficha, QDate data, Centavos valor, int ie) {
        e_.alteracoesDespesa.push_back(
            {static_cast<int>(e_.alteracoesDespesa.size()) + 1, ficha, data, valor, ie});
    };
    int reserva = 0;
    for (const FichaDespesa& f : e_.fichasDespesa)
        if (f.catec.startsWith(QLatin1String("9.9")))
            reserva = f.ficha;
    for (const FichaDespesa& f : e_.fichasDespesa) {
        if (f.extra || f.dotacao == 0 || f.ficha == reserva)
            continue;
        const QDate data = dataNoMes(static_cast<int>(sorteio.entre(2, 11)), sorteio);
        if (sorteio.chance(25)) {
            const Centavos v = f.dotacao * sorteio.entre(5, 20) / 100;
            altera(f.ficha, data, v, 1);
            altera(reserva, data, -v / 2, 4); // half of it from the contingency reserve
        } else if (sorteio.chance(10)) {
            altera(f.ficha, data, -f.dotacao * sorteio.entre(3, 10) / 100, 4);
        }
        if (f.catec.startsWith(QLatin1String("4")) && sorteio.chance(40))
            altera(f.ficha, dataNoMes(static_cast<int>(sorteio.entre(2, 10)), sorteio),
                   f.dotacao * sorteio.entre(5, 25) / 100, 3);
    }
    const FichaDespesa& especial =
        *std::find_if(e_.fichasDespesa.begin(), e_.fichasDespesa.end(),
                      [](const FichaDespesa& f) { return !f.extra && f.dotacao == 0; });
    altera(especial.ficha, QDate(e_.ano, 4, 15), escala_.orcamento / 200, 2);
}

Empenho& Gerador::novoEmpenho(const FichaDespesa& f, QDate data, Centavos valor,
                              const QString& tpem, Sorteio& sorteio) {
    Empenho em{};
    em.pkemp = static_cast<int>(e_.empenhos.size()) + 1;
    em.nempg = proximoNempg_++;
    em.ficha = f.ficha;
    em.data = data;
    em.valor = valor;
    em.catec = f.catec;
    em.elemento = f.catec.mid(7, 2);
    em.categoria = f.catec.left(1);
    em.tpem = tpem;
    em.grupo = f.grupo;
    em.vinculo = f.vinculo;
    em.evGrupo = 1;
    em.evCodigo = 101;
    const bool folha = f.catec.startsWith(QLatin1String("3.1"));
    em.credor = folha ? s(cat::credores[0])
                      : s(cat::credores[sorteio.entre(1, cat::quantidadeCredores - 1)]);
    em.historico = QStringLiteral("Empenho de %1 - %2").arg(f.nome, f.programa);
    em.documento = QStringLiteral("NF %1").arg(sorteio.entre(1000, 99999));
    em.vencimento = std::min(data.addDays(30), QDate(e_.ano, 12, 31));
    em.licitacao = folha ? s("Não se aplica")
                         : s(sorteio.chance(50) ? "Pregão Presencial" : "Dispensa de Licitação");
    em.processo = QStringLiteral("%1/%2").arg(em.nempg).arg(e_.ano);
    em.requisicao = QString::number(sorteio.entre(1, 9999));
    em.numeroLicitacao =
        folha ? QString() : QStringLiteral("%1/%2").arg(sorteio.entre(1, 300)).arg(e_.ano);
    // The commitment kind the reports single out.
    if (f.tipo == QLatin1String("RD"))
        em.tipo = s("RD");
    else if (f.catec.startsWith(QLatin1String("3.1.90.91")))
        em.tipo = sorteio.chance(50) ? s("DJ") : QString();
    else if (f.catec.startsWith(QLatin1String("3.1.90.94")))
        em.tipo = sorteio.chance(50) ? s("ID") : s("DV");
    else if (f.catec.startsWith(QLatin1String("4.4.50")) ||
             f.catec.startsWith(QLatin1String("4.5.50")))
        em.tipo = s("IC");
    else if (f.catec.startsWith(QLatin1String("4.4.60")))
        em.tipo = s("IF");
    else if (f.funcao == QLatin1String("12"))
        em.tipo = f.grupo == 2 && f.vinculo == 20       ? s(sorteio.chance(60) ? "FM" : "FO")
                  : f.subfuncao == QLatin1String("365") ? s("EI")
                  : f.subfuncao == QLatin1String("361") ? s("EF")
                                                        : s("ED");
    if (f.catec.startsWith(QLatin1String("3.3.90.47")))
        em.produto = QStringLiteral("Recolhimento do PASEP - competência %1/%2")
                         .arg(data.month(), 2, 10, QChar('0'))
                         .arg(e_.ano);
    else if (f.catec.startsWith(QLatin1String("3.3.90.30")) && sorteio.chance(30))
        em.produto = s("Aquisição de material de expediente, limpeza e copa para os "
                       "serviços municipais, conforme requisição.");
    e_.empenhos.push_back(em);
    return e_.empenhos.back();
}

void Gerador::anula(const Empenho& original, QDate data, Centavos valor) {
    Empenho a = original;
    a.pkemp = static_cast<int>(e_.empenhos.size()) + 1;
    a.pkempa = original.pkemp;
    a.data = data;
    a.valor = -valor;
    a.pago = 0;
    a.evCodigo = 102;
    a.historico = QStringLiteral("Anulação parcial do empenho %1").arg(original.nempg);
    a.produto.clear();
    a.liquidacao = QDate();
    e_.empenhos.push_back(a);
}

Centavos Gerador::liquidaEPaga(int indice, Centavos valor, QDate inicio, int pagoPorCento,
                               Sorteio& sorteio) {
    const Empenho& em = e_.empenhos[indice];
    const int conta = contaDoVinculo(em.grupo, em.vinculo);
    const int partes = valor < 300 ? 1 : static_cast<int>(sorteio.entre(1, 3));
    Centavos pago = 0;
    QDate data = inicio;
    for (Centavos parte : reparte(valor, partes, sorteio)) {
        data = dataApos(data, 40, sorteio);
        e_.liquidacoes.push_back(
            {static_cast<int>(e_.liquidacoes.size()) + 1, em.pkemp, data, parte});
        if (!e_.empenhos[indice].liquidacao.isValid())
            e_.empenhos[indice].liquidacao = data;
        const int sorte = static_cast<int>(sorteio.entre(0, 99));
        const Centavos aPagar = sorte < pagoPorCento        ? parte
                                : sorte < pagoPorCento + 10 ? parte * sorteio.entre(50, 90) / 100
                                                            : 0;
        const QDate dataPagamento = data.addDays(sorteio.entre(0, 40));
        if (aPagar > 0 && dataPagamento.year() == e_.ano) {
            e_.pagamentos.push_back({static_cast<int>(e_.pagamentos.size()) + 1, em.pkemp,
                                     dataPagamento, aPagar, conta});
            pago += aPagar;
        }
    }
    e_.empenhos[indice].pago += pago;
    return pago;
}

void Gerador::executaEmpenhos(const FichaDespesa& f, Centavos alvo, QDate inicio,
                              Sorteio& sorteio) {
    const bool folha = f.catec.startsWith(QLatin1String("3.1"));
    int n = std::max(1, escala_.empenhosPorFicha * pesoDaFicha_.at(f.ficha) / 20);
    if (folha)
        n = std::max(n, 12);
    // Some items of goods and services hold a reserve commitment for the
    // year that later commitments draw on.
    const bool comReserva = f.catec.startsWith(QLatin1String("3.3.90.3")) && sorteio.chance(40);
    Centavos regular = alvo;
    if (comReserva) {
        const Centavos reservado = alvo / 3;
        regular -= reservado;
        const int rd = static_cast<int>(e_.empenhos.size());
        novoEmpenho(f, dataApos(inicio, 30, sorteio), reservado, s("RD"), sorteio);
        const QDate dataReserva = e_.empenhos[rd].data;
        const int usos = std::max(1, n / 2);
        Centavos usado = 0;
        for (Centavos v : reparte(reservado * sorteio.entre(60, 95) / 100, usos, sorteio)) {
            const QDate d = dataApos(dataReserva, 300, sorteio);
            const int idx = static_cast<int>(e_.empenhos.size());
            Empenho& em = novoEmpenho(f, d, v, s("OR"), sorteio);
            em.pkempa = e_.empenhos[rd].pkemp;
            anula(e_.empenhos[rd], d, v); // the reserve gives way to the commitment
            liquidaEPaga(idx, v, d, 85, sorteio);
            usado += v;
        }
        // What is left of the reserve lapses before the year closes.
        if (reservado > usado)
            anula(e_.empenhos[rd], QDate(e_.ano, 12, 31), reservado - usado);
    }
    const std::vector<Centavos> valores = reparte(regular, n, sorteio);
    for (int i = 0; i < n; ++i) {
        const Centavos v = valores[i];
        if (v <= 0)
            continue;
        const QDate d = folha ? dataNoMes(i % 12 + 1, sorteio) : dataApos(inicio, 340, sorteio);
        const QDate data = d < inicio ? inicio : d;
        const QString tpem = folha ? s("ES") : s(sorteio.chance(80) ? "OR" : "GL");
        const int idx = static_cast<int>(e_.empenhos.size());
        novoEmpenho(f, data, v, tpem, sorteio);
        const int sorte = static_cast<int>(sorteio.entre(0, 99));
        const Centavos liquidado = sorte < 75   ? v
                                   : sorte < 90 ? v * sorteio.entre(40, 90) / 100
                                                : 0;
        if (liquidado > 0)
            liquidaEPaga(idx, liquidado, data, folha ? 95 : 80, sorteio);
        if (v > liquidado && sorteio.chance(12)) {
            const Centavos anulado = (v - liquidado) * sorteio.entre(30, 100) / 100;
            if (anulado > 0)
                anula(e_.empenhos[idx], dataApos(data, 60, sorteio), anulado);
        }
    }
}

void Gerador::execucaoDaDespesa() {
    Sorteio sorteio = sorteio_.derivado(5);
    std::map<int, Centavos> atualizada;
    std::map<int, QDate> inicio;
    for (const FichaDespesa& f : e_.fichasDespesa)
        atualizada[f.ficha] = f.dotacao;
    for (const AlteracaoDespesa& a : e_.alteracoesDespesa) {
        atualizada[a.ficha] += a.valor;
        if (a.ie == 2)
            inicio[a.ficha] = a.data;
    }
    for (const FichaDespesa& f : e_.fichasDespesa) {
        if (f.extra || f.catec.startsWith(QLatin1String("9")))
            continue;
        const Centavos alvo = atualizada[f.ficha] * sorteio.entre(850, 980) / 1000;
        if (alvo <= 0)
            continue;
        const QDate desde = inicio.count(f.ficha) ? inicio[f.ficha] : QDate(e_.ano, 1, 2);
        executaEmpenhos(f, alvo, desde, sorteio);
    }
}

void Gerador::restoDoAnterior(const Empenho& original, int empresa, const FichaDespesa* origem,
                              Centavos processado, Centavos naoProcessado, QDate liquidacao) {
    for (int k = 0; k < 2; ++k) {
        const Centavos valor = k == 0 ? processado : naoProcessado;
        if (valor <= 0)
            continue;
        Empenho r = original;
        r.pkemp = static_cast<int>(e_.empenhos.size()) + 1;
        r.pkempa = 0;
        r.ficha = fichaDeRestos(empresa, k == 0);
        r.valor = valor;
        r.pago = 0;
        r.catecAnterior =
            original.catecAnterior.isEmpty() ? original.catec : original.catecAnterior;
        r.programaAnterior =
            origem && !origem->programa.isEmpty() ? origem->programa : original.programaAnterior;
        r.localAnterior =
            origem && !origem->local.isEmpty() ? origem->local : original.localAnterior;
        r.catec.clear();
        r.elemento.clear();
        r.categoria.clear();
        r.tipo.clear();
        r.produto.clear();
        r.liquidacao = k == 0 ? liquidacao : QDate();
        r.evGrupo = 3;
        r.evCodigo = k == 0 ? 301 : 302;
        r.historico = QStringLiteral("Restos a pagar do empenho %1/%2")
                          .arg(original.nempg)
                          .arg(original.data.year());
        e_.empenhos.push_back(r);
        // Processed commitments arrive liquidated on their original date.
        if (k == 0)
            e_.liquidacoes.push_back(
                {static_cast<int>(e_.liquidacoes.size()) + 1, r.pkemp, liquidacao, valor});
    }
}

void Gerador::restosAPagar() {
    Sorteio sorteio = sorteio_.derivado(6);
    if (anterior_) {
        // What the year before left unpaid on 31 December, commitment by commitment.
        std::map<int, Centavos> anulado, liquidado, pago;
        std::map<int, QDate> ultimaLiquidacao;
        for (const Empenho& em : anterior_->empenhos)
            if (em.valor < 0)
                anulado[em.pkempa] -= em.valor;
        for (const Liquidacao& l : anterior_->liquidacoes) {
            liquidado[l.pkemp] += l.valor;
            ultimaLiquidacao[l.pkemp] = std::max(ultimaLiquidacao[l.pkemp], l.data);
        }
        for (const Pagamento& p : anterior_->pagamentos)
            pago[p.pkemp] += p.valor;
        for (const Empenho& em : anterior_->empenhos) {
            if (em.valor <= 0 || em.tpem == QLatin1String("RD"))
                continue;
            const FichaDespesa& f = anterior_->fichasDespesa[em.ficha - 1];
            if (f.extra && !f.balco.startsWith(QLatin1String("3211")))
                continue;
            const Centavos aPagar = em.valor - anulado[em.pkemp] - pago[em.pkemp];
            const Centavos processado = std::min(liquidado[em.pkemp] - pago[em.pkemp], aPagar);
            // Non-processed leftovers of older years lapse on 31 December.
            const bool antigo = f.balco.startsWith(QLatin1String("3211"));
            restoDoAnterior(em, f.empresa, &f, processado, antigo ? 0 : aPagar - processado,
                            ultimaLiquidacao.count(em.pkemp) ? ultimaLiquidacao[em.pkemp]
                                                             : em.data);
        }
    } else {
        // No year before at hand: invent the carried-over commitments of
        // the two years before, per entity, as if they came from there.
        for (const Entidade& ent : e_.entidades) {
            const int quantos = std::max(2, escala_.empenhosPorFicha * 2);
            for (int i = 0; i < quantos; ++i) {
                const int anoOrigem = e_.ano - static_cast<int>(sorteio.entre(1, 2));
                FichaDespesa modelo{};
                for (const FichaDespesa& f : e_.fichasDespesa)
                    if (f.empresa == ent.empresa && !f.extra &&
                        !f.catec.startsWith(QLatin1String("9")))
                        modelo = f;
                Empenho em{};
                em.nempg = static_cast<int>(sorteio.entre(1, 5000));
                em.data = QDate(anoOrigem, static_cast<int>(sorteio.entre(6, 12)), 10);
                em.catec = modelo.catec;
                em.tpem = s("OR");
                em.grupo = modelo.grupo;
                em.vinculo = modelo.vinculo;
                em.credor = s(cat::credores[sorteio.entre(1, cat::quantidadeCredores - 1)]);
                em.programaAnterior = modelo.programa;
                em.localAnterior = modelo.local;
                const Centavos valor =
                    escala_.orcamento / 2000 / quantos * sorteio.entre(50, 150) / 10;
                const bool processado = anoOrigem < e_.ano - 1 || sorteio.chance(60);
                restoDoAnterior(em, ent.empresa, nullptr, processado ? valor : 0,
                                processado ? 0 : valor, em.data.addDays(20));
            }
        }
    }
    movimentaRestos(sorteio);
}

// During the year most carried-over commitments are paid; the
// non-processed ones are liquidated first; some are cancelled, and what is
// still not liquidated on 31 December lapses.
void Gerador::movimentaRestos(Sorteio& sorteio) {
    const int total = static_cast<int>(e_.empenhos.size());
    for (int i = 0; i < total; ++i) {
        const Empenho em = e_.empenhos[i];
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (!f.balco.startsWith(QLatin1String("3211")) || em.valor <= 0)
            continue;
        const bool processado = f.balco == QLatin1String("32111");
        const QDate inicio(e_.ano, 1, 2);
        const int sorte = static_cast<int>(sorteio.entre(0, 99));
        if (processado) {
            const int conta = contaDoVinculo(em.grupo, em.vinculo);
            if (sorte < 85) {
                const Centavos v = sorte < 75 ? em.valor : em.valor * sorteio.entre(30, 80) / 100;
                e_.pagamentos.push_back({static_cast<int>(e_.pagamentos.size()) + 1, em.pkemp,
                                         dataApos(inicio, 150, sorteio), v, conta});
                e_.empenhos[i].pago += v;
            } else if (sorte < 92) {
                // Cancelling a liquidated debt reverses its liquidation too.
                const QDate data = dataApos(inicio, 300, sorteio);
                anula(em, data, em.valor);
                e_.liquidacoes.push_back(
                    {static_cast<int>(e_.liquidacoes.size()) + 1, em.pkemp, data, -em.valor});
            }
        } else {
            Centavos liquidado = 0;
            if (sorte < 65) {
                liquidado = sorte < 50 ? em.valor : em.valor * sorteio.entre(40, 90) / 100;
                liquidaEPaga(i, liquidado, inicio, 85, sorteio);
            } else if (sorte < 85) {
                anula(em, dataApos(inicio, 300, sorteio), em.valor);
                continue;
            }
            if (em.valor > liquidado)
                anula(em, QDate(e_.ano, 12, 31), em.valor - liquidado);
        }
    }
}

// Withholdings received each month are paid over at the end of the month.
void Gerador::extraOrcamentaria() {
    std::map<std::pair<int, int>, Centavos> retido; // (ficha de receita, mês)
    for (const Receita& r : e_.receitas)
        if (e_.fichasReceita[r.ficha - 1].extra)
            retido[{r.ficha, r.lancamento.month()}] += r.valor;
    Sorteio sorteio = sorteio_.derivado(7);
    for (const auto& [chave, valor] : retido) {
        const FichaReceita& fr = e_.fichasReceita[chave.first - 1];
        const FichaDespesa& fd =
            *std::find_if(e_.fichasDespesa.begin(), e_.fichasDespesa.end(),
                          [&](const FichaDespesa& f) { return f.extra && f.balco == fr.balco; });
        const QDate data = fimDoMes(chave.second);
        Empenho& em = novoEmpenho(fd, data, valor, s("EX"), sorteio);
        em.historico = QStringLiteral("Recolhimento de %1").arg(fd.nome);
        em.pago = valor;
        e_.pagamentos.push_back({static_cast<int>(e_.pagamentos.size()) + 1, em.pkemp, data, valor,
                                 contaDoVinculo(fd.grupo, fd.vinculo)});
    }
}

void Gerador::caixa() {
    Sorteio sorteio = sorteio_.derivado(8);
    // Opening balances: the closing ones of the year before, else invented.
    std::map<int, Centavos> saldo;
    if (anterior_) {
        for (const MovimentoCaixa& m : anterior_->movimentos)
            saldo[m.conta] += m.credito - m.debito;
    } else {
        for (int i = 0; i < cat::quantidadeContas; ++i)
            saldo[cat::contas[i].conta] =
                sorteio.variacao(escala_.orcamento / 1000 * cat::contas[i].saldoPorMil, 900, 1100);
    }
    std::map<std::pair<int, int>, std::pair<Centavos, Centavos>> porDia; // (conta, dia) -> (c, d)
    for (Conta& c : e_.contas) {
        c.saldoInicial = saldo[c.conta];
        porDia[{c.conta, 1}] = c.saldoInicial >= 0 ? std::pair{c.saldoInicial, Centavos{0}}
                                                   : std::pair{Centavos{0}, -c.saldoInicial};
    }
    std::map<int, int> contaDaFicha;
    for (const FichaReceita& f : e_.fichasReceita) {
        QString preferido;
        if (f.codre.startsWith(QLatin1String("1325")))
            preferido = s("31140"); // investment income stays invested
        else if (f.codre.startsWith(QLatin1String("112")))
            preferido = s("31110"); // fees are paid at the counter
        contaDaFicha[f.ficha] = contaDoVinculo(f.grupo, f.vinculo, preferido);
    }
    std::map<std::pair<int, int>, Centavos> depositar; // cash taken to the bank at month end
    for (const Receita& r : e_.receitas) {
        const int conta = contaDaFicha[r.ficha];
        auto& dia = porDia[{conta, r.lancamento.dayOfYear()}];
        (r.valor >= 0 ? dia.first : dia.second) += std::abs(r.valor);
        const Conta& c = e_.contas[conta - 1];
        if (c.balco == QLatin1String("31110"))
            depositar[{conta, r.lancamento.month()}] += r.valor;
    }
    for (const auto& [chave, valor] : depositar) {
        const Conta& c = e_.contas[chave.first - 1];
        const int banco = contaDoVinculo(c.grupo, c.vinculo);
        const int d = fimDoMes(chave.second).dayOfYear();
        porDia[{chave.first, d}].second += valor;
        porDia[{banco, d}].first += valor;
    }
    // Linkages without revenue of their own (the chamber's allotments, the
    // shares of taxes tied to education and health) receive from the
    // treasury, at the start of each month, what they pay out in it.
    std::set<std::pair<int, int>> comReceita;
    for (const FichaReceita& f : e_.fichasReceita)
        comReceita.insert({f.grupo, f.vinculo});
    std::map<std::pair<int, int>, Centavos> repasses; // (conta, mês)
    for (const Pagamento& p : e_.pagamentos) {
        porDia[{p.conta, p.data.dayOfYear()}].second += p.valor;
        const Conta& c = e_.contas[p.conta - 1];
        if (!comReceita.count({c.grupo, c.vinculo}))
            repasses[{p.conta, p.data.month()}] += p.valor;
    }
    const int tesouro = contaDoVinculo(1, 1);
    for (const auto& [chave, valor] : repasses) {
        const int d = std::max(QDate(e_.ano, chave.second, 1).dayOfYear(), 2);
        porDia[{tesouro, d}].second += valor;
        porDia[{chave.first, d}].first += valor;
    }
    for (const auto& [chave, valores] : porDia) {
        if (valores.first == 0 && valores.second == 0 && chave.second != 1)
            continue;
        e_.movimentos.push_back({static_cast<int>(e_.movimentos.size()) + 1, chave.first,
                                 QDate(e_.ano, 1, 1).addDays(chave.second - 1), valores.first,
                                 valores.second});
    }
}

void Gerador::lancaDiario(const char* balco, QDate data, Centavos credito, Centavos debito, int ie,
                          const char* historico) {
    if (credito == 0 && debito == 0)
        return;
    e_.diario.push_back({static_cast<int>(e_.diario.size()) + 1, s(balco), data, credito, debito,
                         ie, s(historico)});
}

void Gerador::diario() {
    Sorteio sorteio = sorteio_.derivado(9);
    const Centavos o = escala_.orcamento;
    const QDate abertura(e_.ano, 1, 1);
    Centavos rpProcessados = 0, rpNaoProcessados = 0;
    for (const Empenho& em : e_.empenhos) {
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (em.valor > 0 && f.balco == QLatin1String("32111"))
            rpProcessados += em.valor;
        if (em.valor > 0 && f.balco == QLatin1String("32112"))
            rpNaoProcessados += em.valor;
    }
    lancaDiario("32111", abertura, rpProcessados, 0, 2, "Abertura - restos a pagar processados");
    lancaDiario("32112", abertura, rpNaoProcessados, 0, 2,
                "Abertura - restos a pagar não processados");
    lancaDiario("31300", abertura, 0, sorteio.variacao(o / 100, 800, 1200), 1,
                "Abertura - créditos em circulação");
    const Centavos divida = sorteio.variacao(o * 15 / 100, 900, 1100);
    lancaDiario("34110", abertura, divida, 0, 2, "Abertura - operações de crédito internas");
    const Centavos parcelamentoInss = sorteio.variacao(o * 3 / 100, 900, 1100);
    lancaDiario("34210", abertura, parcelamentoInss, 0, 2, "Abertura - parcelamento do INSS");
    lancaDiario("34220", abertura, sorteio.variacao(o * 2 / 100, 900, 1100), 0, 2,
                "Abertura - parcelamento do PASEP e FGTS");
    lancaDiario("38220", abertura, sorteio.variacao(o / 200, 900, 1100), 0, 3,
                "Abertura - dívida mobiliária");
    lancaDiario("38330", abertura, sorteio.variacao(o * 3 / 1000, 900, 1100), 0, 3,
                "Abertura - garantias concedidas");
    lancaDiario("38410", abertura, sorteio.variacao(o * 2 / 1000, 900, 1100), 0, 3,
                "Abertura - contragarantias recebidas");
    lancaDiario("8888", abertura, sorteio.variacao(o / 100, 900, 1100), 0, 3,
                "Abertura - passivos reconhecidos");

    // Monthly movements that follow from the budget execution.
    std::vector<Centavos> creditos(13), amortizacoes(13), rpPagos(13), processadosAnulados(13),
        npAnulados(13), npLiquidados(13);
    for (const Receita& r : e_.receitas)
        if (e_.fichasReceita[r.ficha - 1].codre.startsWith(QLatin1String("21")))
            creditos[r.lancamento.month()] += r.valor;
    std::map<int, int> fichaDoEmpenho;
    for (const Empenho& em : e_.empenhos) {
        fichaDoEmpenho[em.pkemp] = em.ficha;
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (em.valor < 0 && f.balco == QLatin1String("32111"))
            processadosAnulados[em.data.month()] -= em.valor;
        if (em.valor < 0 && f.balco == QLatin1String("32112"))
            npAnulados[em.data.month()] -= em.valor;
    }
    for (const Liquidacao& l : e_.liquidacoes) {
        if (l.data.year() != e_.ano)
            continue;
        const FichaDespesa& f = fichaDespesa(fichaDoEmpenho[l.pkemp]);
        if (f.catec.startsWith(QLatin1String("4.6")))
            amortizacoes[l.data.month()] += l.valor;
        if (f.balco == QLatin1String("32112"))
            npLiquidados[l.data.month()] += l.valor;
    }
    for (const Pagamento& p : e_.pagamentos)
        if (fichaDespesa(fichaDoEmpenho[p.pkemp]).balco.startsWith(QLatin1String("3211")))
            rpPagos[p.data.month()] += p.valor;
    const Centavos aro = o / 100;
    for (int mes = 1; mes <= 12; ++mes) {
        const QDate fim = fimDoMes(mes);
        lancaDiario("34110", fim, creditos[mes], amortizacoes[mes], 4,
                    "Operações de crédito e amortizações do mês");
        lancaDiario("34210", fim, 0, parcelamentoInss / 60, 4, "Parcela do INSS");
        lancaDiario("32112", fim, 0, npLiquidados[mes] + npAnulados[mes], 4,
                    "Restos não processados liquidados e cancelados");
        lancaDiario("32111", fim, npLiquidados[mes], rpPagos[mes] + processadosAnulados[mes], 4,
                    "Restos a pagar liquidados, pagos e cancelados");
        lancaDiario("31300", fim, sorteio.variacao(o / 2000, 500, 1500),
                    sorteio.variacao(o / 2000, 500, 1500), 4,
                    "Movimento de créditos em circulação");
        if (mes % 3 == 0)
            lancaDiario("8888", fim, sorteio.variacao(o / 1000, 500, 1500), 0, 4,
                        "Reconhecimento de passivos");
        if (mes == 6) {
            lancaDiario("38330", fim, sorteio.variacao(o / 1000, 500, 1500), 0, 4,
                        "Garantias concedidas no semestre");
            lancaDiario("38410", fim, 0, sorteio.variacao(o / 2000, 500, 1500), 4,
                        "Baixa de contragarantias");
            lancaDiario("38220", fim, 0, sorteio.variacao(o / 2000, 500, 1500), 4,
                        "Resgate de títulos");
        }
    }
    lancaDiario("32410", fimDoMes(2), aro, 0, 4, "Operação de crédito por antecipação de receita");
    lancaDiario("32410", fimDoMes(11), 0, aro, 4, "Liquidação da antecipação de receita");
}

} // namespace

std::optional<Tamanho> tamanhoDeTexto(const QString& texto) {
    const QString t = texto.trimmed().toLower();
    if (t == QLatin1String("teste"))
        return Tamanho::Teste;
    if (t == QLatin1String("pequeno"))
        return Tamanho::Pequeno;
    if (t == QLatin1String("medio") || t == QStringLiteral("médio"))
        return Tamanho::Medio;
    if (t == QLatin1String("grande"))
        return Tamanho::Grande;
    return std::nullopt;
}

QString textoDeTamanho(Tamanho t) {
    switch (t) {
    case Tamanho::Teste:
        return QStringLiteral("teste");
    case Tamanho::Pequeno:
        return QStringLiteral("pequeno");
    case Tamanho::Medio:
        return QStringLiteral("medio");
    case Tamanho::Grande:
        return QStringLiteral("grande");
    }
    return {};
}

Exercicio geraExercicio(int ano, uint64_t semente, Tamanho tamanho, const Exercicio* anterior) {
    return Gerador(ano, semente, tamanho, anterior).gera();
}

ParDeExercicios geraPar(int ano, uint64_t semente, Tamanho tamanho) {
    ParDeExercicios par;
    par.anterior = geraExercicio(ano - 1, semente, tamanho);
    par.atual = geraExercicio(ano, semente, tamanho, &par.anterior);
    return par;
}

} // namespace nq::demo
