#include "db/firebird_interno.h"

#include "core/erro.h"
#include "db/codificacao.h"

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace nq::fb {

using namespace interno;

// ---------------------------------------------------------------- LeitorDeLinha

void LeitorDeLinha::preparaColunas(Banco& banco, IMessageMetadata* meta) {
    banco_ = &banco;
    Status st;
    const unsigned n = meta->getCount(&st);
    colunas_.clear();
    posicoes_.clear();
    colunas_.reserve(n);
    posicoes_.reserve(n);
    const Codificacao& cod = banco.codificacao();
    for (unsigned i = 0; i < n; ++i) {
        const unsigned tipo = meta->getType(&st, i) & ~1u;
        const int escala = meta->getScale(&st, i);
        const int subtipo = meta->getSubType(&st, i);
        Coluna c;
        const char* apelido = meta->getAlias(&st, i);
        const char* campo = meta->getField(&st, i);
        c.nome = cod.decodifica(apelido, static_cast<qsizetype>(std::strlen(apelido)));
        c.campo = cod.decodifica(campo, static_cast<qsizetype>(std::strlen(campo)));
        c.anulavel = meta->isNullable(&st, i);
        const unsigned comprimento = meta->getLength(&st, i);
        switch (tipo) {
        case SQL_TEXT:
        case SQL_VARYING: {
            c.tipo = TipoColuna::Texto;
            const unsigned conjunto = meta->getCharSet(&st, i); // 4 UTF8, 3 UNICODE_FSS
            const unsigned porCaractere = conjunto == 4 ? 4u : conjunto == 3 ? 3u : 1u;
            c.comprimento = static_cast<int>(comprimento / porCaractere);
            break;
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            c.tipo = escala < 0 ? TipoColuna::Decimal : TipoColuna::Inteiro;
            c.escala = -escala;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            c.tipo = TipoColuna::Duplo;
            break;
        case SQL_TYPE_DATE:
            c.tipo = TipoColuna::Data;
            break;
        case SQL_TYPE_TIME:
            c.tipo = TipoColuna::Hora;
            break;
        case SQL_TIMESTAMP:
            c.tipo = TipoColuna::Momento;
            break;
        case SQL_BLOB:
            c.tipo = subtipo == 1 ? TipoColuna::TextoLongo : TipoColuna::Binario;
            break;
        case SQL_BOOLEAN:
            c.tipo = TipoColuna::Logico;
            break;
        case SQL_NULL:
            c.tipo = TipoColuna::Texto;
            break;
        default:
            throw Erro(
                QStringLiteral("Tipo de coluna %1 (%2) não suportado.").arg(c.nome).arg(tipo));
        }
        colunas_.push_back(c);
        posicoes_.push_back({tipo, static_cast<unsigned>(subtipo), comprimento,
                             meta->getOffset(&st, i), meta->getNullOffset(&st, i)});
    }
    buffer_.assign(meta->getMessageLength(&st), 0);
}

int LeitorDeLinha::indice(const QString& nome) const {
    for (int i = 0; i < quantidadeColunas(); ++i)
        if (colunas_[i].nome.compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int LeitorDeLinha::indiceObrigatorio(const QString& nome) const {
    const int i = indice(nome);
    if (i < 0)
        throw Erro(QStringLiteral("Campo não encontrado no resultado: %1").arg(nome));
    return i;
}

bool LeitorDeLinha::ehNulo(int i) const {
    const Posicao& p = posicoes_.at(i);
    return p.tipoSql == SQL_NULL || le<short>(buffer_.data() + p.deslocamentoNulo) != 0;
}

const unsigned char* LeitorDeLinha::campoBruto(int i) const {
    return buffer_.data() + posicoes_.at(i).deslocamento;
}

namespace {
[[noreturn]] void naoConverte(const Coluna& c, const char* para) {
    throw Erro(QStringLiteral("O campo %1 não pode ser lido como %2.")
                   .arg(c.nome, QString::fromLatin1(para)));
}
} // namespace

QByteArray LeitorDeLinha::leBlob(int i) const {
    QByteArray dados;
    IBlob* blob = nullptr;
    try {
        Status st;
        ISC_QUAD id = le<ISC_QUAD>(campoBruto(i));
        blob = banco_->interface()->openBlob(&st, tr_, &id, 0, nullptr);
        char pedaco[32768];
        for (;;) {
            unsigned lidos = 0;
            const int r = blob->getSegment(&st, sizeof pedaco, pedaco, &lidos);
            if (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT)
                break;
            dados.append(pedaco, static_cast<qsizetype>(lidos));
        }
        blob->close(&st);
    } catch (const FbException& e) {
        if (blob)
            blob->release();
        falhaNoComando(e, {});
    }
    return dados;
}

QString LeitorDeLinha::texto(int i) const {
    if (ehNulo(i))
        return {};
    const Posicao& p = posicoes_[i];
    const unsigned char* b = campoBruto(i);
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Texto:
        if (p.tipoSql == SQL_VARYING)
            return banco_->codificacao().decodifica(reinterpret_cast<const char*>(b) + 2,
                                                    le<uint16_t>(b));
        {
            // CHAR comes padded with blanks up to its length.
            qsizetype n = p.comprimento;
            while (n > 0 && b[n - 1] == ' ')
                --n;
            return banco_->codificacao().decodifica(reinterpret_cast<const char*>(b), n);
        }
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return textoEscalado(inteiroBruto(p.tipoSql, b), c.escala);
    case TipoColuna::Duplo:
        return QString::number(duplo(i), 'g', 17);
    case TipoColuna::Data:
        return data(i).toString(Qt::ISODate);
    case TipoColuna::Hora:
        return hora(i).toString(QStringLiteral("hh:mm:ss"));
    case TipoColuna::Momento:
        return momento(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case TipoColuna::TextoLongo: {
        const QByteArray d = leBlob(i);
        return banco_->codificacao().decodifica(d.constData(), d.size());
    }
    case TipoColuna::Binario:
        return QString::fromLatin1(leBlob(i).toHex());
    case TipoColuna::Logico:
        return logico(i) ? QStringLiteral("True") : QStringLiteral("False");
    }
    return {};
}

int64_t LeitorDeLinha::inteiro(int i) const {
    if (ehNulo(i))
        return 0;
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Inteiro:
        return inteiroBruto(posicoes_[i].tipoSql, campoBruto(i));
    case TipoColuna::Decimal:
        return divideArredondando(inteiroBruto(posicoes_[i].tipoSql, campoBruto(i)),
                                  potencia10(c.escala));
    case TipoColuna::Duplo:
        return std::llround(duplo(i));
    case TipoColuna::Logico:
        return logico(i) ? 1 : 0;
    case TipoColuna::Texto: {
        bool ok = false;
        const int64_t v = texto(i).trimmed().toLongLong(&ok);
        if (ok)
            return v;
        break;
    }
    default:
        break;
    }
    naoConverte(c, "número inteiro");
}

Moeda LeitorDeLinha::moeda(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return Moeda::deEscalado(inteiroBruto(posicoes_[i].tipoSql, campoBruto(i)), c.escala);
    case TipoColuna::Duplo:
        return Moeda::deDouble(duplo(i));
    case TipoColuna::Texto:
        if (const auto m = Moeda::deTexto(texto(i)))
            return *m;
        break;
    default:
        break;
    }
    naoConverte(c, "valor");
}

double LeitorDeLinha::duplo(int i) const {
    if (ehNulo(i))
        return 0;
    const Posicao& p = posicoes_[i];
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Duplo:
        return p.tipoSql == SQL_FLOAT ? le<float>(campoBruto(i)) : le<double>(campoBruto(i));
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return static_cast<double>(inteiroBruto(p.tipoSql, campoBruto(i))) /
               static_cast<double>(potencia10(c.escala));
    case TipoColuna::Texto: {
        bool ok = false;
        const double v = texto(i).trimmed().toDouble(&ok);
        if (ok)
            return v;
        break;
    }
    default:
        break;
    }
    naoConverte(c, "número");
}

bool LeitorDeLinha::logico(int i) const {
    if (ehNulo(i))
        return false;
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Logico:
        return *campoBruto(i) != 0;
    case TipoColuna::Inteiro:
        return inteiro(i) != 0;
    case TipoColuna::Texto: {
        const QString t = texto(i).trimmed();
        return t.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 ||
               t.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
               t.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1");
    }
    default:
        break;
    }
    naoConverte(c, "lógico");
}

