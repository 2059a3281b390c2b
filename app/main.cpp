// Revertex: the wizard that reflashes a PictureTel PTZ 2 camera over a serial port.
#include "app/CommandLine.h"
#include "app/FatalErrorGuard.h"
#include "app/frmRevertex.h"
#include "flash/FirmwareImage.h"
#include "link/ComPortsPresent.h"

#include <QApplication>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr qint16 kComPortCount = 16;   // the entries of the COM port list

// A Windows program of the window kind starts without a console: the options answer
// in the console of the command prompt that started them, when there is one.
void useParentConsole()
{
#ifdef Q_OS_WIN
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE *ignored = nullptr;
        freopen_s(&ignored, "CONOUT$", "w", stdout);
    }
#endif
}

// Prints to stdout; 0 when all of it got there.
int print(const QString &text)
{
    useParentConsole();
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    return written && fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
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
    if (embeddedFirmwareIsTestImage()) {
        fputs("revertex: this build carries the test firmware image, made for the simulated camera "
              "(ptz2-sim). Do not flash a real camera with it: build with -DREVERTEX_FIRMWARE=<file>.\n",
              stderr);
    }

    // A failure while the window loads (the firmware image above all) ends the program
    // with the report, before the window is ever shown.
    std::unique_ptr<frmRevertex> window;
    const bool loaded = runReportingFailure([&window] { window = std::make_unique<frmRevertex>(); },
                                            [](int number, const QString &description) {
                                                showRunTimeError(nullptr, number, description);
                                            });
    if (!loaded)
        return 1;
    QApplication::setWindowIcon(window->windowIcon());
    window->show();
    return app.exec();
}
