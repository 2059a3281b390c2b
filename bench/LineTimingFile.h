#pragma once

#include <QString>
#include <vector>

// The per-line times ptz2-sim writes with --timing (CLOCK_MONOTONIC seconds): the first
// byte of the first line frame, the acknowledgement of the last good line, and for
// every line frame when the acknowledgement before it had been written (all of it on
// the line) and when its own first byte arrived.
class LineTimingFile {
public:
    struct Line {
        int frameNumber = 0;
        double previousAckAt = -1;   // -1: none before it
        double firstByteAt = -1;
    };

    // False, with error() set, when the file is missing or malformed.
    bool load(const QString &path);

    double firstLineSentAt() const { return m_firstLineSent; }
    double lastAckAt() const { return m_lastAck; }
    const std::vector<Line> &lines() const { return m_lines; }
    QString error() const { return m_error; }

    // From the first line's first byte to the last line's acknowledgement.
    double transferSeconds() const { return m_lastAck - m_firstLineSent; }

    // For every line after the first: from the previous line's acknowledgement
    // (complete on the line) to this line's first byte, in seconds.
    std::vector<double> gapsAfterAcknowledgement() const;

private:
    bool fail(const QString &why);

    double m_firstLineSent = -1;
    double m_lastAck = -1;
    std::vector<Line> m_lines;
    QString m_error;
};
