#include "app/FatalErrorGuard.h"

#include "app/DialogPalette.h"
#include "link/RuntimeError.h"

#include <QMessageBox>

#include <exception>
#include <new>

namespace {

const QString kTitle = QStringLiteral("Revertex");

} // namespace

bool runReportingFailure(const std::function<void()> &work, const RunTimeErrorReport &report)
{
    int number = 0;
    QString description;
    try {
        work();
        return true;
    } catch (const RuntimeError &error) {
        number = error.number();
        description = error.description();
    } catch (const std::bad_alloc &) {
        number = RunTimeErrorNumber::OutOfMemory;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        number = RunTimeErrorNumber::Internal;
        description = QString::fromLocal8Bit(error.what());
        if (description.isEmpty())
            description = QStringLiteral("Internal error");
    } catch (...) {
        number = RunTimeErrorNumber::Internal;
        description = QStringLiteral("Internal error");
    }
    // Reported outside the handlers: a report that shows a window runs its own event loop.
    report(number, description);
    return false;
}

QString runTimeErrorText(int number, const QString &description)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

std::unique_ptr<QMessageBox> runTimeErrorBox(QWidget *parent, int number, const QString &description)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, kTitle, runTimeErrorText(number, description),
                                             QMessageBox::Ok, parent);
    box->setPalette(dialogPalette());
    return box;
}

void showRunTimeError(QWidget *parent, int number, const QString &description)
{
    runTimeErrorBox(parent, number, description)->exec();
}
