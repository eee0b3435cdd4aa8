#include "annexes/gestao_fiscal/calculo_gestao.h"

#include "annexes/common/estrada_anexo.h"
#include "annexes/gestao_fiscal/entradas_gestao.h"
#include "annexes/gestao_fiscal/formas_gestao.h"
#include "core/erro.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "tables/clientdataset.h"

#include <map>

namespace nq {

namespace {

const QString Id = QStringLiteral("ID");
const QString Valor = QStringLiteral("VALOR");
const QString Porc = QStringLiteral("PORC");
const QString Valor1 = QStringLiteral("VALOR1");
const QString Porc1 = QStringLiteral("PORC1");

// The amount lines taken from the ledger, with the prefixes whose balances they add.
const std::vector<std::pair<QString, QStringList>> LinhasDoRazao = {
    {QStringLiteral("00150"), {QStringLiteral("3822")}},
    {QStringLiteral("00190"), {QStringLiteral("3833"), QStringLiteral("3841")}},
    {QStringLiteral("00230"), {QStringLiteral("341")}},
    {QStringLiteral("00270"), {QStringLiteral("3241")}},
};

// The legal limits typed as a percentage of the RCL.
const QStringList LimitesDigitados = {QStringLiteral("00080"), QStringLiteral("00120"),
                                      QStringLiteral("00160"), QStringLiteral("00200"),
                                      QStringLiteral("00240"), QStringLiteral("00280")};

// The personnel limits: 54 % of the RCL, 95 % of it as the prudential one; a
// chamber's 6 % and 5.7 %.
Moeda limiteLegal(bool camara) {
    return Moeda::deInteiro(camara ? 6 : 54);
}
Moeda limitePrudencial(bool camara) {
    return Moeda::deDezMilesimos(camara ? 57000 : 513000);
}

} // namespace

Moeda porcentagemDe(Moeda parte, Moeda todo) {
    if (todo <= Moeda())
        return {};
    return Moeda::deQuociente(static_cast<__int128>(parte.dezMilesimos()) * 100 * Moeda::Escala,
                              todo.dezMilesimos(), "porcentagem");
}

Moeda parteDe(Moeda todo, Moeda porcentagem) {
    return Moeda::deQuociente(static_cast<__int128>(todo.dezMilesimos()) *
                                  porcentagem.dezMilesimos(),
                              static_cast<__int128>(100) * Moeda::Escala, "porcentagem");
}

// The two column pairs: the period's and the previous exercise's.
struct CalculoDaGestao::Colunas {
    QString valor, porc;
};

CalculoDaGestao::CalculoDaGestao(ClientDataSet& gestao, const PeriodoDaGestao& periodo, bool camara,
                                 const EntradasDaGestao& entradas,
                                 const DigitadosDaGestao& digitados, EstradaDoAnexo& estrada)
    : gestao_(gestao), periodo_(periodo), camara_(camara), entradas_(entradas),
      digitados_(digitados), estrada_(estrada) {}

Moeda CalculoDaGestao::valor(const QString& id, const QString& campo) const {
    if (!gestao_.locate(Id, Value(id)))
        throw Erro(QStringLiteral("A linha \"%1\" não está no arquivo da Gestão Fiscal.").arg(id));
    return gestao_.fieldByName(campo).asCurrency();
}

void CalculoDaGestao::define(const QString& id, const QString& campo, Moeda v) {
    if (!gestao_.locate(Id, Value(id)))
        throw Erro(QStringLiteral("A linha \"%1\" não está no arquivo da Gestão Fiscal.").arg(id));
    gestao_.edit();
    gestao_.fieldByName(campo).setAsCurrency(v);
    gestao_.post();
}

void CalculoDaGestao::percentualDoPessoal(const QString& campo, Moeda pessoal, Moeda receita) {
    // Without a positive revenue the percentage stays blank, not 0: the
    // personnel total is a title line, which the later passes leave alone.
    if (receita > Moeda())
        define(QStringLiteral("00020"), campo, porcentagemDe(pessoal, receita));
}

Moeda CalculoDaGestao::receita() const {
    return valor(QStringLiteral("00010"), Valor);
}

void CalculoDaGestao::grava() {
    gestao_.saveToFile();
}

CalculoDaGestao::Restos CalculoDaGestao::restosAPagar(const QString& arquivo, const QString& data,
                                                      bool mostraReserva) const {
    QString sql =
        QStringLiteral("SELECT A.*,B.DATAE,B.TPEM,B.EVGRUPO,B.EVCODIGO,B.HISTO,B.DOCUM,B.VENCI,"
                       "B.PRODU,B.IE,B.DTLIQ,B.LICIT,B.PROC,B.REQUI,B.NUMLIC, B.CODLO_ANT, "
                       "B.CFPRO_ANT, B.CATEC_ANT,C.CFPRO,C.CODLO,C.TIPO AS TIPOFICHA,C.EXTRA,"
                       "C.BALCO FROM CALCULA_APAGAR('") +
        data +
        QStringLiteral("') A INNER JOIN DESPES B ON B.PKEMP=A.PKEMP INNER JOIN DESDIS C "
                       "ON C.FICHA=A.FICHA ");
    if (!mostraReserva)
        sql += QStringLiteral("WHERE ") + FiltroReservaEmpenho(QStringLiteral("B")).chopped(5) +
               QLatin1Char(' ');
    sql += QStringLiteral("ORDER BY B.NEMPG ");
    SQLClientDataSet& aux = dm().cdsAux;
    aux.close();
    aux.setCommandText(sql);
    aux.open();
    aux.saveToFile(arquivo);
    Restos r;
    for (aux.first(); !aux.eof(); aux.next()) {
        r.total += aux.fieldByName(QStringLiteral("APAGAR")).asCurrency();
        r.processados += aux.fieldByName(QStringLiteral("PROCESSADO")).asCurrency();
        r.naoProcessados += aux.fieldByName(QStringLiteral("NPROCESSADO")).asCurrency();
    }
    aux.close();
    return r;
}

void CalculoDaGestao::limites(const Colunas& c,
                              const std::function<Moeda(const QString&)>& digitadoPorc) {
    for (const QString& id : LimitesDigitados)
        define(id, c.porc, digitadoPorc(id));
    define(QStringLiteral("00040"), c.porc, limiteLegal(camara_));
    define(QStringLiteral("00030"), c.porc, limitePrudencial(camara_));
}

void CalculoDaGestao::calcula(const Restos& restos, bool mostraReserva) {
    const QString rf = mostraReserva ? QString() : FiltroReservaEmpenho(QStringLiteral("DESPES"));
    PlanoDeFiguras& plano = estrada_.plano();
    std::map<QString, PlanoDeFiguras::Figura> saldos;
    for (const auto& [id, prefixos] : LinhasDoRazao)
        for (const QString& p : prefixos)
            saldos[p] = plano.pede(saldoDoDiario(), condicaoDoRazao(p), {1, periodo_.mesFinal()});
    std::vector<std::pair<PlanoDeFiguras::Figura, PlanoDeFiguras::Figura>> caixa;
    for (const SaldosDeCaixa& s : saldosDeCaixa())
        caixa.emplace_back(plano.pede(s.doAno, s.condicaoDoAno),
                           plano.pede(s.daAbertura, s.condicaoDaAbertura));
    const auto restosAnteriores = plano.pede(empenhosDeRestos(rf), condicaoDeRestos());
    plano.resolve();

    const auto digitado = [this](const QString& id) { return digitados_.atual(id); };
    rcl_ = camara_ ? Moeda() : entradas_.receita();
    const Moeda receita = digitado(QStringLiteral("00010")) + rcl_;
    define(QStringLiteral("00010"), Valor, receita);
    const Moeda pessoal =
        digitado(QStringLiteral("00020")) + entradas_.despesa(QStringLiteral("00170"));
    define(QStringLiteral("00020"), Valor, pessoal);
    percentualDoPessoal(Porc, pessoal, receita);
    define(QStringLiteral("00070"), Valor,
           digitado(QStringLiteral("00070")) + entradas_.despesa(QStringLiteral("00250")));
    limites({Valor, Porc}, [&](const QString& id) { return porcentagemDe(digitado(id), rcl_); });
    define(QStringLiteral("00110"), Valor, digitado(QStringLiteral("00110")) + entradas_.divida());
    for (const auto& [id, prefixos] : LinhasDoRazao) {
        Moeda v = digitado(id);
        for (const QString& p : prefixos)
            v += plano.valor(saldos.at(p));
        define(id, Valor, v);
    }
    for (size_t i = 0; i < caixa.size(); ++i) {
        define(saldosDeCaixa()[i].id, Valor, plano.valor(caixa[i].first));
        define(saldosDeCaixa()[i].id, Valor1, plano.valor(caixa[i].second));
    }
    const std::pair<QString, Moeda> pagar[] = {{QStringLiteral("00470"), restos.processados},
                                               {QStringLiteral("00480"), restos.naoProcessados},
                                               {QStringLiteral("00490"), restos.total}};
    for (const auto& [id, v] : pagar) {
        define(id, Valor, v);
        define(id, Valor1, plano.valor(restosAnteriores));
    }
    grava();
}

void CalculoDaGestao::calculaAnterior(bool comArquivoDigitado) {
    const auto digitado = [this](const QString& id) { return digitados_.anterior(id); };
    const auto porcentagem = [&](const QString& id) {
        return porcentagemDe(digitado(id), rclAnterior_);
    };
    if (!comArquivoDigitado) {
        for (const char* id :
             {"00010", "00020", "00070", "00110", "00150", "00190", "00230", "00270"})
            define(QString::fromLatin1(id), Valor1, digitado(QString::fromLatin1(id)));
        limites({Valor1, Porc1}, porcentagem);
        grava();
        return;
    }
    PlanoDeFiguras& plano = estrada_.plano();
    std::map<QString, PlanoDeFiguras::Figura> aberturas;
    for (const auto& [id, prefixos] : LinhasDoRazao)
        for (const QString& p : prefixos)
            aberturas[p] = plano.pede(aberturaDoDiario(), condicaoDoRazao(p));
    plano.resolve();

    rclAnterior_ = camara_ ? Moeda() : entradas_.receitaAnterior();
    const Moeda receita = digitado(QStringLiteral("00010")) + rclAnterior_;
    define(QStringLiteral("00010"), Valor1, receita);
    const Moeda pessoal =
        digitado(QStringLiteral("00020")) + entradas_.despesaAnterior(QStringLiteral("00170"));
    define(QStringLiteral("00020"), Valor1, pessoal);
    percentualDoPessoal(Porc1, pessoal, receita);
    define(QStringLiteral("00070"), Valor1,
           digitado(QStringLiteral("00070")) + entradas_.despesaAnterior(QStringLiteral("00250")));
    limites({Valor1, Porc1}, porcentagem);
    define(QStringLiteral("00110"), Valor1,
           digitado(QStringLiteral("00110")) + entradas_.dividaAnterior());
    for (const auto& [id, prefixos] : LinhasDoRazao) {
        Moeda v = digitado(id);
        for (const QString& p : prefixos)
            v += plano.valor(aberturas.at(p));
        define(id, Valor1, v);
    }
    grava();
}

void CalculoDaGestao::recalcula() {
    ultrapassado_ = false;
    recalcula({Valor, Porc}, true);
    recalcula({Valor1, Porc1}, false);
}

void CalculoDaGestao::recalcula(const Colunas& c, bool doPeriodo) {
    const Moeda receita = valor(QStringLiteral("00010"), c.valor);
    const auto porcentagem = [&](Moeda v) {
        return v > Moeda() ? porcentagemDe(v, receita) : Moeda();
    };
    const auto nome = [this](int tamanho) {
        return gestao_.fieldByName(QStringLiteral("NOME"))
            .asString()
            .trimmed()
            .left(tamanho)
            .toUpper();
    };

    // Limits typed or fixed as percentages become amounts; value lines get
    // their percentage of the RCL. The debt line keeps an amount of its own.
    for (gestao_.first(); !gestao_.eof(); gestao_.next()) {
        if (gestao_.fieldByName(QStringLiteral("TITULO")).asString() != QLatin1String("VA"))
            continue;
        const Moeda v = gestao_.fieldByName(c.valor).asCurrency();
        const Moeda p = gestao_.fieldByName(c.porc).asCurrency();
        gestao_.edit();
        if (!v.ehZero() && !nome(5).startsWith(QLatin1String("LIMIT")))
            gestao_.fieldByName(c.porc).setAsCurrency(porcentagem(v));
        else if (!p.ehZero() && gestao_.fieldByName(Id).asString() != QLatin1String("00110"))
            gestao_.fieldByName(c.valor).setAsCurrency(
                p > Moeda() && receita > Moeda() ? parteDe(receita, p) : Moeda());
        gestao_.post();
    }

    // Each legal limit against the amount it bounds, the excess on the row
    // after it. Personnel expenditure is bounded by row 00040, but the row
    // before that is the prudential limit: its amount is the total on 00020.
    for (int linha = 1; linha <= gestao_.recordCount(); ++linha) {
        gestao_.setRecNo(linha);
        if (nome(12) != QLatin1String("LIMITE LEGAL") || linha == 1 ||
            linha == gestao_.recordCount())
            continue;
        const Moeda limite = gestao_.fieldByName(c.valor).asCurrency();
        const bool pessoal = gestao_.fieldByName(Id).asString() == QLatin1String("00040");
        Moeda montante;
        if (pessoal) {
            montante = valor(QStringLiteral("00020"), c.valor);
        } else {
            gestao_.setRecNo(linha - 1);
            montante = gestao_.fieldByName(c.valor).asCurrency();
        }
        gestao_.setRecNo(linha + 1);
        const bool passa = montante > limite && limite > Moeda();
        gestao_.edit();
        gestao_.fieldByName(c.valor).setAsCurrency(passa ? montante - limite : Moeda());
        gestao_.fieldByName(c.porc).setAsCurrency(passa ? porcentagem(montante - limite) : Moeda());
        gestao_.post();
        if (passa && doPeriodo)
            ultrapassado_ = true;
        gestao_.setRecNo(linha);
    }
    grava();
}

} // namespace nq
