#pragma once

#include <QString>

// How the start asks for the firmware when no file was named and none is built in:
// the file dialog and a message box, or a test's own answers.
class FirmwarePrompt {
public:
    virtual ~FirmwarePrompt() = default;

    // The file the user picked; empty when they cancelled.
    virtual QString chooseFile() = 0;

    // Tells the user why the file they picked cannot be used, before they pick again.
    virtual void refuse(const QString &why) = 0;
};
