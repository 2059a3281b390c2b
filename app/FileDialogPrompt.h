#pragma once

#include "app/FirmwarePrompt.h"

#include <QStringList>

#include <memory>

class QMessageBox;

// The firmware asked for before the wizard's window opens: the platform's file dialog,
// whose title and filters say what to pick, and a message box for a file refused.
class FileDialogPrompt : public FirmwarePrompt {
public:
    static const QString kTitle;
    static const QStringList kFilters;   // the first is chosen when the dialog opens

    QString chooseFile() override;
    void refuse(const QString &why) override;

    // The box refuse() shows, for a look at it without showing it.
    static std::unique_ptr<QMessageBox> refusalBox(const QString &why);
};
