#include "cli/Interrupts.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <windows.h>

namespace {

QObject *g_context = nullptr;          // lives on the event loop's thread
std::function<void()> g_handler;

// Called by the system on a thread of its own.
BOOL WINAPI onControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;   // closing the console or logging off: the system's own way
    QMetaObject::invokeMethod(g_context, [] { g_handler(); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

bool Interrupts::catchInto(std::function<void()> handler, QString *error)
{
    g_handler = std::move(handler);
    g_context = new QObject(QCoreApplication::instance());
    if (!SetConsoleCtrlHandler(onControl, TRUE)) {
        *error = QStringLiteral("SetConsoleCtrlHandler failed: error %1").arg(GetLastError());
        return false;
    }
    return true;
}
