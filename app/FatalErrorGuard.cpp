#include "app/FatalErrorGuard.h"

#include "app/DialogPalette.h"

#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Revertex");

} // namespace

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
