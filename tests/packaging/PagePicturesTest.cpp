// pagepics: every README picture shows the page and message its name promises, and the
// built tool writes one distinct, window-sized picture per page.
#include "app/LandingTable.h"
#include "tests/packaging/PackagingTestSupport.h"
#include "tools/pagepics/PageShot.h"
#include "tools/pagepics/PageTour.h"
#include "tools/pagepics/WindowFrame.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <optional>

namespace {

constexpr int kPagepicsLimitMs = 5 * 60 * 1000;
const QSize kClientSize(312, 237);

// What each picture must show: the page, the message on it (if any), Back/Next/Cancel
// enabled ("+") or not ("-"), and the caption of the last button.
struct Expected {
    const char *file;
    const char *page;
    std::optional<Landing> message;
    const char *buttons;
    const char *cancel;
};

const Expected kExpected[] = {
    {"welcome.png", "frame1", std::nullopt, "-++", "&Cancel"},
    {"com-port.png", "frame2", std::nullopt, "+++", "&Cancel"},
    {"testing.png", "frame3", std::nullopt, "--+", "&Cancel"},
    {"message-no-response.png", "frame4a", Landing::NoResponse, "+-+", "&Cancel"},
    {"message-port-in-use.png", "frame4a", Landing::PortInUse, "+-+", "&Cancel"},
    {"message-no-flash-needed.png", "frame4a", Landing::NoFlashNeeded, "+++", "&Cancel"},
    {"message-not-ptz2.png", "frame4a", Landing::NotPtz2, "+++", "&Cancel"},
    {"warning.png", "frame4", std::nullopt, "+++", "&Cancel"},
    {"message-power-cycle.png", "frame4a", Landing::PowerCycle, "--+", "&Cancel"},
    {"progress.png", "frame5", std::nullopt, "---", "&Cancel"},
    {"done.png", "frame6", std::nullopt, "--+", "&Finish"},
    {"welcome@2x.png", "frame1", std::nullopt, "-++", "&Cancel"},
};

const Expected *expectationFor(const QString &file)
{
    for (const Expected &e : kExpected)
        if (file == QLatin1String(e.file))
            return &e;
    return nullptr;
}

// How many device pixels make a logical one in a picture.
int ratioOf(const QString &file)
{
    for (const PageShot &shot : pageShots())
        if (file == QLatin1String(shot.file))
            return shot.ratio;
    return 0;
}

QStringList expectedFiles()
{
    QStringList files;
    for (const Expected &e : kExpected)
        files << QString::fromLatin1(e.file);
    files.sort();
    return files;
}

template <class T> T *control(const frmRevertex &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

std::string buttons(const frmRevertex &window)
{
    std::string s;
    for (const char *b : {"cmdPrev", "cmdNext", "cmdCancel"})
        s += control<QPushButton>(window, b)->isEnabled() ? '+' : '-';
    return s;
}

class PageShotTest : public ::testing::TestWithParam<PageShot> {};

TEST_P(PageShotTest, ShowsThePageAndMessageItsNameSays)
{
    const PageShot &shot = GetParam();
    const Expected *expected = expectationFor(QString::fromLatin1(shot.file));
    ASSERT_NE(expected, nullptr) << "a picture nobody asked for: " << shot.file;

    PageTour tour(shot);
    ASSERT_NO_THROW(tour.run());
    const frmRevertex &window = tour.window();
    EXPECT_FALSE(control<QWidget>(window, expected->page)->isHidden());
    if (expected->message) {
        EXPECT_EQ(control<QLabel>(window, "lblError")->text(), QString::fromLatin1(landingRow(*expected->message).message));
    }
    EXPECT_EQ(buttons(window), expected->buttons);
    EXPECT_EQ(control<QPushButton>(window, "cmdCancel")->text(), QString::fromLatin1(expected->cancel));
}

TEST_P(PageShotTest, PictureIsTheClientAreaInAWindowFrame)
{
    PageTour tour(GetParam());
    tour.run();
    const QImage picture = tour.picture();
    const QImage client = tour.clientArea().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(client.size(), kClientSize);
    EXPECT_EQ(picture.size(), WindowFrame::framedSize(kClientSize));
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32).copy(QRect(WindowFrame::clientOrigin(), kClientSize)), client);
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PageShotTest, ::testing::ValuesIn(pageShots()),
                         [](const ::testing::TestParamInfo<PageShot> &info) {
                             return QString::fromLatin1(info.param.file).section(QLatin1Char('.'), 0, 0).replace(QLatin1Char('-'), QLatin1Char('_')).replace(QLatin1Char('@'), QLatin1Char('_')).toStdString();
                         });

