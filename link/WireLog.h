#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <memory>

// The log of what went over the wire (--log FILE): one line per event, each with the
// milliseconds of a monotonic clock since the log began and the port it concerns.
// Every line goes to the file as it is written, so that a run that ends abruptly
// still leaves its log. One log serves every port of a run, on one thread.
class WireLog {
public:
    // Creates or empties the file; null with `error` set when it cannot be opened.
    static std::shared_ptr<WireLog> open(const QString &path, QString *error);

    // "  1234 ms  PORT  TEXT". A failing write is remembered, not thrown: a full disk
    // must not break off a flash.
    void write(const QString &port, const QString &text);

    // Why the log stopped being written; empty while it is written.
    QString failure() const { return m_failure; }

private:
    explicit WireLog(const QString &path);

    QFile m_file;
    QElapsedTimer m_clock;
    QString m_failure;
};
