#pragma once

#include <QString>
#include <QStringList>

// How the simulated camera behaves and what it records, as given on the command line.
struct SimOptions {
    // Replies
    bool lira = false;            // acknowledge with "lira" instead of "lvr"
    bool alternateAcks = false;   // alternate the two acknowledgement tokens
    QString version = QStringLiteral("3.45");
    bool noReport = false;        // "ckb0" in the check gets no version report
    bool ackFirst = false;        // acknowledgement before the version report
    bool noise = false;           // a stray reply ahead of acknowledgements
    bool split = false;           // replies written one byte at a time

    // Commands left unanswered
    QStringList ignored;          // names as CameraCommands knows them
    bool silent = false;
    int stopAfterLines = -1;      // answer nothing once this many lines are in; -1: never
    int vanishAfterLines = -1;    // close the device when this line arrives; -1: never

    // Timing
    double startDelaySeconds = 0; // before acknowledging "ckl0"
    int ackDelayMs = 0;           // before every answer
    int jitterMs = 0;             // up to this much more before every answer, drawn anew each time
    int seed = 1;                 // of the jitter: the same seed, the same delays
    int baud = 0;                 // 0: no pacing

    // Run and results
    QString expectFile;
    bool exitAfterFinish = false;
    double timeoutSeconds = 0;    // 0: none
    bool logCommands = false;
    bool verbose = false;
    QString reportFile;
    QString timingFile;
    QString pathFile;
    QString linkPath;
    QStringList tolerated;        // names of the protocol checks that do not fail the run

    bool help = false;
};
