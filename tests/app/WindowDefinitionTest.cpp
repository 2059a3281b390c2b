// The window as it stands before anything is pressed: every control with its name,
// container, place, text and state, the window's own properties, fonts, tab order.
#include "WindowHarness.h"

#include "app/DialogFont.h"
#include "app/DialogLabel.h"
#include "app/SeparatorLine.h"
#include "app/WindowCentring.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

const char *const kWindow = "frmRevertex";

struct ExpectedControl {
    const char *name;
    const char *className;
    const char *container;
    QRect geometry;   // pixels
    const char *text;  // nullptr: no text property to check
    bool shown;       // not hidden (shown with its container)
    bool enabled;
};

// Pixel figures are the twips of the window definition divided by 15.
const ExpectedControl kControls[] = {
    {"Picture3", "PictureBox", kWindow, {0, 0, 312, 64}, nullptr, true, true},
    {"Picture5", "PictureBox", "Picture3", {68, 4, 241, 57}, nullptr, true, true},
    {"Label1", "DialogLabel", "Picture5", {4, 0, 229, 53}, "Welcome to the Optivant PictureTel PTZ 2 flash program.", true, true},
    {"frame1", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, true, true},
    {"Label2", "DialogLabel", "frame1", {4, 4, 289, 89},
     "This program will check your PictureTel PTZ 2 camera, and will flash the camera so that it may function "
     "correctly with Optivant Moving software. ", true, true},
    {"frame2", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"Label5", "DialogLabel", "frame2", {8, 8, 281, 29}, "Select the COM port that your camera is using.", true, true},
    {"Label4", "DialogLabel", "frame2", {24, 45, 57, 17}, "COM port", true, true},
    {"Combo1", "QComboBox", "frame2", {84, 44, 61, 21}, nullptr, true, true},
    {"frame3", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"Label8", "DialogLabel", "frame3", {8, 8, 281, 77}, "Testing the COM port...", true, true},
    {"frame4a", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"lblError", "DialogLabel", "frame4a", {8, 8, 281, 89}, "Error.", true, true},
    {"frame4", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"Label6", "DialogLabel", "frame4", {8, 8, 281, 89},
     "Warning: You are about to flash your PictureTel PTZ 2 camera.  Once the process starts, it must be completed "
     "in order for your camera to function properly. If your camera or computer lose power or if the process does "
     "not complete, then your camera may be damaged.", true, true},
    {"frame5", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"Label9", "DialogLabel", "frame5", {4, 12, 289, 13}, "Percent Complete ", true, true},
    {"Picture1", "PictureBox", "frame5", {4, 28, 289, 21}, nullptr, true, true},
    {"frame6", "QFrame", kWindow, {8, 72, 297, 105}, nullptr, false, true},
    {"Label7", "DialogLabel", "frame6", {8, 8, 281, 81},
     "Your camera has been flashed.  Press the Finish button to exit the program.", true, true},
    {"Line1", "SeparatorLine", kWindow, {0, 184, 312, 1}, nullptr, true, true},
    {"Line2", "SeparatorLine", kWindow, {0, 183, 312, 2}, nullptr, true, true},
    {"Label10", "DialogLabel", kWindow, {4, 188, 305, 13}, "www.optivant.com", true, true},
    {"cmdPrev", "QPushButton", kWindow, {96, 208, 69, 25}, "&Back", true, false},
    {"cmdNext", "QPushButton", kWindow, {164, 208, 69, 25}, "&Next", true, true},
    {"cmdCancel", "QPushButton", kWindow, {240, 208, 69, 25}, "&Cancel", true, true},
    {"Picture4", "PictureBox", kWindow, {320, 132, 64, 64}, nullptr, false, true},
    {"Picture2", "PictureBox", kWindow, {316, 68, 2112, 64}, nullptr, false, true},
};

