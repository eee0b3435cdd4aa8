#include "core/erro.h"
#include "tables/formaspacote.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace nq::formas {

namespace {

// RowState bits of change-log rows.
constexpr int LinhaApagada = 2;
constexpr int LinhaModificada = 8;

struct TipoXml {
    const char* fieldtype;
    const char* subtype;
};

TipoXml tipoXml(FieldKind tipo) {
    switch (tipo) {
    case FieldKind::Text:
        return {"string", nullptr};
    case FieldKind::Money:
        return {"r8", "Money"};
    case FieldKind::Integer:
        return {"i4", nullptr};
    case FieldKind::Float:
        return {"r8", nullptr};
    case FieldKind::FormattedMemo:
        return {"bin.hex", "Formatted"};
    }
    return {"", nullptr};
}

QString textoDoValor(const Value& v) {
    if (const double* d = std::get_if<double>(&v.dados()))
        return QString::number(*d, 'g', QLocale::FloatingPointShortest);
    return v.asString();
}

bool declaraOutraCodificacao(const QByteArray& bytes) {
    static const QRegularExpression encoding(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const auto m = encoding.match(QString::fromLatin1(bytes.left(200)));
    return m.hasMatch() && m.captured(1).compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) != 0;
}

// Legacy packets.
QString de1252(const QByteArray& bytes) {
    // 0x80..0x9F differ from Latin-1; undefined codes stay as their C1 controls.
    static const char16_t faixa[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString texto(bytes.size(), Qt::Uninitialized);
    QChar* destino = texto.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *destino++ = (u >= 0x80 && u < 0xA0) ? QChar(faixa[u - 0x80]) : QChar(u);
    }
    return texto;
}

// Checked piece by piece, so a large packet is not decoded twice.
bool ehUtf8(const QByteArray& bytes) {
    constexpr qsizetype Pedaco = 1 << 20;
    QStringDecoder utf8(QStringDecoder::Utf8);
    for (qsizetype i = 0; i < bytes.size() && !utf8.hasError(); i += Pedaco) {
        const QString parte =
            utf8(QByteArrayView(bytes).sliced(i, std::min(Pedaco, bytes.size() - i)));
        Q_UNUSED(parte);
    }
    return !utf8.hasError();
}

class LeitorXml {
public:
    // UTF-8 unless the bytes are not valid UTF-8 or the declaration names another
    // encoding: packets of older installations are in Windows-1252.
    LeitorXml(const QByteArray& bytes, const QString& arquivo) : arquivo_(arquivo) {
        if (!declaraOutraCodificacao(bytes) && ehUtf8(bytes))
            xml_.addData(bytes);
        else
            xml_.addData(de1252(bytes));
    }

    Dados le() {
        if (!proximoElemento() || xml_.name() != QLatin1String("DATAPACKET"))
            estrangeiro();
        bool temCampos = false, temLinhas = false;
        while (proximoFilho()) {
            if (xml_.name() == QLatin1String("METADATA")) {
                leMetadados();
                temCampos = true;
            } else if (xml_.name() == QLatin1String("ROWDATA")) {
                if (!temCampos)
                    falha(QStringLiteral("os dados vêm antes da definição dos campos"));
                leLinhas();
                temLinhas = true;
            } else {
                xml_.skipCurrentElement();
            }
        }
        while (!xml_.atEnd())
            xml_.readNext();
        verificaXml();
        if (!temCampos || dados_.campos() == 0)
            falha(QStringLiteral("não há definição de campos"));
        if (!temLinhas)
            falha(QStringLiteral("falta a seção de dados (ROWDATA)"));
        return std::move(dados_);
    }

private:
    void leMetadados() {
        while (proximoFilho()) {
            if (xml_.name() == QLatin1String("FIELDS")) {
                while (proximoFilho()) {
                    if (xml_.name() == QLatin1String("FIELD"))
                        leCampo();
                    xml_.skipCurrentElement();
                }
            } else {
                xml_.skipCurrentElement(); // PARAMS
            }
        }
    }

    void leCampo() {
        const QXmlStreamAttributes a = xml_.attributes();
        FieldDef def;
        def.name = a.value(QLatin1String("attrname")).toString();
        if (def.name.isEmpty())
            falha(QStringLiteral("há um campo sem nome"));
        const QString tipo = a.value(QLatin1String("fieldtype")).toString().toLower();
        const QString subtipo = a.value(QLatin1String("SUBTYPE")).toString();
        if (tipo == QLatin1String("string"))
            def.kind = FieldKind::Text;
        else if (tipo == QLatin1String("i4"))
            def.kind = FieldKind::Integer;
        else if (tipo == QLatin1String("r8"))
            def.kind = subtipo.compare(QLatin1String("Money"), Qt::CaseInsensitive) == 0
                           ? FieldKind::Money
                           : FieldKind::Float;
        else if (tipo == QLatin1String("bin.hex") &&
                 subtipo.compare(QLatin1String("Formatted"), Qt::CaseInsensitive) == 0)
            def.kind = FieldKind::FormattedMemo;
        else
            falha(QStringLiteral("o campo %1 tem o tipo desconhecido \"%2%3\"")
                      .arg(def.name, tipo, subtipo.isEmpty() ? QString() : '/' + subtipo));
        if (def.kind == FieldKind::Text && a.hasAttribute(QLatin1String("WIDTH"))) {
            bool ok = false;
            def.size = a.value(QLatin1String("WIDTH")).toInt(&ok);
            if (!ok || def.size <= 0)
                falha(QStringLiteral("o campo %1 tem largura inválida").arg(def.name));
        }
        def.required = a.value(QLatin1String("required")) == QLatin1String("true");
        try {
            dados_.acrescentaCampo(def);
        } catch (const Erro& e) {
            falha(e.texto());
        }
    }

