// The program's start once the toolkit runs: where the firmware comes from, what a
// refused file leads to (the dialog again, or status 2 from the command line), and
// that the window, and with it any port, comes only after the firmware is checked.
#include "app/FileDialogPrompt.h"
#include "app/WizardStart.h"
#include "flash/FirmwareImage.h"
#include "flash/ImagePacking.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/support/FakeClock.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FakeCommPort.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

using namespace FirmwareTestFiles;

namespace {

const QString kTestImageWarning = QStringLiteral(
    "revertex: this is the test firmware image, made for the simulated camera (ptz2-sim). "
    "Do not flash a real camera with it.\n");

// The user at the file dialog: picks the files given in turn, then cancels.
class ScriptedPrompt : public FirmwarePrompt {
public:
    explicit ScriptedPrompt(QStringList answers = {}) : m_answers(std::move(answers)) {}

    QString chooseFile() override
    {
        ++asked;
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    }
    void refuse(const QString &why) override { refusals << why; }

    int asked = 0;
    QStringList refusals;

private:
    QStringList m_answers;
};

class Start : public ::testing::Test {
protected:
    QTemporaryDir dir;
    int windowsMade = 0;   // the window is the only thing that opens a port
    QList<int> loadReports;
    QString err;
    WizardStart::Outcome outcome;

    QString file(const char *name, const QByteArray &data)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        writeFile(path, data);
        return path;
    }

    void start(const QStringList &arguments, FirmwarePrompt *prompt, std::optional<QByteArray> embedded = std::nullopt)
    {
        WizardStart::Parts parts;
        parts.prompt = prompt;
        parts.embedded = std::move(embedded);
        parts.window = [this] {
            ++windowsMade;
            frmRevertex::Parts window;
            window.port = std::make_unique<FakeCommPort>();
            window.clock = std::make_unique<FakeClock>();
            window.fatalError = [](int, const QString &) { ADD_FAILURE() << "no handler runs during the start"; };
            return window;
        };
        parts.loadFailure = [this](int number, const QString &) { loadReports << number; };
        err.clear();
        QTextStream stream(&err);
        outcome = WizardStart::run(QStringList{QStringLiteral("revertex")} + arguments, std::move(parts), stream);
    }

    LineRecords linesOf(const QByteArray &container) const { return unpackFirmware(container); }
};

TEST_F(Start, TheDialogAsksAgainAfterARefusalAndCancelEndsWithStatusZero)
{
    const QString refused = file("cut.container", committedTestImage().left(20000));
    const QString good = file("ptz2.container", committedTestImage());
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    ScriptedPrompt prompt({refused, good});
    start({}, &prompt);
    ASSERT_TRUE(outcome.window);
    EXPECT_EQ(prompt.asked, 2);
    ASSERT_EQ(prompt.refusals.size(), 1);
    EXPECT_TRUE(prompt.refusals.first().startsWith(refused + QStringLiteral(", read as a firmware container: record 284 of 899: "
                                                                            "length 65 runs past the end: only 30 bytes are left")))
        << prompt.refusals.first().toStdString();
    EXPECT_EQ(outcome.window->firmwareLines(), linesOf(committedTestImage()));
    EXPECT_EQ(outcome.window->findChild<QLabel *>(QStringLiteral("Label10"))->text(),
              QStringLiteral("TEST FIRMWARE: for the simulated camera only"));
    EXPECT_EQ(err, kTestImageWarning);
    outcome.window.reset();

    ScriptedPrompt cancelling({refused});
    start({}, &cancelling);
    EXPECT_FALSE(outcome.window);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(cancelling.asked, 2);
    EXPECT_EQ(cancelling.refusals.size(), 1);
    EXPECT_EQ(windowsMade, 1);   // the good file's, above: none for a refused file or a cancel
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before) << "something was written";
}

TEST_F(Start, TheFirmwareComesFromTheCommandLineThenTheBuildThenTheDialog)
{
    const QByteArray named = committedTestImage();
    QByteArray picked = ImagePacking::imageFromLines(linesOf(named));
    picked[0x200] = static_cast<char>(picked.at(0x200) ^ 0x01);
    const QString namedFile = file("named.container", named);
    const QString pickedFile = file("picked.bin", picked);
    const QByteArray embedded = plainFirmware();

    const struct {
        QStringList arguments;
        std::optional<QByteArray> embedded;
        QByteArray expected;
        int asked;
    } cases[] = {
        {{QStringLiteral("--firmware"), namedFile}, embedded, named, 0},
        {{QStringLiteral("--firmware=") + namedFile}, embedded, named, 0},
        {{namedFile}, embedded, named, 0},   // a file dropped on the program, or "Open with"
        {{}, embedded, embedded, 0},
        {{}, std::nullopt, ImagePacking::packImage(picked), 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString() + (c.embedded ? " (embedded)" : ""));
        ScriptedPrompt prompt({pickedFile});
        start(c.arguments, &prompt, c.embedded);
        ASSERT_TRUE(outcome.window) << err.toStdString();
        EXPECT_EQ(outcome.window->firmwareLines(), linesOf(c.expected));
        EXPECT_EQ(prompt.asked, c.asked);
    }
}

