#pragma once

#include "db/conexao.h"

#include <QString>
#include <QStringList>

namespace nq::teste {

// Runs `comandos` on the database `banco` as its owner: the program's user only
// reads, the tests change the data.
inline void executaComoDono(const QString& banco, const QStringList& comandos) {
    TCRSQLConnection dono;
    dono.Params = TCRSQLConnection::parametrosPadrao();
    dono.setParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    dono.setParam(QStringLiteral("Database"), banco);
    for (const QString& sql : comandos)
        dono.ExecuteDirect(sql);
}
inline void executaComoDono(const QString& banco, const QString& sql) {
    executaComoDono(banco, QStringList{sql});
}

} // namespace nq::teste
