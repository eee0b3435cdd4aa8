#pragma once

#include "db/firebird.h"

#include <QString>
#include <QTemporaryDir>

namespace nq::teste {

// The user and password every database of the family is reached with.
fb::ParametrosConexao parametrosFamilia(const QString& conjunto = {});

// Creates `caminho` as a WIN1252 database holding the few tables these tests
// read: CADCLI (one record), PARAMEDU, RECEIT, DESPES and TIPOS (one column of
// each kind).
void criaBancoDeTeste(const QString& caminho, const QString& municipio = QString::fromUtf8(
                                                  "Câmara Municipal de São João d'Aliança"));

// A temporary family tree: <dir>/VEXO_8/ARQ<ano>/VEXO<ano>.FDB for the years
// asked, and a Vexo.ini in local mode installed for the life of the object.
class ArvoreVexo {
public:
    explicit ArvoreVexo(int ano = 2008);
    ~ArvoreVexo();
    ArvoreVexo(const ArvoreVexo&) = delete;
    ArvoreVexo& operator=(const ArvoreVexo&) = delete;

    QString raiz() const { return dir_.path() + QStringLiteral("/VEXO_8/"); }
    QString caminhoBanco(int ano) const;
    void criaBanco(int ano, const QString& municipio);
    // Rewrites Vexo.ini; an empty `ano` keeps the tree's year.
    void escreveIni(const QString& linhasExtras = {}, const QString& ano = {});

private:
    QTemporaryDir dir_;
    int ano_;
};

} // namespace nq::teste
