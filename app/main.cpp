// Revertex: the wizard that reflashes a PictureTel PTZ 2 camera over a serial port.
#include "app/FatalErrorGuard.h"
#include "app/frmRevertex.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Revertex"));

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
