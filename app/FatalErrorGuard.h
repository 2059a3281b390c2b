#pragma once

#include "flash/FailureReport.h"

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

// "Run-time error 'N':", a blank line, the description.
QString runTimeErrorText(int number, const QString &description);

// The report's message box, titled "Revertex", in the window's light colours (it
// is a window of its own and takes nothing from the wizard's).
std::unique_ptr<QMessageBox> runTimeErrorBox(QWidget *parent, int number, const QString &description);

// The report as a modal message box.
void showRunTimeError(QWidget *parent, int number, const QString &description);
