#pragma once

#include "app/PictureBox.h"
#include "app/frmRevertex.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeCommPort.h"

#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <utility>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// The real window on a fake port and a fake clock, with the fatal-error report recorded
// instead of shown. Controls are reached by their names, as the sequences reach them.
class WindowHarness : public ::testing::Test {
protected:
    FakeCommPort *port = nullptr;
    FakeClock *clock = nullptr;   // null when the fixture runs on another clock
    QList<std::pair<int, QString>> reports;
    std::unique_ptr<frmRevertex> window;

    // What the window runs on; a fixture may put in its own port, clock or firmware.
    virtual std::unique_ptr<FakeCommPort> makePort() { return std::make_unique<FakeCommPort>(); }
    virtual std::unique_ptr<SecondsClock> makeClock() { return std::make_unique<FakeClock>(); }
    virtual QByteArray firmware() const { return FirmwareTestFiles::plainFirmware(); }

    void SetUp() override
    {
        auto fakePort = makePort();
        auto ownClock = makeClock();
        port = fakePort.get();
        clock = dynamic_cast<FakeClock *>(ownClock.get());
        frmRevertex::Parts parts;
        parts.port = std::move(fakePort);
        parts.clock = std::move(ownClock);
        parts.firmware = firmware();
        parts.fatalError = [this](int number, const QString &description) { reports.append({number, description}); };
        window = std::make_unique<frmRevertex>(std::move(parts));
    }

    template <class T> T *get(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    QPushButton *button(const char *name) const { return get<QPushButton>(name); }
    QTimer *timer(const char *name) const { return get<QTimer>(name); }
    QString text(const char *name) const { return get<QWidget>(name)->property("text").toString(); }

    // A click as the user makes it: a disabled button ignores it.
    void click(const char *name) { button(name)->click(); }

    // One tick of a timer's handler, delivered directly.
    void tick(const char *handler) { ASSERT_TRUE(QMetaObject::invokeMethod(window.get(), handler, Qt::DirectConnection)); }

    // The pages that are not hidden, by name.
    QStringList shownPages() const
    {
        QStringList shown;
        for (const char *page : {"frame1", "frame2", "frame3", "frame4a", "frame4", "frame5", "frame6"})
            if (!get<QFrame>(page)->isHidden())
                shown << QString::fromLatin1(page);
        return shown;
    }

    // Back, Next, Cancel enabled, e.g. "-++".
    std::string buttons() const
    {
        std::string s;
        for (const char *b : {"cmdPrev", "cmdNext", "cmdCancel"})
            s += button(b)->isEnabled() ? '+' : '-';
        return s;
    }

    // The banner's top-left 64 x 64 pixels, where the emblem and the animation go.
    QImage bannerCorner() const { return get<PictureBox>("Picture3")->drawing().copy(0, 0, 64, 64); }

    static QImage emblem() { return QImage(QStringLiteral(":/revertex/emblem.png")).convertToFormat(QImage::Format_RGB32); }

    static QImage stripCell(int k)
    {
        return QImage(QStringLiteral(":/revertex/strip.png")).copy(64 * k, 0, 64, 64).convertToFormat(QImage::Format_RGB32);
    }

    // Welcome -> COM port -> testing page.
    void goToTestingPage()
    {
        click("cmdNext");
        click("cmdNext");
    }

    // ... -> warning page (camera needs flashing) -> progress page.
    void goToProgressPage()
    {
        goToTestingPage();
        window->land(Landing::NeedsFlashing);
        click("cmdNext");
    }
};