// Every text a page label can show; each must fit its label in the dialog font.
const char *const kMessages[] = {
    "No response from the camera. Make sure the cable is attached and that you have selected the correct COM port.  "
    "Press the Back button to reselect a different COM port and try again.",
    "The COM port seems to be in use by some other program.  Press the Back button to select another COM port or to "
    "try again after you close the program that is using the COM port.  Make sure Optivant Moving is running.",
    "The attached camera does not need to be flashed.  You can press the Back button to select a different COM port "
    "or you can press the Next button to proceed with flashing the camera.",
    "The attached camera doesn't seem to be a PictureTel PTZ 2 camera. Press the Back button to select a different "
    "COM port or press Cancel to exit the program. Pressing the Next button will flash the device.  Make sure that "
    "the attached device is a PictureTel PTZ 2 camera.",
    "The power to the camera needs to be turned off then turned back on.  Click on the Cancel button to exit the "
    "program and then try again after a power cycle.",
};

QRect wrappedBounds(const QLabel *label, const QString &text)
{
    return QFontMetrics(label->font())
        .boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

} // namespace

using WindowDefinition = WindowHarness;

TEST_F(WindowDefinition, EveryControlHasItsNameContainerPlaceTextAndState)
{
    for (const ExpectedControl &e : kControls) {
        SCOPED_TRACE(e.name);
        QWidget *w = get<QWidget>(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), e.className);
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(e.container));
        EXPECT_EQ(w->geometry(), e.geometry);
        if (e.text) {
            EXPECT_EQ(w->property("text").toString(), QString::fromLatin1(e.text));
        }
        EXPECT_EQ(!w->isHidden(), e.shown);
        EXPECT_EQ(w->isEnabled(), e.enabled);
    }
}

TEST_F(WindowDefinition, AtStartOnlyBannerWelcomePageSeparatorAddressAndButtonsAreVisible)
{
    QStringList visible;
    for (QWidget *w : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(window.get()))
            visible << w->objectName();
    visible.sort();
    EXPECT_EQ(visible, QStringList({"Label10", "Line1", "Line2", "Picture3", "cmdCancel", "cmdNext", "cmdPrev", "frame1"}));
    EXPECT_EQ(shownPages(), QStringList({"frame1"}));

    // The image holders lie right of the client area even if they were shown.
    for (const char *holder : {"Picture4", "Picture2"})
        EXPECT_GE(get<QWidget>(holder)->x(), window->width()) << holder;
}

