#include "annexes/anexo3/anexo3.h"

#include "annexes/anexo3/planilha_anexo3.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "annexes/common/plano_figuras.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QPushButton>
#include <array>

namespace nq {

namespace {

const QString Id = QStringLiteral("ID");
const QString Receita = QStringLiteral("RECEITA");

const std::array<QString, 12> NomesDosMeses = {
    QStringLiteral("Janeiro"), QStringLiteral("Fevereiro"), QStringLiteral("Marco"),
    QStringLiteral("Abril"),   QStringLiteral("Maio"),      QStringLiteral("Junho"),
    QStringLiteral("Julho"),   QStringLiteral("Agosto"),    QStringLiteral("Setembro"),
    QStringLiteral("Outubro"), QStringLiteral("Novembro"),  QStringLiteral("Dezembro")};

const QString& nomeDoMes(int m) {
    return NomesDosMeses.at(m - 1);
}

// The statements of the annex: each one's text completed with a month number,
// kept in the pieces that let a figure plan read every month in one pass.
const QString CabecaDaSerie = QStringLiteral("select sum(r.varec) as varec from ");
const QString ComEntidade = QStringLiteral(
    "receit r inner join recdis f on f.ficha=r.ficha INNER JOIN TABEMPRESA T on t.EMPRESA = "
    "f.EMPRESA");
const QString ComEntidadeMinuscula =
    QStringLiteral("receit r  inner join recdis f on f.ficha=r.ficha  inner join tabempresa t "
                   "on t.empresa = f.empresa ");
const QString SemEntidade = QStringLiteral("receit r  inner join recdis f on f.ficha=r.ficha");
const QString SemEntidadeJunto = QStringLiteral("receit r inner join recdis f on f.ficha=r.ficha");

// One statement: head + origem + " where " + w + " and extract(month from " + data + ")=".
struct Mensal {
    QString cabeca;
    QString soma;
    QString origem;
    QString data;
    QString w;
    Etapas etapas;

