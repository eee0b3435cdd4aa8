#pragma once

#include <QDir>
#include <QFile>
#include <chrono>
#include <csignal>
#include <sys/types.h>
#include <thread>

namespace nq {

// Whether any live process (zombies do not count) belongs to process group `grupo`.
inline bool grupoVivo(pid_t grupo) {
    const auto entradas = QDir("/proc").entryList(QDir::Dirs);
    for (const auto& e : entradas) {
        bool numero = false;
        e.toInt(&numero);
        if (!numero)
            continue;
        QFile f("/proc/" + e + "/stat");
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // "pid (comm) state ppid pgrp ...": comm may hold blanks, so split after ')'.
        const auto campos = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (campos.size() > 2 && campos[0] != "Z" && campos[2].toInt() == grupo)
            return true;
    }
    return false;
}

// Stops a process (SIGSTOP) and waits until every thread of it has stopped, so
// that nothing it was about to do slips through.
inline bool para(pid_t pid) {
    if (kill(pid, SIGSTOP) != 0)
        return false;
    for (int i = 0; i < 200; ++i) {
        QFile f("/proc/" + QString::number(pid) + "/stat");
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray stat = f.readAll();
            if (stat.mid(stat.lastIndexOf(')') + 2, 1) == "T")
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Gives a process that was told to die a moment to go.
inline bool grupoMorreEm(pid_t grupo, std::chrono::milliseconds limite) {
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (grupoVivo(grupo)) {
        if (std::chrono::steady_clock::now() > fim)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace nq
