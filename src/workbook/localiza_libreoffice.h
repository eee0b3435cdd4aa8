#pragma once

#include <QString>
#include <QStringList>

namespace nq {

// Where LibreOffice is looked for when no setting names it.
struct LugaresDoLibreOffice {
    // Directories searched for "soffice", "libreoffice" and "libreoffice<versão>" (the
    // launchers the packages put on PATH).
    QStringList path;
    // Installation directories, in order; a name ending with "*" stands for every
    // directory it matches, newest version first.
    QStringList instalacoes;

    // PATH, then /usr/lib/libreoffice, /usr/lib64/libreoffice, /opt/libreoffice*.
    static LugaresDoLibreOffice doSistema();
};

// The key of corfoco.ini ([TCE]) that names the LibreOffice to use.
inline constexpr const char* ChaveLibreOffice = "LIBREOFFICE";

// The office program (soffice.bin) to start. `indicado`, when not empty, names it: soffice.bin,
// the soffice launcher or a link to it, its program directory or its installation directory;
// nothing else is tried then. Throws nq::Erro saying where it looked when none is found.
QString localizaLibreOffice(const QString& indicado = {},
                            const LugaresDoLibreOffice& onde = LugaresDoLibreOffice::doSistema());

// Whether localizaLibreOffice(indicado) finds one.
bool libreOfficeInstalado(const QString& indicado = {});

} // namespace nq