QDate LeitorDeLinha::data(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Data)
        return paraData(le<ISC_DATE>(campoBruto(i)));
    if (c.tipo == TipoColuna::Momento)
        return paraData(le<ISC_TIMESTAMP>(campoBruto(i)).timestamp_date);
    naoConverte(c, "data");
}

QTime LeitorDeLinha::hora(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Hora)
        return paraHora(le<ISC_TIME>(campoBruto(i)));
    if (c.tipo == TipoColuna::Momento)
        return paraHora(le<ISC_TIMESTAMP>(campoBruto(i)).timestamp_time);
    naoConverte(c, "hora");
}

QDateTime LeitorDeLinha::momento(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Momento) {
        const auto ts = le<ISC_TIMESTAMP>(campoBruto(i));
        return QDateTime(paraData(ts.timestamp_date), paraHora(ts.timestamp_time));
    }
    if (c.tipo == TipoColuna::Data)
        return QDateTime(data(i), QTime(0, 0));
    naoConverte(c, "data e hora");
}

QByteArray LeitorDeLinha::bytes(int i) const {
    if (ehNulo(i))
        return {};
    if (colunas_[i].tipo == TipoColuna::Binario)
        return leBlob(i);
    return texto(i).toUtf8();
}

// ---------------------------------------------------------------- Cursor

Cursor::Cursor(Banco& banco, Transacao& t, IResultSet* rs) : rs_(rs) {
    tr_ = t.interface();
    try {
        Status st;
        meta_ = rs_->getMetadata(&st);
        preparaColunas(banco, meta_);
    } catch (const FbException& e) {
        fecha();
        falhaNoComando(e, {});
    } catch (...) {
        fecha();
        throw;
    }
}

Cursor::Cursor(Cursor&& o) noexcept : LeitorDeLinha(std::move(o)), rs_(o.rs_), meta_(o.meta_) {
    o.rs_ = nullptr;
    o.meta_ = nullptr;
}

Cursor& Cursor::operator=(Cursor&& o) noexcept {
    if (this != &o) {
        fecha();
        LeitorDeLinha::operator=(std::move(o));
        rs_ = o.rs_;
        meta_ = o.meta_;
        o.rs_ = nullptr;
        o.meta_ = nullptr;
    }
    return *this;
}

Cursor::~Cursor() {
    fecha();
}

bool Cursor::proxima() {
    if (!rs_)
        return false;
    try {
        Status st;
        return rs_->fetchNext(&st, buffer_.data()) == IStatus::RESULT_OK;
    } catch (const FbException& e) {
        falhaNoComando(e, {});
    }
}

void Cursor::fecha() {
    if (meta_) {
        meta_->release();
        meta_ = nullptr;
    }
    if (!rs_)
        return;
    try {
        Status st;
        rs_->close(&st);
    } catch (const FbException&) {
        rs_->release();
    }
    rs_ = nullptr;
}

} // namespace nq::fb
