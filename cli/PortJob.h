#pragma once

#include "cli/Outcome.h"
#include "cli/NamedPort.h"
#include "flash/LineRecords.h"
#include "flash/SequenceRunner.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>

// One port of a run: its serial port, its own SequenceRunner (session, sequences and
// timers) and what the run has learnt of it. The sequences are the window's own; this
// is their front end for one port in a terminal. A port's failure ends its job only.
class PortJob : public QObject, private SequenceFront {
    Q_OBJECT
public:
    enum class Phase { Idle, Checking, Checked, Downloading, Done };

    PortJob(NamedPort named, std::unique_ptr<CommPort> port, SecondsClock &clock, const LineRecords &lines);
    ~PortJob() override;

    void startCheck();
    void startDownload();   // after the check: "ckl0", the lines, the closing script
    // Ends the job where it is: sequences off, port closed.
    void finish(Outcome outcome, const QString &detail = {});

    const NamedPort &named() const { return m_named; }
    QString label() const { return m_named.label(); }
    Phase phase() const { return m_phase; }
    Landing checkLanding() const { return m_checkLanding; }   // once checked
    QByteArray version() const;                              // as the camera reported it
    QString cause() const { return m_cause; }                // why the port failed, if it did
    Outcome outcome() const { return m_outcome; }            // once done
    QString detail() const { return m_detail; }
    qint32 linesSent() const { return m_linesSent; }
    qint32 lineCount() const { return m_lineCount; }
    qint64 downloadMs() const { return m_downloadStarted.isValid() ? m_downloadStarted.elapsed() : 0; }

signals:
    void opened();
    void checked();
    void progressed();
    void finished();

private:
    // SequenceFront
    QString selectedPortEntry() const override;
    void throbOn() override;
    void notePortFailure(const QString &description) override;
    void land(Landing outcome) override;
    void showLineProgress(qint32 lineIndex, qint32 upper) override;

    void failed(int number, const QString &description);
    void closePort();

    NamedPort m_named;
    std::unique_ptr<CommPort> m_port;
    SequenceRunner m_runner;
    Phase m_phase = Phase::Idle;
    bool m_openAnnounced = false;
    Landing m_checkLanding = Landing::CheckFailed;
    QString m_cause;
    Outcome m_outcome = Outcome::Interrupted;
    QString m_detail;
    qint32 m_linesSent = 0;
    qint32 m_lineCount = 0;
    QElapsedTimer m_downloadStarted;
};
