#include "app/FileDialogPrompt.h"

#include "app/DialogPalette.h"

#include <QFileDialog>
#include <QMessageBox>

const QString FileDialogPrompt::kTitle =
    QStringLiteral("Revertex: choose the camera's firmware (its Windows flash program, or a firmware file)");

const QStringList FileDialogPrompt::kFilters = {
    QStringLiteral("The camera's firmware (*.exe *.hex *.bin *.container)"),
    QStringLiteral("Windows flash program that holds the firmware (*.exe)"),
    QStringLiteral("Firmware file: Intel HEX, raw image or container (*.hex *.bin *.container)"),
    QStringLiteral("All files (*)"),
};

QString FileDialogPrompt::chooseFile()
{
    QString chosenFilter = kFilters.first();
    return QFileDialog::getOpenFileName(nullptr, kTitle, QString(), kFilters.join(QStringLiteral(";;")), &chosenFilter);
}

std::unique_ptr<QMessageBox> FileDialogPrompt::refusalBox(const QString &why)
{
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::Warning, QStringLiteral("Revertex"),
        QStringLiteral("This file cannot be flashed, and nothing has been sent to the camera:\n\n%1\n\n"
                       "Choose the camera's firmware again, or Cancel to end.")
            .arg(why),
        QMessageBox::Ok);
    box->setPalette(dialogPalette());   // the wizard's light look, as its run-time error box
    return box;
}

void FileDialogPrompt::refuse(const QString &why)
{
    refusalBox(why)->exec();
}