    void leLinhas() {
        int ultima = -1;
        while (proximoFilho()) {
            if (xml_.name() != QLatin1String("ROW")) {
                xml_.skipCurrentElement();
                continue;
            }
            ++ordinal_;
            const QXmlStreamAttributes a = xml_.attributes();
            const int estado = a.value(QLatin1String("RowState")).toInt();
            xml_.skipCurrentElement();
            if (estado & LinhaApagada)
                continue;
            // A modification carries only the changed fields of the row before it.
            const bool modifica = (estado & LinhaModificada) && ultima >= 0;
            const int linha = modifica ? ultima : dados_.acrescentaLinha();
            for (const QXmlStreamAttribute& atributo : a)
                defineValor(linha, atributo);
            ultima = linha;
        }
    }

    void defineValor(int linha, const QXmlStreamAttribute& atributo) {
        if (atributo.name() == QLatin1String("RowState"))
            return;
        const int campo = dados_.indiceDoCampo(atributo.name().toString());
        if (campo < 0)
            falha(QStringLiteral("a linha %1 dos dados tem o valor de um campo que não existe (%2)")
                      .arg(ordinal_)
                      .arg(atributo.name().toString()));
        try {
            dados_.define(linha, campo, Value(atributo.value().toString()));
        } catch (const Erro& e) {
            falha(QStringLiteral("linha %1 dos dados: %2").arg(ordinal_).arg(e.texto()));
        }
    }

    bool proximoElemento() {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement())
                return true;
        }
        verificaXml();
        return false;
    }

    bool proximoFilho() {
        const bool ha = xml_.readNextStartElement();
        verificaXml();
        return ha;
    }

    void verificaXml() {
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            falha(QStringLiteral("o arquivo está incompleto"));
        if (xml_.hasError())
            falha(QStringLiteral("XML inválido na linha %1: %2")
                      .arg(xml_.lineNumber())
                      .arg(xml_.errorString()));
    }

    [[noreturn]] void estrangeiro() {
        verificaXml();
        throw Erro(QStringLiteral("O arquivo \"%1\" não é um pacote de dados.").arg(arquivo_));
    }

    [[noreturn]] void falha(const QString& motivo) {
        throw Erro(QStringLiteral("O arquivo \"%1\" não é um pacote de dados válido: %2.")
                       .arg(arquivo_, motivo));
    }

    QXmlStreamReader xml_;
    QString arquivo_;
    Dados dados_;
    int ordinal_ = 0;
};

} // namespace

bool pareceXml(const QByteArray& bytes) {
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && QChar::isSpace(static_cast<unsigned char>(bytes[i])))
        ++i;
    return i < bytes.size() && bytes[i] == '<';
}

Dados leXml(const QByteArray& bytes, const QString& arquivo) {
    return LeitorXml(bytes, arquivo).le();
}

void gravaXml(const Dados& dados, QIODevice& saida) {
    // Written to text and passed on in large pieces: much faster than letting
    // the writer call the device for every attribute.
    QString texto = QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\n");
    QXmlStreamWriter xml(&texto);
    const auto descarrega = [&texto, &saida](qsizetype minimo) {
        if (texto.size() < minimo)
            return;
        const QByteArray bytes = texto.toUtf8();
        if (saida.write(bytes) != bytes.size())
            throw Erro(QStringLiteral("falha ao escrever os dados (%1).").arg(saida.errorString()));
        texto.clear();
    };
    xml.writeStartElement(QStringLiteral("DATAPACKET"));
    xml.writeAttribute(QStringLiteral("Version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("METADATA"));
    xml.writeStartElement(QStringLiteral("FIELDS"));
    static const QRegularExpression nomeXml(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    std::vector<int> persistentes;
    for (int c = 0; c < dados.campos(); ++c) {
        const FieldDef& def = dados.def(c);
        if (def.calculated)
            continue;
        // Values are attributes named after their field.
        if (!nomeXml.match(def.name).hasMatch())
            throw Erro(
                QStringLiteral("o nome do campo \"%1\" não serve como nome em XML.").arg(def.name));
        persistentes.push_back(c);
        const TipoXml tipo = tipoXml(def.kind);
        xml.writeEmptyElement(QStringLiteral("FIELD"));
        xml.writeAttribute(QStringLiteral("attrname"), def.name);
        xml.writeAttribute(QStringLiteral("fieldtype"), QLatin1String(tipo.fieldtype));
        if (def.required)
            xml.writeAttribute(QStringLiteral("required"), QStringLiteral("true"));
        if (tipo.subtype)
            xml.writeAttribute(QStringLiteral("SUBTYPE"), QLatin1String(tipo.subtype));
        if (def.kind == FieldKind::Text && def.size > 0)
            xml.writeAttribute(QStringLiteral("WIDTH"), QString::number(def.size));
    }
    xml.writeEndElement(); // FIELDS
    xml.writeEmptyElement(QStringLiteral("PARAMS"));
    xml.writeEndElement(); // METADATA
    xml.writeStartElement(QStringLiteral("ROWDATA"));
    for (int l = 0; l < dados.linhas(); ++l) {
        xml.writeEmptyElement(QStringLiteral("ROW"));
        for (int c : persistentes) {
            if (dados.coluna(c).nulo(l))
                continue;
            xml.writeAttribute(dados.def(c).name, textoDoValor(dados.valor(l, c)));
        }
        descarrega(1 << 18);
    }
    xml.writeEndElement(); // ROWDATA
    xml.writeEndElement(); // DATAPACKET
    xml.writeCharacters(QStringLiteral("\n"));
    if (xml.hasError())
        throw Erro(QStringLiteral("um texto tem caracteres que o XML não admite."));
    descarrega(0);
}

} // namespace nq::formas