TEST_F(Start, ARefusalOnTheCommandLineGoesToStandardErrorWithStatusTwo)
{
    const QString older = file("older.bin", [] {
        QByteArray image = ImagePacking::imageFromLines(unpackFirmware(committedTestImage()));
        image.replace(image.indexOf("CBOX 3.46"), 9, "CBOX 3.40");
        return image;
    }());
    const struct {
        QStringList arguments;
        QString message;
    } cases[] = {
        {{QStringLiteral("--firmware"), older},
         QStringLiteral("revertex: %1, read as a raw MCS-51 image: version text \"CBOX 3.40\", this wizard flashes 3.46\n").arg(older)},
        {{QStringLiteral("--firmware")},
         QStringLiteral("revertex: --firmware needs the name of a firmware file (revertex --help lists the options)\n")},
        {{QStringLiteral("--firmware=")},
         QStringLiteral("revertex: --firmware needs the name of a firmware file (revertex --help lists the options)\n")},
        {{QStringLiteral("--frimware"), older},
         QStringLiteral("revertex: unknown option --frimware (revertex --help lists the options)\n")},
        {{older, older},
         QStringLiteral("revertex: one firmware file at a time, not 2 (%1, %1) (revertex --help lists the options)\n").arg(older)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        ScriptedPrompt prompt({older});
        start(c.arguments, &prompt, plainFirmware());
        EXPECT_FALSE(outcome.window);
        EXPECT_EQ(outcome.exitStatus, 2);
        EXPECT_EQ(err, c.message);
        EXPECT_EQ(prompt.asked, 0);
    }
    EXPECT_EQ(windowsMade, 0);
}

// --log FILE: the window's port writes what goes over the wire to FILE; a log that
// cannot be written is refused before the window, and with it any port, is made.
TEST_F(Start, ALogNamedOnTheCommandLineRecordsTheWindowsPort)
{
    ScriptedPrompt prompt;
    start({QStringLiteral("--log"), QStringLiteral("/nonexistent-directory/wire.log")}, &prompt, plainFirmware());
    EXPECT_FALSE(outcome.window);
    EXPECT_EQ(outcome.exitStatus, 2);
    EXPECT_TRUE(err.startsWith(QStringLiteral("revertex: cannot write the log /nonexistent-directory/wire.log: ")))
        << err.toStdString();
    EXPECT_EQ(windowsMade, 0);

    const QString log = dir.filePath(QStringLiteral("wire.log"));
    start({QStringLiteral("--log=") + log}, &prompt, plainFirmware());
    ASSERT_TRUE(outcome.window) << err.toStdString();
    auto *next = outcome.window->findChild<QPushButton *>(QStringLiteral("cmdNext"));
    next->click();
    next->click();   // the camera check, on the fake port
    EXPECT_TRUE(waitInEventLoop([&] { return QFile(log).size() > 0 && readFile(log).contains("STX \"QGt\" EOT"); }, 10000))
        << readFile(log).toStdString();
    EXPECT_TRUE(readFile(log).contains("COM1  sent 5 bytes: 02 51 47 74 04"));
}

TEST_F(Start, ARefusedFileGivenAloneIsShownAndTheDialogOffersAnother)
{
    // What Explorer passes for a file dropped on the program, and "Open with": nobody
    // reads standard error there.
    const QString cut = file("cut.container", committedTestImage().left(1000));
    const QString good = file("good.container", committedTestImage());
    ScriptedPrompt prompt({good});
    start({cut}, &prompt, plainFirmware());
    ASSERT_TRUE(outcome.window) << err.toStdString();
    ASSERT_EQ(prompt.refusals.size(), 1);
    EXPECT_TRUE(prompt.refusals.first().startsWith(cut)) << prompt.refusals.first().toStdString();
    EXPECT_TRUE(err.startsWith(QStringLiteral("revertex: ") + prompt.refusals.first())) << err.toStdString();
    EXPECT_EQ(prompt.asked, 1);
    EXPECT_EQ(outcome.window->firmwareLines(), linesOf(committedTestImage()));
    EXPECT_EQ(windowsMade, 1);
}

TEST_F(Start, DamagedEmbeddedFirmwareEndsWithTheRunTimeErrorReport)
{
    ScriptedPrompt prompt;
    start({}, &prompt, committedTestImage().left(20000));
    EXPECT_FALSE(outcome.window);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(loadReports, QList<int>{321});
    EXPECT_EQ(prompt.asked, 0);
}

// The real dialog, offscreen: what its title and filters ask for, the file picked, and
// the box that refuses one.
TEST(FileDialogPrompt, AsksForTheFlashProgramOrAFirmwareFile)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("flash.exe"));
    writeFile(program, "MZ");
    for (const bool pick : {true, false}) {
        QString title;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog) << "no file dialog open";
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            if (pick) {
                dialog->selectFile(program);
                static_cast<QDialog *>(dialog)->accept();   // QFileDialog's own is protected
            } else {
                dialog->reject();
            }
        });
        FileDialogPrompt prompt;
        EXPECT_EQ(prompt.chooseFile(), pick ? program : QString());
        EXPECT_EQ(title, FileDialogPrompt::kTitle);
        EXPECT_EQ(filters, FileDialogPrompt::kFilters);
    }
    EXPECT_TRUE(FileDialogPrompt::kTitle.contains(QStringLiteral("Windows flash program")));
    EXPECT_TRUE(FileDialogPrompt::kFilters.first().contains(QStringLiteral("*.exe *.hex *.bin *.container")));

    const auto box = FileDialogPrompt::refusalBox(QStringLiteral("x.exe, read as a Windows program: no resource"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_TRUE(box->text().contains(QStringLiteral("x.exe, read as a Windows program: no resource")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("nothing has been sent to the camera")));
}

} // namespace