    FormaDaSoma forma() const {
        const QString inicio = cabeca + origem + QStringLiteral(" where ") + w +
                               QStringLiteral(" and extract(month from ") + data +
                               QStringLiteral(")=");
        return {soma,
                origem,
                {},
                data,
                [inicio](const QString&, Meses m) { return inicio + QString::number(m.de); },
                etapas};
    }
};

// The items of a statement over receipts, as its FROM joins them after RECEIT.
Etapas itens(const QString& de, const QString& chave) {
    return {lancamentos::receitas(), de, chave, {}};
}

// A line's statement over the revenue items, with or without their entity.
Mensal daSerie(const QString& origem, const QString& w) {
    const bool comEntidade = origem.contains(QLatin1String("tabempresa"), Qt::CaseInsensitive);
    const QString de = comEntidade ? QStringLiteral("recdis f inner join tabempresa t on "
                                                    "t.empresa = f.empresa")
                                   : QStringLiteral("recdis f");
    return {CabecaDaSerie,
            QStringLiteral("sum(r.varec)"),
            origem,
            QStringLiteral("r.dtlan"),
            w,
            itens(de, QStringLiteral("f.ficha"))};
}

// The lines valued by a month series.
struct Serie {
    const char* id;
    Mensal mensal;
};
const std::vector<Serie>& series() {
    static const std::vector<Serie> s = {
        {"00010",
         daSerie(ComEntidade, QStringLiteral("f.codre like '1%' and t.ADM IN ('D') AND T.TIPO <> "
                                             "'2'"))},
        {"00030",
         daSerie(ComEntidade, QStringLiteral("f.codre like '1%' and t.ADM IN ('I') and t.tipo in "
                                             "('5')"))},
        {"00040",
         daSerie(ComEntidade, QStringLiteral("f.codre like '1%' and t.adm in ('I') and t.TIPO IN "
                                             "('6')"))},
        {"00050", daSerie(ComEntidadeMinuscula,
                          QStringLiteral("f.codre like '1%' and t.adm in ('I')  and t.tipo not in "
                                         "('5','6') "))},
        {"00080", daSerie(SemEntidade, QStringLiteral("f.codre like '171%' and f.tipo='TI' "))},
        {"00090",
         daSerie(SemEntidade,
                 QStringLiteral("  ((substring(f.codre from 1 for 10) in "
                                "('1210.29.07','1210.29.08','1210.29.09','1210.29.10','1210.29."
                                "11','1210.29.12'))     or    (f.codre like '12%' and "
                                "f.tipo='CS') )"))},
        {"00100", daSerie(SemEntidadeJunto,
                          QStringLiteral("  ((f.codre like '1210.46%') or (f.codre like '12%' and "
                                         "f.tipo='CF'))"))},
        {"00110",
         daSerie(SemEntidadeJunto, QStringLiteral("(f.codre like '1724%' and f.tipo='FU')"))},
        {"00120", daSerie(SemEntidadeJunto, QStringLiteral("(f.tipo='RP')"))},
        {"00130", daSerie(SemEntidadeJunto, QStringLiteral("(f.tipo='OD')"))},
    };
    return s;
}

// The FUNDEF rule's statements: deductions (named VADEM on the previous year) and receipts.
Mensal daRegra(const QString& apelido, const QString& w) {
    return {QStringLiteral("select sum(varec)as ") + apelido + QStringLiteral(" from "),
            QStringLiteral("sum(varec)"),
            QStringLiteral("receit inner join recdis on recdis.ficha=receit.ficha"),
            QStringLiteral("receit.dtlan"),
            w,
            itens(QStringLiteral("recdis"), QStringLiteral("recdis.ficha"))};
}
const QString CondicaoDasDeducoes =
    QStringLiteral("(recdis.codre like '97%' OR recdis.codre like '95%')");
const Mensal& deducoes() {
    static const Mensal m = daRegra(QStringLiteral("varec"), CondicaoDasDeducoes);
    return m;
}
const Mensal& deducoesAnteriores() {
    static const Mensal m = daRegra(QStringLiteral("VADEM"), CondicaoDasDeducoes);
    return m;
}
const Mensal& fundef() {
    static const Mensal m =
        daRegra(QStringLiteral("varec"), QStringLiteral("recdis.codre like '1724%'"));
    return m;
}

// The bimester the launcher holds, 1 to 6.
int bimestre() {
    bool ok = false;
    const int b = lancador().textoBimestre().left(2).trimmed().toInt(&ok);
    if (!ok || b < 1 || b > 6)
        throw Erro(QStringLiteral("Especifique o Bimestre!"));
    return b;
}

void localiza(ClientDataSet& t, const QString& id) {
    if (!t.locate(Id, Value(id)))
        throw Erro(QStringLiteral("A linha \"%1\" não está no arquivo do anexo 3.").arg(id));
}

// The typed figure of `mes` for the line `receita`, 0 when the file has no such line.
Moeda digitado(ClientDataSet& t, const QString& receita, int mes) {
    if (!t.locate(Receita, Value(receita)))
        return Moeda();
    return t.fieldByName(nomeDoMes(mes).toUpper()).asCurrency();
}

Field valorDoSlot(ClientDataSet& t, int k) {
    return t.fieldByName(QStringLiteral("MES") + sufixoDoSlot(k));
}

Field mesDoSlot(ClientDataSet& t, int k) {
    return t.fieldByName(QStringLiteral("M") + sufixoDoSlot(k));
}

// Slots of the months of each year, for a bimester ending in month `l`: the
// current year's months l .. 1, then the previous year's l − 1 .. 12.
int slotAtual(int l, int mes) {
    return l - mes;
}
int slotAnterior(int l, int mes) {
    return 12 + l - mes;
}

} // namespace

std::vector<FormaDaSoma> formasDoAnexo3(const QString& w) {
    std::vector<FormaDaSoma> r;
    for (const QString& origem : {ComEntidade, ComEntidadeMinuscula, SemEntidade, SemEntidadeJunto})
        r.push_back(daSerie(origem, w).forma());
    r.push_back(daRegra(QStringLiteral("varec"), w).forma());
    return r;
}

QString sufixoDoSlot(int k) {
    return k == 0 ? QString() : QString::number(k);
}

Moeda regraDoFundef(Moeda serie, Moeda fundef, Moeda deducoes) {
    if (fundef <= Moeda())
        return serie;
    return fundef > deducoes ? deducoes : fundef;
}

// The month figures of both years, asked of one plan per connection before any
// is read: the current year's months 1 to L of every series and of the FUNDEF
// rule (a chamber's too: the statements run, only the typed figures count), and
// the previous year's months L − 1 to 12 when it is connected and the entity is
// not a chamber.
struct TImpAnexo3::Figuras {
    Figuras(int l, bool comAnterior)
        : l(l), atual(dm().Conexao),
          anterior(comAnterior ? std::make_unique<PlanoDeFiguras>(dm().ConexaoAnt) : nullptr) {
        // Asked in the order the statements ran one by one: each series, the current
        // year from its last month back, then the FUNDEF rule month by month.
        for (size_t s = 0; s < series().size(); ++s) {
            const Mensal& m = series()[s].mensal;
            for (int mes = l; mes >= 1; --mes)
                pede(atual, m, mes, serie[s][0]);
            for (int mes = l - 1; anterior && mes <= 12; ++mes)
                pede(*anterior, m, mes, serie[s][1]);
        }
        for (int mes = l; mes >= 1; --mes) {
            pede(atual, deducoes(), mes, deducao[0]);
            pede(atual, fundef(), mes, receitaDoFundef[0]);
        }
        for (int mes = l - 1; anterior && mes <= 12; ++mes) {
            pede(*anterior, deducoesAnteriores(), mes, deducao[1]);
            pede(*anterior, fundef(), mes, receitaDoFundef[1]);
        }
    }
    using DoAno = std::array<PlanoDeFiguras::Figura, 13>; // by month
    using PorMes = std::array<DoAno, 2>;                  // [previous year][month]

