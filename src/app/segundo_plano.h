#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace nq {

// Runs `tarefa` on a thread of its own and returns when it has ended, raising
// its error here. Meanwhile a small modal window over `pai` says `aviso`: the
// program's windows keep repainting, and the user's input waits. For a slow
// step (an office starting) that must not freeze the screen; `tarefa` must
// not touch windows.
void executaEmSegundoPlano(QWidget* pai, const QString& aviso, const std::function<void()>& tarefa);

} // namespace nq
