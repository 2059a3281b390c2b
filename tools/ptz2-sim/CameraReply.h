#pragma once

#include <QByteArray>

enum class ReplyKind { Acknowledgement, VersionReport, Noise };

// One reply frame of the camera, STX and EOT included.
struct CameraReply {
    QByteArray bytes;
    ReplyKind kind = ReplyKind::Acknowledgement;
    int acknowledgedLine = 0;   // 1-based number of the good line this acknowledges; 0 otherwise
    int answersFrame = 0;       // serial number of the frame it answers, counted from 1
};