    static void pede(PlanoDeFiguras& plano, const Mensal& m, int mes, DoAno& figuras) {
        figuras[static_cast<size_t>(mes)] = plano.pede(m.forma(), m.w, {mes, mes});
    }
    void resolve() {
        atual.resolve();
        if (anterior)
            anterior->resolve();
    }
    Moeda valor(const PorMes& figuras, bool doAnoAnterior, int mes) const {
        const PlanoDeFiguras& plano = doAnoAnterior ? *anterior : atual;
        return plano.valor(figuras[doAnoAnterior ? 1 : 0][static_cast<size_t>(mes)]);
    }
    int comandos() const { return atual.comandos() + (anterior ? anterior->comandos() : 0); }
    qint64 linhas() const { return atual.linhas() + (anterior ? anterior->linhas() : 0); }

    int l;
    PlanoDeFiguras atual;
    std::unique_ptr<PlanoDeFiguras> anterior;
    std::vector<PorMes> serie = std::vector<PorMes>(series().size());
    PorMes receitaDoFundef{};
    PorMes deducao{};
};

TImpAnexo3::TImpAnexo3(QWidget* dono)
    : QWidget(dono), relatorio4_(carregaLayout(QStringLiteral(":/anexo3/relatorio4.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo3"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo3::btncalculaClick);

    TppReport& r = *relatorio4_;
    r.ligaTabela(QStringLiteral("ppDBPipeline5"), cdsImp);
    r.OnPreviewFormClose = [this] { relatorio4PreviewFormClose(); };
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).OnCalc =
        [this](TppVariable&, Value& valor) { ppVariable1Calc(valor); };
    r.exige<TppVariable>(QStringLiteral("ppVariable2")).OnCalc =
        [this](TppVariable&, Value& valor) { ppVariable2Calc(valor); };
}

TImpAnexo3::~TImpAnexo3() = default;

QString TImpAnexo3::arquivoRcl(const QString& diretorio, const QString& digitoBimestre) {
    return diretorio + QStringLiteral("NQ404_RCL") + digitoBimestre + QStringLiteral(".XML");
}

void TImpAnexo3::btncalculaClick() {
    comandos_ = 0;
    linhas_ = 0;
    figuras_.reset();
    {
        AguardeRelatorio aguarde(this, 17);
        ReceitaLiquida(&aguarde);
        aguarde.passo(12);
        LIQUIDO();
        aguarde.passo(13);
        TOTALIZA(QStringLiteral("00020"), QStringLiteral("00030"), QStringLiteral("00050"));
        aguarde.passo(14);
        TOTALIZA(QStringLiteral("00060"), QStringLiteral("00010"), QStringLiteral("00020"));
        aguarde.passo(15);
        TOTALIZA(QStringLiteral("00140"), QStringLiteral("00080"), QStringLiteral("00130"));
        aguarde.passo(16);
        TOTALIZA(QStringLiteral("00300"), QStringLiteral("00060"), QStringLiteral("00140"));
    }
    comandos_ = figuras_->comandos();
    linhas_ = figuras_->linhas();
    figuras_.reset();

    QString exercicio;
    const bool camara = cabecalhos(exercicio);
    relatorio4_->Print();

    if (EstradaDoAnexo::perguntaPlanilha(camara) == EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo3(*planilha, lancador().caminhoPlanilha(), cdsImp, bimestre(), exercicio);
    }
}

void TImpAnexo3::ReceitaLiquida(AguardeRelatorio* aguarde) {
    const auto passo = [aguarde](int n) {
        if (aguarde)
            aguarde->passo(n);
    };
    cdsImp.close();
    cdsImp.clearFields();
    cdsImp.addField(Receita, FieldKind::Text, 10);
    cdsImp.addField(QStringLiteral("NOME"), FieldKind::Text, 45);
    cdsImp.addField(QStringLiteral("TIPO"), FieldKind::Text, 2);
    for (int k = 0; k < 14; ++k) {
        cdsImp.addField(QStringLiteral("M") + sufixoDoSlot(k), FieldKind::Text, 12);
        cdsImp.addField(QStringLiteral("MES") + sufixoDoSlot(k), FieldKind::Money);
    }
    cdsImp.addField(QStringLiteral("TITULO"), FieldKind::Text, 2);
    cdsImp.addField(Id, FieldKind::Text, 5);
    cdsImp.addField(QStringLiteral("FILTRO"), FieldKind::Text, 150);
    cdsImp.createDataSet();

    const QString dir = diretorioDados();
    const QString ano = anoExercicio();
    const QString anoAnterior = QString::number(anoDoArquivo(ano) - 1);
    PreparaAnexo3(dir, ano);
    PreparaAnexo3(dir, anoAnterior);
    passo(1);

    cdsDig.close();
    cdsDig.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo3, ano));
    cdsImp.disableControls();
    for (cdsDig.first(); !cdsDig.eof(); cdsDig.next()) {
        cdsImp.append();
        for (const QString& campo : {Receita, QStringLiteral("NOME"), QStringLiteral("TITULO"), Id})
            cdsImp.fieldByName(campo).setAsString(cdsDig.fieldByName(campo).asString());
        cdsImp.post();
    }
    cdsImp.enableControls();
    cdsDigAnt.close();
    cdsDigAnt.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo3, anoAnterior));
    passo(2);

    const bool comAnterior = dm().ConexaoAnt.Connected() && !lancador().camaraLegislativa();
    figuras_ = std::make_unique<Figuras>(2 * bimestre(), comAnterior);
    figuras_->resolve();

    cdsImp.first();
    int posicao = 2;
    for (const Serie& s : series()) {
        if (posicao > 2)
            passo(posicao);
        ++posicao;
        valores(QString::fromLatin1(s.id));
    }
}