TEST(PageShots, CoverEveryPageAndMessageOnce)
{
    QStringList files;
    for (const PageShot &shot : pageShots())
        files << QString::fromLatin1(shot.file);
    files.sort();
    EXPECT_EQ(files, expectedFiles());
}

TEST(PageShots, BusyPagesShowTheEmblemTurnedAndTheProgressHalfWay)
{
    QImage still;
    QImage testing;
    for (const PageShot &shot : pageShots()) {
        PageTour tour(shot);
        tour.run();
        const QImage banner = tour.clientArea().copy(0, 0, 64, 64);
        const QString file = QString::fromLatin1(shot.file);
        if (file == QLatin1String("welcome.png"))
            still = banner;
        else if (file == QLatin1String("testing.png"))
            testing = banner;
        else if (file == QLatin1String("progress.png")) {
            const QString percent = control<QLabel>(tour.window(), "Label9")->text().section(QLatin1Char('%'), 0, 0);
            EXPECT_NEAR(percent.toDouble(), 50.0, 1.0) << percent.toStdString();
        }
    }
    ASSERT_FALSE(still.isNull());
    EXPECT_NE(testing, still) << "the testing page shows the still emblem";
}

// The built tool, as the README's pictures are made.
class PagepicsProgramTest : public ::testing::Test {
protected:
    QTemporaryDir output;

    void SetUp() override
    {
        ASSERT_TRUE(output.isValid());
        const ProcessResult run = runProgram(QStringLiteral(PAGEPICS_PROGRAM), {output.path()}, kPagepicsLimitMs);
        ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
    }
};

TEST_F(PagepicsProgramTest, WritesOneDistinctWindowSizedPicturePerPage)
{
    ASSERT_EQ(filesBelow(output.path()), expectedFiles());
    QList<QImage> pictures;
    for (const QString &file : expectedFiles()) {
        const QImage picture(output.filePath(file));
        EXPECT_EQ(picture.size(), WindowFrame::framedSize(kClientSize) * ratioOf(file)) << file.toStdString();
        pictures.append(picture.convertToFormat(QImage::Format_RGB32));
    }
    for (int i = 0; i < pictures.size(); ++i)
        for (int j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]) << expectedFiles()[i].toStdString() << " and " << expectedFiles()[j].toStdString();
}

TEST_F(PagepicsProgramTest, PictureAtRatioTwoIsDrawnWithTheDoubleEmblem)
{
    EXPECT_EQ(ratioOf(QStringLiteral("welcome@2x.png")), 2);
    const QImage picture = QImage(output.filePath(QStringLiteral("welcome@2x.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage emblem = QImage(sourceDir() + QStringLiteral("/resources/images/emblem@2x.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(emblem.size(), QSize(128, 128));
    EXPECT_EQ(picture.copy(QRect(WindowFrame::clientOrigin() * 2, emblem.size())), emblem);
}

TEST_F(PagepicsProgramTest, CommittedPicturesAreTheSameSetAndSize)
{
    // Pixels depend on the fonts of the machine; the set and the size do not.
    const QString committed = sourceDir() + QStringLiteral("/docs/pages");
    ASSERT_EQ(filesBelow(committed), expectedFiles()) << "run: build/pagepics docs/pages";
    for (const QString &file : expectedFiles())
        EXPECT_EQ(QImage(committed + QLatin1Char('/') + file).size(), QImage(output.filePath(file)).size()) << file.toStdString();
}

} // namespace
