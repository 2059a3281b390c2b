// Revertex: the wizard that reflashes a PictureTel PTZ 2 camera over a serial port.
#include "app/CommandLine.h"
#include "app/FileDialogPrompt.h"
#include "app/ParentConsole.h"
#include "app/WizardStart.h"
#include "flash/EmbeddedFirmware.h"
#include "link/ComPortCount.h"
#include "link/ComPortsPresent.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

// Prints to stdout; 0 when all of it got there.
int print(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    return written && fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    useParentConsole();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // These run without a display, as from a terminal over ssh.
    switch (startRequestFrom(arguments)) {
    case StartRequest::Help:
        return print(helpText());
    case StartRequest::ListPorts: {
        QCoreApplication app(argc, argv);
        return print(comPortTableText(currentComPorts(kComPortCount)));
    }
    case StartRequest::Window:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Revertex"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.revertex.Revertex"));   // the menu entry's name

    // The firmware, checked, before the window: a file named here, the build's own, or
    // one the user picks in the file dialog. Qt has taken its own options out by now.
    FileDialogPrompt prompt;
    WizardStart::Parts parts;
    parts.prompt = &prompt;
    parts.embedded = embeddedFirmwareContainer();
    QTextStream err(stderr);
    WizardStart::Outcome started = WizardStart::run(QApplication::arguments(), std::move(parts), err);
    if (!started.window)
        return started.exitStatus;
    QApplication::setWindowIcon(started.window->windowIcon());
    started.window->show();
    return app.exec();
}
