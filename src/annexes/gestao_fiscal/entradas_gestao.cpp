#include "annexes/gestao_fiscal/entradas_gestao.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"

#include <QFileInfo>

namespace nq {

namespace {

const QString Id = QStringLiteral("ID");

// The twelve month slots of an RCL file's line: mes, mes1 ... mes11.
Moeda dozeMeses(ClientDataSet& rcl) {
    Moeda total;
    for (int k = 0; k < 12; ++k)
        total += rcl.fieldByName(QStringLiteral("MES") + (k ? QString::number(k) : QString()))
                     .asCurrency();
    return total;
}

// VALORde ... VALORate of the line `id` of a DP file; nullopt without the line.
std::optional<Moeda> mesesDaLinha(ClientDataSet& dp, const QString& id, int de, int ate) {
    if (!dp.active() || !dp.locate(Id, Value(id)))
        return std::nullopt;
    Moeda total;
    for (int i = de; i <= ate; ++i)
        total += dp.fieldByName(QStringLiteral("VALOR") + QString::number(i)).asCurrency();
    return total;
}

const QString SemDespesaAnterior =
    QStringLiteral("Atenção a Despesa com Pessoal do Ano anterior não foi encontrada! Entre no "
                   "ano anterior e recalcule o ultimo bimestre!");

void avisa(const QString& texto) {
    mensagens().mostra(texto, QStringLiteral("Atenção"), Icone::Exclamacao);
}

} // namespace

EntradasDaGestao::EntradasDaGestao(QString diretorio, QString diretorioAnterior,
                                   PeriodoDaGestao periodo, QString exercicio,
                                   QString anoDoPrograma)
    : diretorio_(std::move(diretorio)), diretorioAnterior_(std::move(diretorioAnterior)),
      periodo_(periodo), exercicio_(std::move(exercicio)),
      anoDoPrograma_(std::move(anoDoPrograma)) {}

QString EntradasDaGestao::arquivoRcl() const {
    return arquivoNoDiretorio(diretorio_,
                              QStringLiteral("NQ404_RCL%1.XML").arg(periodo_.bimestre()));
}

QString EntradasDaGestao::arquivoRclAnterior() const {
    return arquivoNoDiretorio(diretorioAnterior_, QStringLiteral("NQ404_RCL6.XML"));
}

QString EntradasDaGestao::arquivoDp() const {
    return arquivoNoDiretorio(diretorio_,
                              QStringLiteral("NQ404_DP%1.XML").arg(periodo_.mesComDoisDigitos()));
}

QString EntradasDaGestao::arquivoDivida() const {
    return arquivoNoDiretorio(
        diretorio_, QStringLiteral("NQ404_Anexo5_Especificacao_%1_2.XML").arg(exercicio_));
}

QString EntradasDaGestao::bimestreDaDivida() const {
    return QStringLiteral("%1").arg(periodo_.bimestre(), 2, 10, QLatin1Char('0'));
}

QString EntradasDaGestao::mensagemDaDivida() const {
    return QStringLiteral("O Arquivo NQ404_Anexo5_Especificacao_") + exercicio_ +
           QStringLiteral("_2.XML, não foi encontrado\rPara obter este resultado Calcule "
                          "novamente o Anexo 5 do  Bimestre : ") +
           bimestreDaDivida();
}

QString EntradasDaGestao::carrega(ClientDataSet& tabela, const QString& arquivo,
                                  const QString& conselho) {
    tabela.close();
    tabela.setFilter({});
    tabela.setFiltered(false);
    tabela.setIndexFieldNames({});
    try {
        tabela.loadFromFile(arquivo);
        tabela.setIndexFieldNames(Id);
    } catch (const Erro& e) {
        tabela.close();
        return e.texto() + conselho;
    }
    return {};
}

QString EntradasDaGestao::confere(bool camara) {
    const QString mod3 = QStringLiteral("Calcule primeiramente o \"MOD 3 - RECEITA CORRENTE "
                                        "LIQUIDA\" do bimestre %1")
                             .arg(periodo_.bimestre());
    if (!camara) {
        if (!QFileInfo(arquivoRcl()).isFile())
            return mod3;
        if (QString erro = carrega(rcl_, arquivoRcl(), QStringLiteral(" : ") + mod3);
            !erro.isEmpty())
            return erro;
        rcl_.first();
        // A file of another bimester was left by an earlier run of annex 3.
        if (rcl_.isEmpty() ||
            rcl_.fieldByName(QStringLiteral("M")).asString() != periodo_.nomeDoMesFinal())
            return mod3 + QStringLiteral("º");
    }
    if (!QFileInfo(arquivoDp()).isFile())
        return QStringLiteral("Calcule primeiramente o \"Anexo 1 - MOD 10 - DESPESAS COM PESSOAL "
                              "E PREVIDENCIÁRIAS\" do mês %1")
            .arg(periodo_.mesFinal());
    if (QString erro = carrega(dp_, arquivoDp(),
                               QStringLiteral(" : Calcule novamente o Despesa com Pessoal para o "
                                              "Mes ") +
                                   periodo_.mesComDoisDigitos());
        !erro.isEmpty())
        return erro;
    // Without the debt file (or with a damaged one) the report still runs: the
    // debt reads 0 and the reading tells why.
    divida_.close();
    erroDaDivida_.clear();
    if (QFileInfo(arquivoDivida()).isFile())
        erroDaDivida_ = carrega(divida_, arquivoDivida(),
                                QStringLiteral(" : Calcule novamente o Anexo 5  Bimestre : ") +
                                    bimestreDaDivida());
    return {};
}

Moeda EntradasDaGestao::receita() const {
    if (!rcl_.active() || !rcl_.locate(Id, Value(QStringLiteral("00300"))))
        return {};
    return dozeMeses(rcl_);
}

Moeda EntradasDaGestao::receitaAnterior() const {
    const QString arquivo = arquivoRclAnterior();
    QString motivo;
    if (QFileInfo(arquivo).isFile()) {
        ClientDataSet rcl;
        motivo = carrega(rcl, arquivo, {});
        if (motivo.isEmpty())
            return rcl.locate(Id, Value(QStringLiteral("00300"))) ? dozeMeses(rcl) : Moeda();
        motivo += QLatin1Char('\r');
    }
    avisa(motivo +
          QStringLiteral("Atenção: A RCL do Exercicio Anterior não foi calculada, favor efetuar o "
                         "calculo do ultimo Bimestre do Exercicio Anterior. O Relatório será "
                         "gerado utilizando os dados Digitados da RCL."));
    const QString digitado = caminhoArquivo(diretorio_, ArquivoDigitado::Anexo3,
                                            QString::number(anoDoArquivo(anoDoPrograma_) - 1));
    ClientDataSet anexo3;
    if (!QFileInfo(digitado).isFile() || !carrega(anexo3, digitado, {}).isEmpty() ||
        !anexo3.locate(Id, Value(QStringLiteral("00300"))))
        return {};
    static const char* const meses[] = {"JANEIRO",  "FEVEREIRO", "MARCO",    "ABRIL",
                                        "MAIO",     "JUNHO",     "JULHO",    "AGOSTO",
                                        "SETEMBRO", "OUTUBRO",   "NOVEMBRO", "DEZEMBRO"};
    Moeda total;
    for (const char* mes : meses)
        total += anexo3.fieldByName(QString::fromLatin1(mes)).asCurrency();
    return total;
}

Moeda EntradasDaGestao::despesa(const QString& id) const {
    const int m = periodo_.mesFinal();
    const std::optional<Moeda> v = mesesDaLinha(dp_, id, m + 1, m + 12);
    if (!v && id == QLatin1String("00250"))
        avisa(SemDespesaAnterior);
    return v.value_or(Moeda());
}

Moeda EntradasDaGestao::despesaAnterior(const QString& id) const {
    const std::optional<Moeda> v = mesesDaLinha(dp_, id, 1, 12);
    if (!v)
        avisa(SemDespesaAnterior);
    return v.value_or(Moeda());
}

Moeda EntradasDaGestao::divida() const {
    if (!divida_.active()) {
        avisa(erroDaDivida_.isEmpty() ? mensagemDaDivida() : erroDaDivida_);
        return {};
    }
    if (!divida_.locate(Id, Value(QStringLiteral("00060"))))
        return {};
    return divida_.fieldByName(QStringLiteral("BIM") + QString::number(periodo_.bimestre()))
        .asCurrency();
}

Moeda EntradasDaGestao::dividaAnterior() const {
    // A missing file is not told twice; a damaged one is.
    if (!divida_.active() && !erroDaDivida_.isEmpty())
        avisa(erroDaDivida_);
    if (!divida_.active() || !divida_.locate(Id, Value(QStringLiteral("00060"))))
        return {};
    return divida_.fieldByName(QStringLiteral("EXERCICIO_ANTERIOR")).asCurrency();
}

DigitadosDaGestao::DigitadosDaGestao(const QString& diretorio, const PeriodoDaGestao& periodo) {
    if (!periodo.quadrimestral)
        return;
    const QString arquivo = caminhoArquivo(diretorio, ArquivoDigitado::GestaoFiscalDigitada);
    if (!QFileInfo(arquivo).isFile())
        PreparaGestaoFiscalDigitada(diretorio);
    ClientDataSet t;
    t.loadFromFile(caminhoArquivo(diretorio, ArquivoDigitado::GestaoFiscalDigitada));
    const QString quad = QStringLiteral("QUAD") + QString::number(periodo.numero);
    for (t.first(); !t.eof(); t.next())
        valores_.try_emplace(t.fieldByName(Id).asString(), t.fieldByName(quad).asCurrency(),
                             t.fieldByName(QStringLiteral("ANTERIOR")).asCurrency());
}

Moeda DigitadosDaGestao::atual(const QString& id) const {
    const auto v = valores_.find(id);
    return v == valores_.end() ? Moeda() : v->second.first;
}

Moeda DigitadosDaGestao::anterior(const QString& id) const {
    const auto v = valores_.find(id);
    return v == valores_.end() ? Moeda() : v->second.second;
}

} // namespace nq
