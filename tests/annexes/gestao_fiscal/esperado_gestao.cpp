#include "esperado_gestao.h"

#include "apoio_anexos.h"

#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "tables/clientdataset.h"

#include <QTemporaryDir>

#include "core/erro.h"

#include <array>
#include <cmath>

using nq::Moeda;

namespace {

// a / b × 100 to four places; 0 unless b is positive.
Moeda pct(Moeda a, Moeda b) {
    if (b <= Moeda())
        return {};
    const long double x = static_cast<long double>(a.dezMilesimos()) * 1000000.0L /
                          static_cast<long double>(b.dezMilesimos());
    return Moeda::deDezMilesimos(std::llround(x));
}

// p % of b to four places.
Moeda parte(Moeda b, Moeda p) {
    const long double x = static_cast<long double>(b.dezMilesimos()) *
                          static_cast<long double>(p.dezMilesimos()) / 1000000.0L;
    return Moeda::deDezMilesimos(std::llround(x));
}

Moeda v(const std::optional<Moeda>& m) {
    return m.value_or(Moeda());
}

Moeda de(const std::map<QString, Moeda>& m, const QString& k) {
    const auto i = m.find(k);
    return i == m.end() ? Moeda() : i->second;
}

const QStringList ValoresDigitados = {"00080", "00120", "00160", "00200", "00240", "00280"};
// Amount lines with the ledger prefixes they add.
const std::vector<std::pair<QString, QStringList>> DoRazao = {
    {"00150", {"3822"}}, {"00190", {"3833", "3841"}}, {"00230", {"341"}}, {"00270", {"3241"}}};
// The value lines ("VA") and those named "Limite ...".
const QStringList LinhasDeValor = {"00030", "00040", "00050", "00070", "00080", "00090", "00110",
                                   "00120", "00130", "00150", "00160", "00170", "00190", "00200",
                                   "00210", "00230", "00240", "00250", "00270", "00280", "00290",
                                   "00400", "00410", "00420", "00430", "00440", "00470", "00480"};
const QStringList Limites = {"00030", "00040", "00080", "00120",
                             "00160", "00200", "00240", "00280"};
// Amount, legal limit, excess.
const std::array<std::array<const char*, 3>, 7> Excessos = {{{"00020", "00040", "00050"},
                                                             {"00070", "00080", "00090"},
                                                             {"00110", "00120", "00130"},
                                                             {"00150", "00160", "00170"},
                                                             {"00190", "00200", "00210"},
                                                             {"00230", "00240", "00250"},
                                                             {"00270", "00280", "00290"}}};

using Campo = std::optional<Moeda> Figuras::*;

// Limits into amounts, value lines' percentages, excesses; true when one passes.
bool recalcula(std::map<QString, Figuras>& l, Campo valor, Campo porc) {
    const Moeda receita = v(l["00010"].*valor);
    for (const QString& id : LinhasDeValor) {
        Figuras& f = l[id];
        if (!v(f.*valor).ehZero() && !Limites.contains(id))
            f.*porc = v(f.*valor) > Moeda() ? pct(v(f.*valor), receita) : Moeda();
        else if (!v(f.*porc).ehZero() && id != "00110")
            f.*valor =
                v(f.*porc) > Moeda() && receita > Moeda() ? parte(receita, v(f.*porc)) : Moeda();
    }
    bool passou = false;
    for (const auto& [montante, limite, excesso] : Excessos) {
        const Moeda e = v(l[montante].*valor);
        const Moeda lim = v(l[limite].*valor);
        const bool passa = e > lim && lim > Moeda();
        l[excesso].*valor = passa ? e - lim : Moeda();
        l[excesso].*porc = passa ? pct(e - lim, receita) : Moeda();
        passou = passou || passa;
    }
    return passou;
}

} // namespace

const QStringList& idsDaGestao() {
    static const QStringList ids = [] {
        QStringList l;
        for (int i = 10; i <= 310; i += 10)
            l << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        for (int i = 400; i <= 500; i += 10)
            l << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        return l;
    }();
    return ids;
}

