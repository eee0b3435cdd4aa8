#include "annexes/anexo3/anexo3.h"

#include "annexes/anexo3/planilha_anexo3.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/consultas.h"
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

// The lines valued by a month series, with their statements (month number appended).
struct Serie {
    const char* id;
    const char* sql;
};
const Serie Series[] = {
    {"00010", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha INNER JOIN TABEMPRESA T on t.EMPRESA = f.EMPRESA where f.codre "
              "like '1%' and t.ADM IN ('D') AND T.TIPO <> '2' and extract(month from r.dtlan)="},
    {"00030", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha INNER JOIN TABEMPRESA T on t.EMPRESA = f.EMPRESA where f.codre "
              "like '1%' and t.ADM IN ('I') and t.tipo in ('5') and extract(month from "
              "r.dtlan)="},
    {"00040", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha INNER JOIN TABEMPRESA T on t.EMPRESA = f.EMPRESA where f.codre "
              "like '1%' and t.adm in ('I') and t.TIPO IN ('6') and extract(month from "
              "r.dtlan)="},
    {"00050", "select sum(r.varec) as varec from receit r  inner join recdis f on "
              "f.ficha=r.ficha  inner join tabempresa t on t.empresa = f.empresa  where f.codre "
              "like '1%' and t.adm in ('I')  and t.tipo not in ('5','6')  and extract(month from "
              "r.dtlan)="},
    {"00080", "select sum(r.varec) as varec from receit r  inner join recdis f on "
              "f.ficha=r.ficha where f.codre like '171%' and f.tipo='TI'  and extract(month from "
              "r.dtlan)="},
    {"00090", "select sum(r.varec) as varec from receit r  inner join recdis f on "
              "f.ficha=r.ficha where   ((substring(f.codre from 1 for 10) in "
              "('1210.29.07','1210.29.08','1210.29.09','1210.29.10','1210.29.11','1210.29.12'))"
              "     or    (f.codre like '12%' and f.tipo='CS') ) and extract(month from "
              "r.dtlan)="},
    {"00100", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha where   ((f.codre like '1210.46%') or (f.codre like '12%' and "
              "f.tipo='CF')) and extract(month from r.dtlan)="},
    {"00110", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha where (f.codre like '1724%' and f.tipo='FU') and extract(month "
              "from r.dtlan)="},
    {"00120", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha where (f.tipo='RP') and extract(month from r.dtlan)="},
    {"00130", "select sum(r.varec) as varec from receit r inner join recdis f on "
              "f.ficha=r.ficha where (f.tipo='OD') and extract(month from r.dtlan)="},
};

const QString Deducoes = QStringLiteral(
    "select sum(varec)as varec from receit inner join recdis on recdis.ficha=receit.ficha "
    "where (recdis.codre like '97%' OR recdis.codre like '95%') and extract(month from "
    "receit.dtlan)=");
const QString DeducoesAnteriores = QStringLiteral(
    "select sum(varec)as VADEM from receit inner join recdis on recdis.ficha=receit.ficha "
    "where (recdis.codre like '97%' OR recdis.codre like '95%') and extract(month from "
    "receit.dtlan)=");
const QString Fundef = QStringLiteral(
    "select sum(varec)as varec from receit inner join recdis on recdis.ficha=receit.ficha "
    "where recdis.codre like '1724%' and extract(month from receit.dtlan)=");

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

QString sufixoDoSlot(int k) {
    return k == 0 ? QString() : QString::number(k);
}

Moeda regraDoFundef(Moeda serie, Moeda fundef, Moeda deducoes) {
    if (fundef <= Moeda())
        return serie;
    return fundef > deducoes ? deducoes : fundef;
}

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

    cdsImp.first();
    int posicao = 2;
    for (const Serie& s : Series) {
        if (posicao > 2)
            passo(posicao);
        ++posicao;
        valores(QString::fromLatin1(s.id), QString::fromLatin1(s.sql), QStringLiteral("varec"));
    }
}

Moeda TImpAnexo3::consulta(bool anoAnterior, const QString& sql, int mes, const QString& coluna) {
    ++comandos_;
    return ConsultaValor(anoAnterior ? dm().ConexaoAnt : dm().Conexao, sql + QString::number(mes),
                         coluna);
}

void TImpAnexo3::valores(const QString& id, const QString& sql, const QString& coluna) {
    localiza(cdsImp, id);
    cdsImp.edit();
    const int l = 2 * bimestre();
    const bool camara = lancador().camaraLegislativa();
    const QString receita = cdsImp.fieldByName(Receita).asString();
    for (int i = l; i >= 1; --i) {
        const int k = slotAtual(l, i);
        // A chamber runs the statement too, but only its typed figures count.
        const Moeda banco = consulta(false, sql, i, coluna);
        const Moeda base = camara ? valorDoSlot(cdsImp, k).asCurrency() : banco;
        mesDoSlot(cdsImp, k).setAsString(nomeDoMes(i));
        valorDoSlot(cdsImp, k).setAsCurrency(base + digitado(cdsDig, receita, i));
    }
    const bool comAnterior = dm().ConexaoAnt.Connected() && !camara;
    for (int j = l - 1; j <= 12; ++j) {
        const int k = slotAnterior(l, j);
        const Moeda base =
            comAnterior ? consulta(true, sql, j, coluna) : valorDoSlot(cdsImp, k).asCurrency();
        mesDoSlot(cdsImp, k).setAsString(nomeDoMes(j));
        valorDoSlot(cdsImp, k).setAsCurrency(base + digitado(cdsDigAnt, receita, j));
    }
    cdsImp.post();
}

void TImpAnexo3::LIQUIDO() {
    localiza(cdsImp, QStringLiteral("00110"));
    cdsImp.edit();
    const int l = 2 * bimestre();
    for (int i = l; i >= 1; --i) {
        Field slot = valorDoSlot(cdsImp, slotAtual(l, i));
        const Moeda d = -consulta(false, Deducoes, i, QStringLiteral("varec"));
        const Moeda f = consulta(false, Fundef, i, QStringLiteral("varec"));
        slot.setAsCurrency(regraDoFundef(slot.asCurrency(), f, d));
    }
    if (dm().ConexaoAnt.Connected() && !lancador().camaraLegislativa()) {
        for (int j = l - 1; j <= 12; ++j) {
            Field slot = valorDoSlot(cdsImp, slotAnterior(l, j));
            const Moeda d = -consulta(true, DeducoesAnteriores, j, QStringLiteral("vadem"));
            const Moeda f = consulta(true, Fundef, j, QStringLiteral("varec"));
            slot.setAsCurrency(regraDoFundef(slot.asCurrency(), f, d));
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