TEST_F(WindowDefinition, WindowIsAFixedDialogWithoutSystemMenuCloseBoxOrSizeButtons)
{
    EXPECT_EQ(window->objectName(), QStringLiteral("frmRevertex"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Optivant PictureTel Flash Program"));
    EXPECT_EQ(window->size(), QSize(312, 237));
    EXPECT_EQ(window->minimumSize(), QSize(312, 237));
    EXPECT_EQ(window->maximumSize(), QSize(312, 237));

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(WindowDefinition, OpensCentredOnTheScreenFrameIncluded)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // The offscreen platform gives windows a 2-px frame: centring the client area
    // instead would put the frame's middle 2 px off in both directions.
    ASSERT_NE(window->frameGeometry().size(), window->size());
    const QPoint offset = window->frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 1) << "frame at " << window->frameGeometry().x();
    EXPECT_LE(std::abs(offset.y()), 1) << "frame at " << window->frameGeometry().y();
}

TEST(WindowCentring, TheFrameNotTheClientAreaSitsInTheMiddle)
{
    // A 312 x 237 client area under a 4-px border and a 24-px title bar.
    const QRect available(0, 0, 1024, 768);
    EXPECT_EQ(centredFramePosition(available, QSize(320, 265)), QPoint(352, 251));
    // The available area need not start at the origin (a panel on the left or top).
    EXPECT_EQ(centredFramePosition(QRect(48, 30, 1000, 700), QSize(320, 265)), QPoint(48 + 340, 30 + 217));
    // A frame larger than the area: centred all the same, overhanging both sides.
    EXPECT_EQ(centredFramePosition(QRect(0, 0, 300, 200), QSize(320, 240)), QPoint(-10, -20));
}

TEST_F(WindowDefinition, WindowIconComesFromTheResourceInBothSizes)
{
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST_F(WindowDefinition, TimersAreNamedTimedAndStopped)
{
    const std::pair<const char *, int> expected[] = {
        {"timerCamTest", 1}, {"timerStartDownload", 1}, {"Timer1", 1}, {"timerFinish", 1}, {"throbAnimate", 30},
    };
    for (const auto &[name, interval] : expected) {
        SCOPED_TRACE(name);
        QTimer *t = timer(name);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->parent(), window.get());
        EXPECT_EQ(t->interval(), interval);
        EXPECT_FALSE(t->isActive());
        EXPECT_FALSE(t->isSingleShot());
        if (interval == 1) {
            EXPECT_EQ(t->timerType(), Qt::PreciseTimer);
        }
    }
}

TEST_F(WindowDefinition, PicturesHaveTheirColoursBorderAndImages)
{
    EXPECT_EQ(get<PictureBox>("Picture3")->background(), QColor(255, 255, 255));
    EXPECT_EQ(get<PictureBox>("Picture5")->background(), QColor(255, 255, 255));
    EXPECT_EQ(get<PictureBox>("Picture3")->border(), PictureBox::Border::None);

    PictureBox *bar = get<PictureBox>("Picture1");
    EXPECT_EQ(bar->background(), QColor(207, 226, 240));
    EXPECT_EQ(bar->border(), PictureBox::Border::Sunken3D);
    EXPECT_EQ(QSize(bar->scaleWidth(), bar->scaleHeight()), QSize(289 - 2 * bar->borderWidth(), 21 - 2 * bar->borderWidth()));
    EXPECT_GE(bar->borderWidth(), 1);
    EXPECT_EQ(bar->drawing().pixelColor(bar->scaleWidth() / 2, bar->scaleHeight() / 2), QColor(207, 226, 240));

    EXPECT_EQ(get<PictureBox>("Picture4")->picture().size(), QSize(64, 64));
    EXPECT_EQ(get<PictureBox>("Picture2")->picture().size(), QSize(2112, 64));
    EXPECT_EQ(get<PictureBox>("Picture4")->picture().toImage().convertToFormat(QImage::Format_RGB32), emblem());

    // The load drew the still emblem into the banner; the rest of the banner is white.
    EXPECT_EQ(bannerCorner(), emblem());
    EXPECT_EQ(get<PictureBox>("Picture3")->drawing().pixelColor(200, 32), QColor(255, 255, 255));
}

TEST_F(WindowDefinition, SeparatorIsTheHighlightLineOverTheTwoPixelShadowLine)
{
    auto *line1 = get<SeparatorLine>("Line1");
    auto *line2 = get<SeparatorLine>("Line2");
    EXPECT_EQ(line1->penWidth(), 1);
    EXPECT_EQ(line1->colourRole(), QPalette::Light);
    EXPECT_EQ(line2->penWidth(), 2);
    EXPECT_EQ(line2->colourRole(), QPalette::Dark);
    const QObjectList order = window->children();   // later siblings are drawn on top
    EXPECT_GT(order.indexOf(line1), order.indexOf(line2));
}

TEST_F(WindowDefinition, ComPortListHoldsOneToSixteenRightAlignedWithTheFirstSelected)
{
    QComboBox *combo = get<QComboBox>("Combo1");
    EXPECT_FALSE(combo->isEditable());
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    EXPECT_EQ(entries, QStringList({" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10", "11", "12", "13",
                                    "14", "15", "16"}));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(window->selectedPortEntry(), QStringLiteral(" 1"));
    combo->setCurrentIndex(11);
    EXPECT_EQ(window->selectedPortEntry(), QStringLiteral("12"));
}

TEST_F(WindowDefinition, LabelsWrapTopLeftInTheDialogFontAndOnlyComPortIsBold)
{
    const QFont font = dialogFont(window->devicePixelRatioF());
#ifdef Q_OS_WIN
    // The scalable Microsoft Sans Serif where Windows has it, else Tahoma (Wine ships
    // Tahoma only).
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("Microsoft Sans Serif"))) {
        EXPECT_EQ(font.family(), QStringLiteral("Microsoft Sans Serif"));
    } else if (families.contains(QStringLiteral("Tahoma"))) {
        EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    }