Esperado calculaGestao(const Fontes& f, bool camara, bool comDigitados) {
    Esperado e;
    auto& l = e.linhas;
    const auto d = [&f](const char* id) { return de(f.digitado, id); };
    const auto da = [&f](const char* id) { return de(f.digitadoAnterior, id); };
    const Moeda rcl = camara ? Moeda() : f.rcl;
    const Moeda legal = Moeda::deDezMilesimos(camara ? 60000 : 540000);
    const Moeda prudencial = Moeda::deDezMilesimos(camara ? 57000 : 513000);

    l["00010"].valor = d("00010") + rcl;
    l["00020"].valor = d("00020") + f.pessoal;
    // Without a positive revenue the personnel total has no percentage at all.
    if (*l["00010"].valor > Moeda())
        l["00020"].porc = pct(*l["00020"].valor, *l["00010"].valor);
    l["00070"].valor = d("00070") + f.inativos;
    for (const QString& id : ValoresDigitados)
        l[id].porc = pct(de(f.digitado, id), rcl);
    l["00110"].valor = d("00110") + f.divida;
    for (const auto& [id, prefixos] : DoRazao) {
        Moeda s = de(f.digitado, id);
        for (const QString& p : prefixos)
            s += de(f.razao, p);
        l[id].valor = s;
    }
    l["00040"].porc = legal;
    l["00030"].porc = prudencial;
    for (const auto& [id, valor] : f.caixa) {
        l[id].valor = valor;
        l[id].valor1 = de(f.aberturaDoCaixa, id);
    }
    l["00470"].valor = f.processados;
    l["00480"].valor = f.naoProcessados;
    l["00490"].valor = f.aPagar;
    for (const char* id : {"00470", "00480", "00490"})
        l[id].valor1 = f.restosAnteriores;

    const Moeda rclAnterior = camara || !comDigitados ? Moeda() : f.rclAnterior;
    if (comDigitados) {
        l["00010"].valor1 = da("00010") + rclAnterior;
        l["00020"].valor1 = da("00020") + f.pessoalAnterior;
        if (*l["00010"].valor1 > Moeda())
            l["00020"].porc1 = pct(*l["00020"].valor1, *l["00010"].valor1);
        l["00070"].valor1 = da("00070") + f.inativosAnterior;
        l["00110"].valor1 = da("00110") + f.dividaAnterior;
        for (const auto& [id, prefixos] : DoRazao) {
            Moeda s = de(f.digitadoAnterior, id);
            for (const QString& p : prefixos)
                s += de(f.aberturaDoRazao, p);
            l[id].valor1 = s;
        }
    } else {
        for (const char* id :
             {"00010", "00020", "00070", "00110", "00150", "00190", "00230", "00270"})
            l[id].valor1 = da(id);
    }
    for (const QString& id : ValoresDigitados)
        l[id].porc1 = pct(de(f.digitadoAnterior, id), rclAnterior);
    l["00040"].porc1 = legal;
    l["00030"].porc1 = prudencial;

    e.ultrapassado = recalcula(l, &Figuras::valor, &Figuras::porc);
    recalcula(l, &Figuras::valor1, &Figuras::porc1);
    return e;
}

Moeda BancoGerado::razao(const QString& prefixo, int ate) const {
    nq::demo::Centavos s = 0;
    for (const auto& l : e_.diario)
        if (l.balco.startsWith(prefixo) && l.data.month() <= ate)
            s += l.credito - l.debito;
    return centavos(s);
}

Moeda BancoGerado::aberturaDoRazao(const QString& prefixo) const {
    nq::demo::Centavos s = 0;
    for (const auto& l : e_.diario)
        if (l.balco.startsWith(prefixo) && l.ie >= 1 && l.ie <= 3)
            s += l.credito - l.debito;
    return centavos(s);
}

Moeda BancoGerado::caixa(const QString& prefixo, bool soAbertura) const {
    std::map<int, QString> balcos;
    for (const auto& c : e_.contas)
        balcos[c.conta] = c.balco;
    nq::demo::Centavos s = 0;
    for (const auto& m : e_.movimentos)
        if (balcos[m.conta].startsWith(prefixo) &&
            (!soAbertura || (m.data.month() == 1 && m.data.day() == 1)))
            s += m.credito - m.debito;
    return centavos(s);
}

