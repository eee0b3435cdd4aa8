#include "db/sqlclientdataset.h"

#include "core/erro.h"
#include "db/conexao.h"

#include <limits>

namespace nq {

namespace {

FieldKind tipoDoCampo(const fb::Coluna& c) {
    switch (c.tipo) {
    case fb::TipoColuna::Decimal:
        return FieldKind::Money;
    case fb::TipoColuna::Inteiro:
        return FieldKind::Integer;
    case fb::TipoColuna::Duplo:
        return FieldKind::Float;
    case fb::TipoColuna::Binario:
        throw Erro(
            QStringLiteral("O campo %1 é binário e não pode ser lido numa tabela.").arg(c.nome));
    default:
        return FieldKind::Text;
    }
}

int larguraDoCampo(const fb::Coluna& c) {
    switch (c.tipo) {
    case fb::TipoColuna::Texto:
        return c.comprimento;
    case fb::TipoColuna::Data:
        return 10;
    case fb::TipoColuna::Hora:
        return 8;
    case fb::TipoColuna::Momento:
        return 19;
    case fb::TipoColuna::Logico:
        return 5;
    default:
        return 0;
    }
}

Value valorDoCampo(const fb::LeitorDeLinha& l, int i) {
    if (l.ehNulo(i))
        return {};
    const fb::Coluna& c = l.coluna(i);
    switch (c.tipo) {
    case fb::TipoColuna::Decimal:
        return l.moeda(i);
    case fb::TipoColuna::Inteiro: {
        const int64_t v = l.inteiro(i);
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            throw Erro(
                QStringLiteral("O valor %1 do campo %2 não cabe num inteiro.").arg(v).arg(c.nome));
        return static_cast<int32_t>(v);
    }
    case fb::TipoColuna::Duplo:
        return l.duplo(i);
    case fb::TipoColuna::Data:
        return l.data(i).toString(QStringLiteral("dd/MM/yyyy"));
    case fb::TipoColuna::Hora:
        return l.hora(i).toString(QStringLiteral("hh:mm:ss"));
    case fb::TipoColuna::Momento:
        return l.momento(i).toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    default:
        return l.texto(i);
    }
}

QString nomeUnico(const QString& nome, const QStringList& usados) {
    if (!usados.contains(nome, Qt::CaseInsensitive))
        return nome;
    for (int k = 1;; ++k) {
        const QString outro = nome + QLatin1Char('_') + QString::number(k);
        if (!usados.contains(outro, Qt::CaseInsensitive))
            return outro;
    }
}

} // namespace

void ProvedorConexao::preenche(const QString& comando, ClientDataSet& tabela) {
    if (!conexao_)
        throw Erro(QStringLiteral("%1 não tem conexão com o banco de dados.").arg(tabela.name()));
    ConsultaSql consulta = conexao_->consulta(comando);
    const fb::LeitorDeLinha& linha = consulta.linha();
    tabela.clearFields();
    QStringList nomes;
    for (const fb::Coluna& c : linha.colunas()) {
        nomes.append(nomeUnico(c.nome, nomes));
        tabela.addField(nomes.back(), tipoDoCampo(c), larguraDoCampo(c));
    }
    tabela.createDataSet();
    std::vector<Value> valores(static_cast<size_t>(linha.quantidadeColunas()));
    tabela.disableControls();
    try {
        while (consulta.proxima()) {
            for (int i = 0; i < linha.quantidadeColunas(); ++i)
                valores[static_cast<size_t>(i)] = valorDoCampo(linha, i);
            tabela.appendRecord(valores);
        }
    } catch (...) {
        tabela.enableControls();
        throw;
    }
    tabela.enableControls();
}

SQLClientDataSet::SQLClientDataSet(const QString& name, TCRSQLConnection* conexao)
    : ClientDataSet(name), provedor_(conexao) {
    setConnection(conexao);
}

void SQLClientDataSet::setConnection(TCRSQLConnection* conexao) {
    provedor_.defineConexao(conexao);
    setProvider(conexao ? &provedor_ : nullptr);
}

void SQLClientDataSet::ExecSQL() {
    if (!connection())
        throw Erro(QStringLiteral("%1 não tem conexão com o banco de dados.").arg(name()));
    connection()->ExecuteDirect(commandText());
}

} // namespace nq
