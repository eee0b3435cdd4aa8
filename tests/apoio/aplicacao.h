#pragma once

#include <QApplication>

// The widgets need one application object for the whole test program; it lives
// until the process ends.
inline void garanteAplicacao() {
    static int argc = 1;
    static char nome[] = "nq404_testes";
    static char* argv[] = {nome, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}