bool BancoGerado::foraDaReserva(const nq::demo::Empenho& emp) const {
    return e_.reservaVisivel == "T" || !deReserva(e_, emp);
}

std::array<Moeda, 3> BancoGerado::aPagar(const QDate& dia) const {
    std::array<Moeda, 3> r{};
    for (const auto& emp : e_.empenhos) {
        if (emp.valor <= 0 || emp.tpem == "RD" || emp.data > dia || !foraDaReserva(emp))
            continue;
        nq::demo::Centavos anulado = 0, liquidado = 0, pago = 0;
        for (const auto& a : e_.empenhos)
            if (a.pkempa == emp.pkemp && a.valor < 0 && a.data <= dia)
                anulado -= a.valor;
        for (const auto& l : e_.liquidacoes)
            if (l.pkemp == emp.pkemp && l.data <= dia)
                liquidado += l.valor;
        for (const auto& p : e_.pagamentos)
            if (p.pkemp == emp.pkemp && p.data <= dia)
                pago += p.valor;
        const nq::demo::Centavos apagar = emp.valor - anulado - pago;
        if (apagar == 0)
            continue;
        r[0] += centavos(apagar);
        r[1] += centavos(liquidado - pago);
        r[2] += centavos(apagar - (liquidado - pago));
    }
    return r;
}

Moeda BancoGerado::restosAnteriores() const {
    std::map<int, QString> balcos;
    for (const auto& f : e_.fichasDespesa)
        balcos[f.ficha] = f.balco;
    nq::demo::Centavos s = 0;
    for (const auto& emp : e_.empenhos)
        if (balcos[emp.ficha].startsWith("3211") && foraDaReserva(emp))
            s += emp.valor;
    return centavos(s);
}

void BancoGerado::preenche(Fontes& f, int mes) const {
    for (const char* p : {"3822", "3833", "3841", "341", "3241"}) {
        f.razao[p] = razao(p, mes);
        f.aberturaDoRazao[p] = aberturaDoRazao(p);
    }
    const std::array<std::array<const char*, 3>, 6> caixas = {{{"00400", "3111", "3115"},
                                                               {"00410", "3112", "3112"},
                                                               {"00420", "3113", "3113"},
                                                               {"00430", "3121", "3121"},
                                                               {"00440", "3114", "3114"},
                                                               {"00450", "", ""}}};
    for (const auto& [id, ano, abertura] : caixas) {
        f.caixa[id] = caixa(ano, false);
        f.aberturaDoCaixa[id] = caixa(abertura, true);
    }
    const auto [total, processados, naoProcessados] =
        aPagar(QDate(e_.ano, mes, 1).addMonths(1).addDays(-1));
    f.aPagar = total;
    f.processados = processados;
    f.naoProcessados = naoProcessados;
    f.restosAnteriores = restosAnteriores();
}

namespace {

Moeda doMes(Moeda base, int i) {
    return base + Moeda::deDezMilesimos(i * 3700);
}

} // namespace

void gravaDp(const QString& arquivo, Moeda pessoal, Moeda inativos) {
    QTemporaryDir t;
    nq::PreparaAnexo10(t.path() + '/');
    nq::ClientDataSet dp;
    dp.loadFromFile(nq::caminhoArquivo(t.path() + '/', nq::ArquivoDigitado::Anexo10));
    for (const auto& [id, base] : {std::pair{"00170", pessoal}, std::pair{"00250", inativos}}) {
        if (!dp.locate("ID", nq::Value(id)))
            throw nq::Erro(QStringLiteral("O arquivo do anexo 10 não tem a linha %1.").arg(id));
        dp.edit();
        for (int i = 1; i <= 24; ++i)
            dp.fieldByName("VALOR" + QString::number(i)).setAsCurrency(doMes(base, i));
        dp.post();
    }
    dp.saveToFile(arquivo);
}

Moeda somaDoDp(Moeda base, int de, int ate) {
    Moeda s;
    for (int i = de; i <= ate; ++i)
        s += doMes(base, i);
    return s;
}
