#pragma once

#include "CameraReply.h"
#include "InboundWire.h"
#include "SimOptions.h"

#include <QString>
#include <QStringList>
#include <random>
#include <vector>

// What the camera does about one frame.
struct CameraAnswer {
    std::vector<CameraReply> replies;   // in the order they go out; empty: no answer
    Nanos readyAt = 0;                  // when the first reply may start on the line
    bool finishing = false;             // the closing script's final command after the download
    bool vanish = false;                // the device disappears now
    QString note;                       // something worth telling the person watching
    QString badLine;                    // why a line in download mode was refused
};

// A line frame the camera did not accept: malformed, or sent before download mode.
struct RejectedLine {
    int frameNumber = 0;   // 1-based count of "ckw" frames received
    QString fault;
};

// The camera's behaviour, without any I/O: it starts in its check mode, where
// "ckb0" is answered with a version report; "ckl0" puts it into download mode, where
// it takes firmware lines, checks each (escapes, 65 logical bytes, 8-bit sum) and
// acknowledges the good ones only. Known commands are acknowledged; frames it does not
// know are not. The options decide which answers are held back, delayed or changed.
class CameraModel {
public:
    explicit CameraModel(const SimOptions &options);

    CameraAnswer take(const InboundFrame &frame);

    const QByteArray &image() const { return m_image; }
    int goodLines() const { return m_goodLines; }
    int lineFrames() const { return m_lineFrames; }
    const std::vector<RejectedLine> &rejectedLines() const { return m_rejected; }
    const QStringList &commands() const { return m_commands; }
    const QStringList &unknownFrames() const { return m_unknown; }
    bool inDownloadMode() const { return m_downloadMode; }

private:
    bool answers(const QString &name) const;
    void takeLine(const QByteArray &command, CameraAnswer &answer, bool answering);
    CameraReply acknowledgement(int acknowledgedLine);
    CameraReply versionReport() const;
    static CameraReply noiseReply();

    SimOptions m_options;
    std::mt19937 m_jitter;
    bool m_downloadMode = false;
    int m_lineFrames = 0;
    int m_goodLines = 0;
    int m_acksMade = 0;
    int m_sleepsAfterDownload = 0;
    QByteArray m_image;
    std::vector<RejectedLine> m_rejected;
    QStringList m_commands;
    QStringList m_unknown;
};
