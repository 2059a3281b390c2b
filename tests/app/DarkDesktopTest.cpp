// The window on a dark desktop: it keeps the design's light colours, so every text is
// readable on its own ground (contrast 4.5:1 at least, measured on the grabbed window),
// and so are the buttons, the drop-down list and the run-time error box.
//   DarkPalette:    a dark palette set by the test, on any platform theme.
//   DesktopPalette: whatever the desktop gives; the test command also runs it under the
//                   GTK theme with Adwaita:dark (REVERTEX_DARK_DESKTOP=1 says it must be dark).
#include "LookSupport.h"
#include "WindowHarness.h"

#include "app/DialogLabel.h"
#include "app/FatalErrorGuard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QtMath>

#include <cstring>

using LookSupport::inkOf;
using LookSupport::regionOf;

namespace {

// The readable minimum for body text (WCAG 2, level AA).
constexpr double kReadableContrast = 4.5;
// Grounds at least this light are the light look; the dark desktops are far below it.
constexpr double kLightGround = 0.6;

constexpr int kFrameWidth = 3;   // logical pixels
const QColor kBanner(255, 255, 255);
const char *const kPages[] = {"frame1", "frame2", "frame3", "frame4a", "frame4", "frame5", "frame6"};

QPalette darkDesktopPalette()
{
    QPalette dark;
    for (const auto &[role, colour] : std::initializer_list<std::pair<QPalette::ColorRole, QColor>>{
             {QPalette::Window, QColor(50, 50, 50)},       {QPalette::WindowText, QColor(240, 240, 240)},
             {QPalette::Base, QColor(30, 30, 30)},         {QPalette::AlternateBase, QColor(40, 40, 40)},
             {QPalette::Text, QColor(240, 240, 240)},      {QPalette::Button, QColor(60, 60, 60)},
             {QPalette::ButtonText, QColor(240, 240, 240)}, {QPalette::Light, QColor(90, 90, 90)},
             {QPalette::Midlight, QColor(70, 70, 70)},     {QPalette::Mid, QColor(40, 40, 40)},
             {QPalette::Dark, QColor(20, 20, 20)},         {QPalette::Shadow, QColor(0, 0, 0)},
             {QPalette::Highlight, QColor(21, 83, 158)},   {QPalette::HighlightedText, QColor(255, 255, 255)},
         })
        dark.setColor(role, colour);
    return dark;
}

// The face of a button or a list inside its frame (the frame is the same colour all
// round and would outnumber any one row of a shaded face).
QRect inside(const QRect &region, const QImage &grabbed)
{
    const int frame = qCeil(kFrameWidth * grabbed.devicePixelRatio());
    return region.adjusted(frame, frame, -frame, -frame);
}

bool isDark(const QPalette &palette)
{
    return LookSupport::luminance(palette.color(QPalette::Window)) < 0.1;
}

} // namespace

// The light look and readable texts, whatever the application's palette is when the
// window is made.
class DarkDesktop : public WindowHarness {
protected:
    QPalette desktop;

    void SetUp() override
    {
        desktop = QApplication::palette();
        prepareDesktop();
        WindowHarness::SetUp();
    }

    void TearDown() override { QApplication::setPalette(desktop); }

    virtual void prepareDesktop() = 0;

    QColor face() const { return window->palette().color(QPalette::Window); }

    void expectLightAndReadable(const QImage &grabbed, const QWidget *top, const QWidget *w, const QColor &ground)
    {
        SCOPED_TRACE(w->objectName().toStdString());
        const LookSupport::Ink ink = inkOf(grabbed, regionOf(w, top, grabbed));
        EXPECT_EQ(ink.ground.name(), ground.name());
        EXPECT_GE(ink.contrast(), kReadableContrast) << ink.ink.name().toStdString() << " on " << ink.ground.name().toStdString();
    }

