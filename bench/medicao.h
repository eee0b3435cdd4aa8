#pragma once

#include <QByteArray>
#include <QFile>

// Peak resident memory of the process so far, in MiB (VmHWM); -1 when unknown.
inline long picoDeMemoria() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : status.readAll().split('\n'))
        if (linha.startsWith("VmHWM:"))
            return linha.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}