void TImpAnexo3::valores(const QString& id) {
    size_t indice = 0;
    while (QString::fromLatin1(series()[indice].id) != id)
        ++indice;
    const Figuras::PorMes& figuras = figuras_->serie[indice];
    localiza(cdsImp, id);
    cdsImp.edit();
    const int l = figuras_->l;
    const bool camara = lancador().camaraLegislativa();
    const QString receita = cdsImp.fieldByName(Receita).asString();
    for (int i = l; i >= 1; --i) {
        const int k = slotAtual(l, i);
        // A chamber runs the statement too, but only its typed figures count.
        const Moeda banco = figuras_->valor(figuras, false, i);
        const Moeda base = camara ? valorDoSlot(cdsImp, k).asCurrency() : banco;
        mesDoSlot(cdsImp, k).setAsString(nomeDoMes(i));
        valorDoSlot(cdsImp, k).setAsCurrency(base + digitado(cdsDig, receita, i));
    }
    const bool comAnterior = figuras_->anterior != nullptr;
    for (int j = l - 1; j <= 12; ++j) {
        const int k = slotAnterior(l, j);
        const Moeda base =
            comAnterior ? figuras_->valor(figuras, true, j) : valorDoSlot(cdsImp, k).asCurrency();
        mesDoSlot(cdsImp, k).setAsString(nomeDoMes(j));
        valorDoSlot(cdsImp, k).setAsCurrency(base + digitado(cdsDigAnt, receita, j));
    }
    cdsImp.post();
}