    void everyPageIsLightAndReadable()
    {
        EXPECT_GE(LookSupport::luminance(face()), kLightGround);
        for (const char *page : kPages) {
            SCOPED_TRACE(page);
            for (const char *other : kPages)
                get<QWidget>(other)->setHidden(std::strcmp(other, page) != 0);
            const QImage grabbed = window->grab().toImage();
            for (DialogLabel *label : window->findChildren<DialogLabel *>()) {
                if (!label->isVisibleTo(window.get()))
                    continue;
                const bool onBanner = label->objectName() == QLatin1String("Label1");
                expectLightAndReadable(grabbed, window.get(), label, onBanner ? kBanner : face());
            }
            for (const char *name : {"cmdPrev", "cmdNext", "cmdCancel"}) {
                const LookSupport::Ink ink = inkOf(grabbed, inside(regionOf(button(name), window.get(), grabbed), grabbed));
                EXPECT_GE(LookSupport::luminance(ink.ground), kLightGround) << name;
                if (button(name)->isEnabled()) {
                    EXPECT_GE(ink.contrast(), kReadableContrast) << name;
                }
            }
            if (std::strcmp(page, "frame2") == 0) {
                const LookSupport::Ink ink =
                    inkOf(grabbed, inside(regionOf(get<QWidget>("Combo1"), window.get(), grabbed), grabbed));
                EXPECT_GE(LookSupport::luminance(ink.ground), kLightGround);
                EXPECT_GE(ink.contrast(), kReadableContrast);
            }
        }
    }

    void dropDownListIsLightAndReadable()
    {
        window->show();
        click("cmdNext");
        auto *combo = get<QComboBox>("Combo1");
        combo->showPopup();
        QWidget *popup = combo->view()->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        const QImage grabbed = popup->grab().toImage();
        const LookSupport::Ink ink = inkOf(grabbed, grabbed.rect());
        EXPECT_GE(LookSupport::luminance(ink.ground), kLightGround) << ink.ground.name().toStdString();
        EXPECT_GE(ink.contrast(), kReadableContrast);
        combo->hidePopup();
    }

    void errorBoxIsLightAndReadable()
    {
        const std::unique_ptr<QMessageBox> box =
            runTimeErrorBox(window.get(), 8021, QStringLiteral("Error writing comm device"));
        auto *text = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(text, nullptr);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        const QImage grabbed = box->grab().toImage();
        const LookSupport::Ink ink = inkOf(grabbed, regionOf(text, box.get(), grabbed));
        EXPECT_GE(LookSupport::luminance(ink.ground), kLightGround) << ink.ground.name().toStdString();
        EXPECT_GE(ink.contrast(), kReadableContrast);
        box->hide();
    }
};

class DarkPalette : public DarkDesktop {
protected:
    void prepareDesktop() override { QApplication::setPalette(darkDesktopPalette()); }
};

TEST_F(DarkPalette, EveryPageKeepsTheLightLookAndReadableTexts) { everyPageIsLightAndReadable(); }
TEST_F(DarkPalette, DropDownListIsLightAndReadable) { dropDownListIsLightAndReadable(); }
TEST_F(DarkPalette, RunTimeErrorBoxIsLightAndReadable) { errorBoxIsLightAndReadable(); }

TEST_F(DarkPalette, DesktopTurningDarkLaterChangesNothing)
{
    QApplication::setPalette(desktop);
    const QImage before = window->grab().toImage();
    QApplication::setPalette(darkDesktopPalette());
    EXPECT_EQ(window->grab().toImage(), before);
}

class DesktopPalette : public DarkDesktop {
protected:
    void prepareDesktop() override
    {
        if (qEnvironmentVariableIntValue("REVERTEX_DARK_DESKTOP") == 1) {
            ASSERT_TRUE(isDark(QApplication::palette()))
                << "the desktop was to be dark, but its window colour is "
                << QApplication::palette().color(QPalette::Window).name().toStdString()
                << " (is qt6-gtk-platformtheme installed?)";
        }
    }
};

TEST_F(DesktopPalette, EveryPageKeepsTheLightLookAndReadableTexts) { everyPageIsLightAndReadable(); }
TEST_F(DesktopPalette, DropDownListIsLightAndReadable) { dropDownListIsLightAndReadable(); }
TEST_F(DesktopPalette, RunTimeErrorBoxIsLightAndReadable) { errorBoxIsLightAndReadable(); }
