#include "core/erro.h"
#include "tables/formaspacote.h"

#include <QDataStream>

// Binary packet: the magic bytes, a format number, the fields (name, kind,
// width, required) and the rows, each value preceded by a presence byte.
// Everything through QDataStream at a fixed version, so the bytes never
// depend on the Qt release that wrote them.

namespace nq::formas {

namespace {

constexpr char Assinatura[] = "NQ404PKT";
constexpr qsizetype TamanhoAssinatura = sizeof(Assinatura) - 1;
constexpr quint32 VersaoDoFormato = 1;
constexpr quint32 MaximoDeCampos = 4096;

void configura(QDataStream& s) {
    s.setVersion(QDataStream::Qt_6_0);
    s.setByteOrder(QDataStream::LittleEndian);
}

void gravaValor(QDataStream& s, const Value& v) {
    s << static_cast<quint8>(v.isNull() ? 0 : 1);
    if (v.isNull())
        return;
    if (const auto* t = std::get_if<QString>(&v.dados()))
        s << *t;
    else if (const auto* m = std::get_if<Moeda>(&v.dados()))
        s << static_cast<qint64>(m->dezMilesimos());
    else if (const auto* i = std::get_if<int32_t>(&v.dados()))
        s << static_cast<qint32>(*i);
    else
        s << std::get<double>(v.dados());
}

class LeitorBinario {
public:
    LeitorBinario(const QByteArray& bytes, const QString& arquivo) : s_(bytes), arquivo_(arquivo) {
        configura(s_);
        s_.skipRawData(TamanhoAssinatura);
    }

    Dados le() {
        quint32 versao = 0, campos = 0, linhas = 0;
        s_ >> versao;
        verifica();
        if (versao != VersaoDoFormato)
            falha(QStringLiteral("versão %1 do formato não é conhecida").arg(versao));
        s_ >> campos;
        verifica();
        if (campos == 0 || campos > MaximoDeCampos)
            falha(QStringLiteral("número de campos inválido (%1)").arg(campos));
        for (quint32 c = 0; c < campos; ++c)
            leCampo();
        s_ >> linhas;
        verifica();
        // Every value takes at least its presence byte: a corrupt count cannot
        // make the reservation larger than the file.
        dados_.reservaLinhas(static_cast<int>(
            std::min<qint64>(linhas, s_.device()->bytesAvailable() / dados_.campos())));
        for (quint32 l = 0; l < linhas; ++l) {
            const int linha = dados_.acrescentaLinha();
            for (int c = 0; c < dados_.campos(); ++c)
                leValor(linha, c);
            verifica();
        }
        if (!s_.atEnd())
            falha(QStringLiteral("há bytes além do fim dos dados"));
        return std::move(dados_);
    }

private:
    void leCampo() {
        FieldDef def;
        quint8 tipo = 0;
        qint32 largura = 0;
        bool obrigatorio = false;
        s_ >> def.name >> tipo >> largura >> obrigatorio;
        verifica();
        if (tipo > static_cast<quint8>(FieldKind::FormattedMemo))
            falha(QStringLiteral("o campo %1 tem o tipo desconhecido %2").arg(def.name).arg(tipo));
        def.kind = static_cast<FieldKind>(tipo);
        def.size = largura;
        def.required = obrigatorio;
        try {
            dados_.acrescentaCampo(def);
        } catch (const Erro& e) {
            falha(e.texto());
        }
    }

    void leValor(int linha, int campo) {
        quint8 presente = 0;
        s_ >> presente;
        if (!presente)
            return;
        Value v;
        switch (dados_.def(campo).kind) {
        case FieldKind::Text:
        case FieldKind::FormattedMemo: {
            QString t;
            s_ >> t;
            v = Value(t);
            break;
        }
        case FieldKind::Money: {
            qint64 m = 0;
            s_ >> m;
            v = Value(Moeda::deDezMilesimos(m));
            break;
        }
        case FieldKind::Integer: {
            qint32 i = 0;
            s_ >> i;
            v = Value(static_cast<int32_t>(i));
            break;
        }
        case FieldKind::Float: {
            double d = 0;
            s_ >> d;
            v = Value(d);
            break;
        }
        }
        verifica();
        try {
            dados_.define(linha, campo, v);
        } catch (const Erro& e) {
            falha(QStringLiteral("linha %1 dos dados: %2").arg(linha + 1).arg(e.texto()));
        }
    }

    void verifica() {
        if (s_.status() == QDataStream::ReadPastEnd)
            falha(QStringLiteral("o arquivo está incompleto"));
        if (s_.status() != QDataStream::Ok)
            falha(QStringLiteral("os dados estão corrompidos"));
    }

    [[noreturn]] void falha(const QString& motivo) {
        throw Erro(QStringLiteral("O arquivo \"%1\" não é um pacote de dados válido: %2.")
                       .arg(arquivo_, motivo));
    }

    QDataStream s_;
    QString arquivo_;
    Dados dados_;
};

} // namespace

bool pareceBinario(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayView(Assinatura, TamanhoAssinatura));
}

Dados leBinario(const QByteArray& bytes, const QString& arquivo) {
    return LeitorBinario(bytes, arquivo).le();
}

void gravaBinario(const Dados& dados, QIODevice& saida) {
    QDataStream s(&saida);
    configura(s);
    s.writeRawData(Assinatura, TamanhoAssinatura);
    std::vector<int> persistentes;
    for (int c = 0; c < dados.campos(); ++c)
        if (!dados.def(c).calculated)
            persistentes.push_back(c);
    s << VersaoDoFormato << static_cast<quint32>(persistentes.size());
    for (int c : persistentes) {
        const FieldDef& def = dados.def(c);
        s << def.name << static_cast<quint8>(def.kind) << static_cast<qint32>(def.size)
          << def.required;
    }
    s << static_cast<quint32>(dados.linhas());
    for (int l = 0; l < dados.linhas(); ++l)
        for (int c : persistentes)
            gravaValor(s, dados.valor(l, c));
    if (s.status() != QDataStream::Ok)
        throw Erro(QStringLiteral("falha ao escrever os dados (%1).").arg(saida.errorString()));
}

} // namespace nq::formas
