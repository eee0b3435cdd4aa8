#include "demo/gerador.h"

namespace nq::demo {

namespace cat = catalogo;

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

namespace {

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

} // namespace

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