#else
    if (window->devicePixelRatioF() == 1.0 && QFile::exists(QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf"))) {
        EXPECT_EQ(font.family(), QStringLiteral("MS Sans Serif"));
    }
#endif
    EXPECT_EQ(font.pixelSize(), 11);

    const QList<DialogLabel *> labels = window->findChildren<DialogLabel *>();
    EXPECT_EQ(labels.size(), 10);   // Label1, Label2, Label4 ... Label10, lblError
    for (DialogLabel *label : labels) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(label->wordWrap());
        EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(label->font().family(), font.family());
        EXPECT_EQ(label->font().pixelSize(), 11);
        EXPECT_EQ(label->font().bold(), label->objectName() == QStringLiteral("Label4"));
    }
    for (const char *name : {"cmdPrev", "cmdNext", "cmdCancel", "Combo1"}) {
        EXPECT_EQ(get<QWidget>(name)->font().family(), font.family()) << name;
        EXPECT_EQ(get<QWidget>(name)->font().pixelSize(), 11) << name;
    }
}

TEST_F(WindowDefinition, EveryLabelTextAndEveryMessageFitsItsLabel)
{
    for (DialogLabel *label : window->findChildren<DialogLabel *>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QRect bounds = wrappedBounds(label, label->text());
        const int overstrike = label->needsOverstrike() ? 1 : 0;
        EXPECT_LE(bounds.width() + overstrike, label->width());
        EXPECT_LE(bounds.height(), label->height());
    }
    auto *messageLabel = get<QLabel>("lblError");
    int lines = 0;
    for (const char *message : kMessages) {
        SCOPED_TRACE(message);
        const QRect bounds = wrappedBounds(messageLabel, QString::fromLatin1(message));
        EXPECT_LE(bounds.width(), messageLabel->width());
        EXPECT_LE(bounds.height(), messageLabel->height());
        lines = std::max(lines, bounds.height() / QFontMetrics(messageLabel->font()).lineSpacing());
    }
    // The longest texts fill most of their label: about six lines.
    EXPECT_GE(lines, 4);
    // The percentage at its widest stays on the progress label's one line.
    auto *percent = get<QLabel>("Label9");
    EXPECT_LE(wrappedBounds(percent, QStringLiteral("100.00% Complete ")).height(), percent->height());
}

TEST_F(WindowDefinition, TabOrderIsBackNextCancelThenThePortList)
{
    QStringList order;
    QWidget *w = get<QWidget>("cmdPrev");
    for (int i = 0; i < 4; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(order, QStringList({"cmdPrev", "cmdNext", "cmdCancel", "Combo1"}));
    EXPECT_EQ(w->objectName(), QStringLiteral("cmdPrev"));
}

TEST_F(WindowDefinition, EnterAndEscTriggerNoButton)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    for (const char *name : {"cmdPrev", "cmdNext", "cmdCancel"}) {
        EXPECT_FALSE(button(name)->autoDefault()) << name;
        EXPECT_FALSE(button(name)->isDefault()) << name;
    }
    QSignalSpy next(button("cmdNext"), &QPushButton::clicked);
    QSignalSpy cancel(button("cmdCancel"), &QPushButton::clicked);
    button("cmdNext")->setFocus();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(button("cmdNext"), Qt::Key(key));
        QTest::keyClick(window.get(), Qt::Key(key));
    }
    EXPECT_EQ(next.count(), 0);
    EXPECT_EQ(cancel.count(), 0);
    EXPECT_EQ(window->pageNumber(), 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowDefinition, AmpersandsGiveTheAccessKeys)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // A mnemonic "animates" the click: the button is released a moment later.
    constexpr int kClickAnimationLimitMs = 5000;
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownPages() == QStringList({"frame2"}); }, kClickAnimationLimitMs));
    QTest::keyClick(window.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownPages() == QStringList({"frame1"}); }, kClickAnimationLimitMs));
    EXPECT_EQ(window->pageNumber(), 0);
}

TEST_F(WindowDefinition, LoadPreparesTheDownloadState)
{
    EXPECT_TRUE(window->session().AckReceived);
    EXPECT_EQ(window->session().LineIndex, -1);
    EXPECT_EQ(window->session().CamState, 0);
    EXPECT_EQ(window->pageNumber(), 0);
    EXPECT_EQ(window->throbFrame(), 0);
    EXPECT_EQ(window->throbX(), 0);
    EXPECT_FALSE(port->isOpen);
    EXPECT_TRUE(port->writes.isEmpty());
}

TEST_F(WindowDefinition, FocusStartsOnNextAsBackIsDisabled)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), button("cmdNext"));
}
