#pragma once

#include <QString>
#include <QStringList>

// What to measure, from the command line.
struct BenchOptions {
    static constexpr int kPacedBaud = 9600;
    static constexpr int kDefaultStartupRuns = 7;

    bool paced = true;
    bool unpaced = true;
    bool startup = true;
    int startupRuns = kDefaultStartupRuns;
    QString windowsBuild;   // not empty: also the paced flash of the Windows build there, under Wine
    bool help = false;
    QString error;   // not empty: the command line was wrong

    static BenchOptions parse(const QStringList &arguments);
    static QString usage();
};