void TImpAnexo3::LIQUIDO() {
    localiza(cdsImp, QStringLiteral("00110"));
    cdsImp.edit();
    const Figuras& f = *figuras_;
    const int l = f.l;
    for (int i = l; i >= 1; --i) {
        Field slot = valorDoSlot(cdsImp, slotAtual(l, i));
        const Moeda d = -f.atual.valor(f.deducao[0][static_cast<size_t>(i)]);
        slot.setAsCurrency(
            regraDoFundef(slot.asCurrency(), f.valor(f.receitaDoFundef, false, i), d));
    }
    if (f.anterior) {
        for (int j = l - 1; j <= 12; ++j) {
            Field slot = valorDoSlot(cdsImp, slotAnterior(l, j));
            const Moeda d = -f.anterior->valor(f.deducao[1][static_cast<size_t>(j)]);
            slot.setAsCurrency(
                regraDoFundef(slot.asCurrency(), f.valor(f.receitaDoFundef, true, j), d));
        }
    }
    cdsImp.post();
}

void TImpAnexo3::TOTALIZA(const QString& alvo, const QString& primeiro, const QString& ultimo) {
    std::array<Moeda, 14> total{};
    const auto acumula = [&](int sinal) {
        for (int k = 0; k < 14; ++k) {
            const Moeda v = valorDoSlot(cdsImp, k).asCurrency();
            total[k] = sinal > 0 ? total[k] + v : total[k] - v;
        }
    };
    if (alvo == QLatin1String("00300")) {
        localiza(cdsImp, primeiro);
        acumula(+1);
        localiza(cdsImp, ultimo);
        acumula(-1);
    } else {
        localiza(cdsImp, primeiro);
        for (; !cdsImp.eof(); cdsImp.next()) {
            const QString id = cdsImp.fieldByName(Id).asString();
            if (id < primeiro || id > ultimo)
                break;
            acumula(+1);
        }
    }
    localiza(cdsImp, alvo);
    cdsImp.edit();
    for (int k = 0; k < 14; ++k)
        valorDoSlot(cdsImp, k).setAsCurrency(total[k]);
    cdsImp.post();
}

bool TImpAnexo3::cabecalhos(QString& exercicio) {
    ClientDataSet& q = dm().qrCliente;
    q.close();
    q.open();
    if (q.isEmpty())
        throw Erro(QStringLiteral("O cadastro do município (tabela CADCLI) está vazio."));
    q.first();
    const QString nome = q.fieldByName(QStringLiteral("CLNT1")).asString();
    exercicio = q.fieldByName(QStringLiteral("MEXER")).asString().trimmed();
    TppReport& r = *relatorio4_;
    r.exige<TppLabel>(QStringLiteral("ppcli4")).Caption = nome;
    r.exige<TppLabel>(QStringLiteral("ppmuni4")).Caption =
        QStringLiteral("MUNICIPIO: ") + q.fieldByName(QStringLiteral("CID")).asString();
    r.exige<TppLabel>(QStringLiteral("pperi4")).Caption =
        lancador().digitoBimestre() + QStringLiteral("º BIMESTRE DE ") + anoExercicio();
    // The summary's heading names the five latest months, as the first line does.
    cdsImp.first();
    for (int k = 0; k <= 4; ++k)
        r.exige<TppLabel>(QStringLiteral("ppsm%1").arg(k)).Caption =
            mesDoSlot(cdsImp, k).asString();
    q.close();
    // This annex lower-cases the prefix, so "Câmara" is a chamber here too.
    const QString prefixo = nome.left(3).toLower();
    return prefixo == QStringLiteral("cam") || prefixo == QStringLiteral("câm");
}

void TImpAnexo3::ppVariable1Calc(Value& valor) {
    Moeda total;
    for (int k = 0; k <= 11; ++k)
        total += valorDoSlot(cdsImp, k).asCurrency();
    valor = Value(total);
}

void TImpAnexo3::ppVariable2Calc(Value& valor) {
    Moeda total;
    for (int k = 2; k <= 13; ++k)
        total += valorDoSlot(cdsImp, k).asCurrency();
    valor = Value(total);
}

void TImpAnexo3::relatorio4PreviewFormClose() {
    cdsImp.saveToFile(arquivoRcl(diretorioDados(), lancador().digitoBimestre()),
                      FormatoPacote::Binario);
}

} // namespace nq
