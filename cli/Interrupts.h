#pragma once

#include <QString>

#include <functional>

// Word of Ctrl-C (POSIX: SIGINT and SIGTERM; Windows: Ctrl-C and Ctrl-Break) on the
// thread of the event loop, once per press. One file per platform.
namespace Interrupts {

// From now on every interrupt calls `handler` on the calling thread's event loop
// instead of ending the program. False with `error` set when that cannot be arranged.
// A blocking read of the standard input is broken off by an interrupt.
bool catchInto(std::function<void()> handler, QString *error);

} // namespace Interrupts
