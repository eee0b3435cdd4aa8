#pragma once

#include <QApplication>

// The widgets need one application object for the whole test run.
inline void garanteAplicacao() {
    static int argc = 1;
    static char nome[] = "app_testes";
    static char* argv[] = {nome, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}
