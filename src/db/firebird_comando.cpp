#include "db/firebird_interno.h"

#include "core/erro.h"
#include "db/codificacao.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

using namespace Firebird;

namespace nq::fb {

using namespace interno;

// ---------------------------------------------------------------- Comando

Comando::Comando(Banco& banco, IStatement* st, const QString& sql)
    : banco_(&banco), st_(st), sql_(sql) {
    try {
        Status s;
        meta_ = st_->getInputMetadata(&s);
        const unsigned n = meta_->getCount(&s);
        for (unsigned i = 0; i < n; ++i) {
            Parametro p{meta_->getType(&s, i) & ~1u,
                        static_cast<unsigned>(meta_->getSubType(&s, i)),
                        meta_->getLength(&s, i),
                        meta_->getOffset(&s, i),
                        meta_->getNullOffset(&s, i),
                        meta_->getScale(&s, i),
                        0,
                        {},
                        false};
            const unsigned conjunto = meta_->getCharSet(&s, i);
            p.caracteres = p.comprimento / (conjunto == 4 ? 4 : conjunto == 3 ? 3 : 1);
            p.ehBlob = p.tipoSql == SQL_BLOB;
            params_.push_back(p);
        }
        buffer_.assign(meta_->getMessageLength(&s), 0);
        for (int i = 0; i < quantidadeParametros(); ++i)
            defineNulo(i);
    } catch (const FbException& e) {
        libera();
        falhaNoComando(e, sql_);
    }
}

Comando::Comando(Comando&& o) noexcept
    : banco_(o.banco_), st_(o.st_), meta_(o.meta_), params_(std::move(o.params_)),
      buffer_(std::move(o.buffer_)), sql_(std::move(o.sql_)) {
    o.st_ = nullptr;
    o.meta_ = nullptr;
}

Comando& Comando::operator=(Comando&& o) noexcept {
    if (this != &o) {
        libera();
        banco_ = o.banco_;
        st_ = std::exchange(o.st_, nullptr);
        meta_ = std::exchange(o.meta_, nullptr);
        params_ = std::move(o.params_);
        buffer_ = std::move(o.buffer_);
        sql_ = std::move(o.sql_);
    }
    return *this;
}

Comando::~Comando() {
    libera();
}

void Comando::libera() {
    if (meta_)
        meta_->release();
    meta_ = nullptr;
    if (!st_)
        return;
    try {
        Status s;
        st_->free(&s);
    } catch (const FbException&) {
        st_->release();
    }
    st_ = nullptr;
}

unsigned char* Comando::campo(int i) {
    if (i < 0 || i >= quantidadeParametros())
        throw Erro(QStringLiteral("Parâmetro %1 inexistente no comando.").arg(i + 1));
    return buffer_.data() + params_[i].deslocamento;
}

void Comando::marcaNaoNulo(int i) {
    escreve<short>(buffer_.data() + params_[i].deslocamentoNulo, 0);
}

void Comando::exigeTipo(int i, bool aceito, const char* tipo) const {
    if (!aceito)
        throw Erro(QStringLiteral("O parâmetro %1 do comando não aceita %2.")
                       .arg(i + 1)
                       .arg(QString::fromUtf8(tipo)));
}

void Comando::defineNulo(int i) {
    campo(i);
    escreve<short>(buffer_.data() + params_[i].deslocamentoNulo, -1);
    params_[i].blobTexto.clear();
}

namespace {
bool ehInteiroSql(unsigned t) {
    return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64;
}

void escreveInteiro(unsigned tipo, unsigned char* p, int64_t v, int parametro) {
    const auto fora = [&] {
        throw Erro(
            QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(parametro + 1));
    };
    switch (tipo) {
    case SQL_SHORT:
        if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
            fora();
        escreve<int16_t>(p, static_cast<int16_t>(v));
        break;
    case SQL_LONG:
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            fora();
        escreve<int32_t>(p, static_cast<int32_t>(v));
        break;
    default:
        escreve<int64_t>(p, v);
    }
}
} // namespace

void Comando::define(int i, const QString& v) {
    unsigned char* p = campo(i);
    Parametro& par = params_[i];
    if (par.ehBlob) {
        par.blobTexto = v;
        marcaNaoNulo(i);
        return;
    }
    exigeTipo(i, par.tipoSql == SQL_TEXT || par.tipoSql == SQL_VARYING, "texto");
    const QByteArray b = banco_->codificacao().codifica(v);
    if (static_cast<unsigned>(b.size()) > par.comprimento ||
        static_cast<unsigned>(v.toUcs4().size()) > par.caracteres)
        throw Erro(QStringLiteral("O texto \"%1\" é longo demais para o parâmetro %2 do comando.")
                       .arg(v.left(60))
                       .arg(i + 1));
    if (par.tipoSql == SQL_VARYING) {
        escreve<uint16_t>(p, static_cast<uint16_t>(b.size()));
        std::memcpy(p + 2, b.constData(), static_cast<size_t>(b.size()));
    } else {
        std::memset(p, ' ', par.comprimento);
        std::memcpy(p, b.constData(), static_cast<size_t>(b.size()));
    }
    marcaNaoNulo(i);
}

void Comando::defineInteiro(int i, int64_t v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (ehInteiroSql(par.tipoSql)) {
        const int escala = -par.escala;
        if (escala > 18 || (escala > 0 && std::llabs(v) > std::numeric_limits<int64_t>::max() /
                                                              potencia10(escala)))
            throw Erro(QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(i + 1));
        escreveInteiro(par.tipoSql, p, v * potencia10(escala), i);
    } else if (par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT) {
        define(i, static_cast<double>(v));
        return;
    } else if (par.tipoSql == SQL_TEXT || par.tipoSql == SQL_VARYING) {
        define(i, QString::number(v));
        return;
    } else {
        exigeTipo(i, false, "número inteiro");
    }
    marcaNaoNulo(i);
}

void Comando::define(int i, Moeda v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT) {
        define(i, v.paraDouble());
        return;
    }
    exigeTipo(i, ehInteiroSql(par.tipoSql), "valor");
    const int escala = -par.escala;
    int64_t bruto = v.dezMilesimos();
    if (escala < 4) {
        const int64_t d = potencia10(4 - escala);
        if (bruto % d != 0)
            throw Erro(QStringLiteral("O valor %1 tem mais casas decimais do que o parâmetro %2 "
                                      "aceita (%3).")
                           .arg(v.texto(4))
                           .arg(i + 1)
                           .arg(escala));
        bruto /= d;
    } else if (escala > 4) {
        const int64_t m = potencia10(escala - 4);
        if (std::llabs(bruto) > std::numeric_limits<int64_t>::max() / m)
            throw Erro(QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(i + 1));
        bruto *= m;
    }
    escreveInteiro(par.tipoSql, p, bruto, i);
    marcaNaoNulo(i);
}

