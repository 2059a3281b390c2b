// Revertex: the wizard that reflashes a PictureTel PTZ 2 camera over a serial port.
#include "app/FatalErrorGuard.h"
#include "app/frmRevertex.h"
#include "flash/FirmwareImage.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
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
