#include "demo/roteiro.h"

#include "core/erro.h"

#include <QRegularExpression>

namespace nq::demo {

namespace {

QString semComentarios(const QString& texto) {
    static const QRegularExpression comentarios(QStringLiteral("--[^\\n]*|/\\*.*?\\*/"),
                                                QRegularExpression::DotMatchesEverythingOption);
    return QString(texto).remove(comentarios).trimmed();
}

} // namespace

QStringList divideRoteiro(const QString& roteiro) {
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList comandos;
    QString terminador = QStringLiteral(";");
    QString atual;
    int i = 0;
    const int n = roteiro.size();
    auto fecha = [&] {
        const QString comando = atual.trimmed();
        atual.clear();
        const QString essencial = semComentarios(comando);
        if (essencial.isEmpty())
            return;
        const auto m = setTerm.match(essencial);
        if (m.hasMatch())
            terminador = m.captured(1);
        else
            comandos << comando;
    };
    while (i < n) {
        const QChar c = roteiro[i];
        if (c == '\'' || c == '"') {
            const int fim = roteiro.indexOf(c, i + 1);
            if (fim < 0)
                throw Erro(QStringLiteral("Roteiro SQL com texto entre aspas não terminado."));
            atual += roteiro.mid(i, fim - i + 1);
            i = fim + 1;
        } else if (roteiro.mid(i, 2) == QLatin1String("--")) {
            const int fim = roteiro.indexOf('\n', i);
            const int ate = fim < 0 ? n : fim;
            atual += roteiro.mid(i, ate - i);
            i = ate;
        } else if (roteiro.mid(i, 2) == QLatin1String("/*")) {
            const int fim = roteiro.indexOf(QLatin1String("*/"), i + 2);
            if (fim < 0)
                throw Erro(QStringLiteral("Roteiro SQL com comentário não terminado."));
            atual += roteiro.mid(i, fim + 2 - i);
            i = fim + 2;
        } else if (roteiro.mid(i, terminador.size()) == terminador) {
            i += terminador.size();
            fecha();
        } else {
            atual += c;
            ++i;
        }
    }
    if (!semComentarios(atual).isEmpty())
        throw Erro(QStringLiteral("Roteiro SQL termina sem \"%1\": %2")
                       .arg(terminador, atual.trimmed().left(60)));
    return comandos;
}

} // namespace nq::demo