void Comando::define(int i, double v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    exigeTipo(i, par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT,
              "número de ponto flutuante");
    if (par.tipoSql == SQL_FLOAT)
        escreve<float>(p, static_cast<float>(v));
    else
        escreve<double>(p, v);
    marcaNaoNulo(i);
}

void Comando::define(int i, bool v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (ehInteiroSql(par.tipoSql) && par.escala == 0) {
        escreveInteiro(par.tipoSql, p, v ? 1 : 0, i);
    } else {
        exigeTipo(i, par.tipoSql == SQL_BOOLEAN, "valor lógico");
        *p = v ? 1 : 0;
    }
    marcaNaoNulo(i);
}

void Comando::define(int i, const QDate& v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (par.tipoSql == SQL_TIMESTAMP) {
        define(i, QDateTime(v, QTime(0, 0)));
        return;
    }
    exigeTipo(i, par.tipoSql == SQL_TYPE_DATE, "data");
    escreve<ISC_DATE>(p, deData(v));
    marcaNaoNulo(i);
}

void Comando::define(int i, const QTime& v) {
    unsigned char* p = campo(i);
    exigeTipo(i, params_[i].tipoSql == SQL_TYPE_TIME, "hora");
    escreve<ISC_TIME>(p, deHora(v));
    marcaNaoNulo(i);
}

void Comando::define(int i, const QDateTime& v) {
    unsigned char* p = campo(i);
    exigeTipo(i, params_[i].tipoSql == SQL_TIMESTAMP, "data e hora");
    ISC_TIMESTAMP ts;
    ts.timestamp_date = deData(v.date());
    ts.timestamp_time = deHora(v.time());
    escreve<ISC_TIMESTAMP>(p, ts);
    marcaNaoNulo(i);
}

namespace {
// Writes the pending text blobs of a run and puts their ids into the message.
void gravaBlobs(Banco& banco, ITransaction* tr, std::vector<unsigned char>& buffer,
                const std::vector<unsigned>& deslocamentos, const std::vector<QByteArray>& dados) {
    for (size_t k = 0; k < deslocamentos.size(); ++k) {
        IBlob* blob = nullptr;
        try {
            Status st;
            ISC_QUAD id;
            blob = banco.interface()->createBlob(&st, tr, &id, 0, nullptr);
            const QByteArray& d = dados[k];
            for (qsizetype pos = 0; pos < d.size(); pos += 32768) {
                const qsizetype n = std::min<qsizetype>(32768, d.size() - pos);
                blob->putSegment(&st, static_cast<unsigned>(n), d.constData() + pos);
            }
            blob->close(&st);
            escreve<ISC_QUAD>(buffer.data() + deslocamentos[k], id);
        } catch (const FbException& e) {
            if (blob)
                blob->release();
            falhaNoComando(e, {});
        }
    }
}
} // namespace

void Comando::executa(Transacao& t) {
    std::vector<unsigned> deslocamentos;
    std::vector<QByteArray> dados;
    for (int i = 0; i < quantidadeParametros(); ++i) {
        const Parametro& p = params_[i];
        if (p.ehBlob && le<short>(buffer_.data() + p.deslocamentoNulo) == 0) {
            deslocamentos.push_back(p.deslocamento);
            dados.push_back(p.subtipo == 1 ? banco_->codificacao().codifica(p.blobTexto)
                                           : p.blobTexto.toUtf8());
        }
    }
    gravaBlobs(*banco_, t.interface(), buffer_, deslocamentos, dados);
    try {
        Status st;
        st_->execute(&st, t.interface(), meta_, buffer_.data(), nullptr, nullptr);
    } catch (const FbException& e) {
        falhaNoComando(e, sql_);
    }
}

Cursor Comando::abre(Transacao& t) {
    try {
        Status st;
        IResultSet* rs = st_->openCursor(&st, t.interface(), meta_, buffer_.data(), nullptr, 0);
        return Cursor(*banco_, t, rs);
    } catch (const FbException& e) {
        falhaNoComando(e, sql_);
    }
}

} // namespace nq::fb