#pragma once

#include "app/WizardStart.h"
#include "app/frmRevertex.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/SimProcess.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

// The real wizard (real serial port layer, real clock, our test image) against ptz2-sim
// on a pseudo-terminal, driven the way a person drives it. Only the fatal-error report
// is recorded instead of shown. Every test ends with the simulated
// camera's verdict: the run fails unless the camera exits as expectedSimExit says
// (0: the protocol was kept and the image is what the options lead to).
class WizardOnSim : public ::testing::Test {
protected:
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<frmRevertex> window;
    QList<std::pair<int, QString>> reports;
    int expectedSimExit = 0;

    // What the simulated camera expects to receive.
    static QString expectedContainer() { return FirmwareTestFiles::committedTestImagePath(); }

    // Starts the simulated camera on COM 1 and opens the window with the test image;
    // `port` replaces the window's serial port layer.
    void start(QStringList simArguments, std::unique_ptr<CommPort> port = nullptr)
    {
        startSim(simArguments);
        if (HasFatalFailure())
            return;
        frmRevertex::Parts parts = windowParts();
        parts.port = std::move(port);
        parts.firmware = FirmwareTestFiles::committedTestImage();
        window = std::make_unique<frmRevertex>(std::move(parts));
        window->show();
    }

    // The same, with the program's own start: the firmware from the command line given.
    void startFromCommandLine(const QStringList &programArguments, QStringList simArguments = {})
    {
        startSim(simArguments);
        if (HasFatalFailure())
            return;
        WizardStart::Parts parts;
        parts.window = [this] { return windowParts(); };
        QString err;
        QTextStream stream(&err);
        WizardStart::Outcome started =
            WizardStart::run(QStringList{QStringLiteral("revertex")} + programArguments, std::move(parts), stream);
        ASSERT_TRUE(started.window) << err.toStdString();
        window = std::move(started.window);
        window->show();
    }

    void startSim(QStringList simArguments)
    {
        simArguments << QStringLiteral("--log-commands") << QStringLiteral("--expect") << expectedContainer();
        sim = std::make_unique<SimProcess>(simArguments);
        ASSERT_FALSE(sim->devicePath().isEmpty()) << sim->output().toStdString();
        qputenv("REVERTEX_COM1", sim->devicePath().toLocal8Bit());
    }

    frmRevertex::Parts windowParts()
    {
        frmRevertex::Parts parts;
        parts.fatalError = [this](int number, const QString &description) { reports.append({number, description}); };
        return parts;
    }

    void TearDown() override
    {
        window.reset();   // closes the port before the simulator goes
        if (sim) {
            sim->stop();
            EXPECT_EQ(sim->exitCode(), expectedSimExit) << "the simulated camera's verdict:\n"
                                                        << sim->output().toStdString();
        }
        qunsetenv("REVERTEX_COM1");
        qunsetenv("REVERTEX_COM2");
    }

    template <class T> T *get(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    void click(const char *name) { get<QPushButton>(name)->click(); }
    bool shown(const char *page) const { return !get<QFrame>(page)->isHidden(); }
    QString message() const { return get<QLabel>("lblError")->text(); }
    bool timerRunning(const char *name) const { return get<QTimer>(name)->isActive(); }

    // Back, Next, Cancel enabled, e.g. "-++".
    std::string buttons() const
    {
        std::string s;
        for (const char *b : {"cmdPrev", "cmdNext", "cmdCancel"})
            s += get<QPushButton>(b)->isEnabled() ? '+' : '-';
        return s;
    }

    bool anySequenceRunning() const
    {
        for (const char *t : {"timerCamTest", "timerStartDownload", "Timer1", "timerFinish"})
            if (timerRunning(t))
                return true;
        return false;
    }

    static bool waitFor(const std::function<bool()> &done, int ms) { return waitInEventLoop(done, ms); }

    // Welcome -> COM port (entry `comIndex`) -> the camera check, until it lands.
    void runCheck(int comIndex = 0, int ms = 15000)
    {
        if (window->pageNumber() == 0)
            click("cmdNext");
        get<QComboBox>("Combo1")->setCurrentIndex(comIndex);
        click("cmdNext");
        ASSERT_TRUE(shown("frame3"));
        ASSERT_TRUE(waitFor([this] { return !timerRunning("timerCamTest"); }, ms)) << "the check never ended";
    }

    // From the warning page: Next, then wait for the done page or another end.
    void runDownload(int ms)
    {
        ASSERT_TRUE(shown("frame4"));
        click("cmdNext");
        ASSERT_TRUE(shown("frame5"));
        ASSERT_EQ(buttons(), "---");
        ASSERT_TRUE(waitFor([this] { return !anySequenceRunning(); }, ms))
            << "the download and closing still ran " << ms << " ms after Next";
    }

    // Ends the simulator and returns its summary.
    QString simSummary()
    {
        window.reset();
        sim->stop();
        return sim->output();
    }
};
