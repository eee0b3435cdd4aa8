#include "db/consultas.h"

#include "db/conexao.h"

namespace nq {

Moeda ConsultaValor(TCRSQLConnection& conexao, const QString& sql) {
    ConsultaSql c = conexao.consulta(sql);
    if (!c.proxima() || c.linha().quantidadeColunas() == 0)
        return {};
    return c.linha().moeda(0);
}

Moeda ConsultaValor(TCRSQLConnection& conexao, const QString& sql, const QString& campo) {
    ConsultaSql c = conexao.consulta(sql);
    const int i = c.linha().indiceObrigatorio(campo);
    if (!c.proxima())
        return {};
    return c.linha().moeda(i);
}

QString FiltroReservaEmpenho(const QString& tabela) {
    return QStringLiteral("(%1.TPEM<>'RD') AND (COALESCE(%1.PKEMPA, 0) NOT IN (%2)) AND ")
        .arg(tabela, SubconsultaReservaEmpenho());
}

QString SubconsultaReservaEmpenho() {
    return QStringLiteral("SELECT PKEMP FROM DESPES WHERE DESPES.TPEM='RD'");
}

bool MostraEmpenhosReserva(TCRSQLConnection& conexao) {
    ConsultaSql c = conexao.consulta(QStringLiteral("SELECT RD FROM PARAMEDU"));
    // Only "T" shows them, as the setting dialog reads it: "S" or "t" must not bring
    // reserve commitments back into the figures.
    return c.proxima() && c.linha().texto(0).trimmed() == QLatin1String("T");
}

QString dataSql(const QDate& data) {
    return data.toString(QStringLiteral("dd.MM.yyyy"));
}

QString dataSqlMDA(const QDate& data) {
    return data.toString(QStringLiteral("MM/dd/yyyy"));
}

QString ultimoDiaDoAnoSql(int ano) {
    return QStringLiteral("31.12.") + QString::number(ano);
}

QString textoSql(const QString& texto) {
    return QLatin1Char('\'') + QString(texto).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

} // namespace nq
