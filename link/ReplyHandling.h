#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"

#include <QByteArray>

// The two acknowledgements: exactly STX "lvr" EOT and STX "lira" EOT, letter case included.
bool isAcknowledgement(const QByteArray &reply);

// Drains the port into ReplyBuffer and handles every complete reply (cut at EOT)
// in order of arrival: an acknowledgement sets AckReceived; while WantVersion is
// set, the reply is handed to pvr. A failing read throws and leaves ReplyBuffer as it was.
void ReadBuffer(CameraSession &session, CommPort &port);

// Sets CameraVersion from a version report: the text after the first "CBOX " up to
// the final EOT, when the reply holds both "BOOT" and "CBOX " (any letter case);
// "unk" otherwise. Nothing is trimmed.
void pvr(CameraSession &session, const QByteArray &reply);
