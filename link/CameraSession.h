#pragma once

#include "link/SecondsClock.h"

#include <QByteArray>

// The one record of sequence state that the window owns and that the camera check,
// the download, ReadBuffer and pvr share. Created with every field zero; the window's
// load sets AckReceived and LineIndex (resetForDownload).
struct CameraSession {
    qint32 LineIndex = 0;          // index into FirmwareLines of the line last sent
    bool AckReceived = false;      // the camera acknowledged the last command
    bool WantVersion = false;      // parse the next complete reply as the version report
    QByteArray CameraVersion;      // the version the camera reported, or "unk"
    QByteArray ReplyBuffer;        // received bytes not yet ended by an EOT
    Stamp CamSentAt = 0;
    Stamp CamPolledAt = 0;
    qint32 CamState = 0;
    Stamp FinishSentAt = 0;
    Stamp FinishPolledAt = 0;
    qint32 FinishState = 0;
    Stamp StartSentAt = 0;
    Stamp StartPolledAt = 0;
    qint32 StartState = 0;

    // The download state as the window's load prepares it.
    void resetForDownload()
    {
        LineIndex = -1;
        AckReceived = true;
    }
};
