// The COM port entries' tooltips on the real window, over made-up port lists, and the
// cause of a failed open on standard error and on the entry's tooltip.
#include "tests/app/WindowHarness.h"
#include "tests/support/CapturedStderr.h"

#include <QTextDocument>

namespace {

// An entry's tooltip as plain text.
QString tipOf(QComboBox *list, int entry)
{
    QTextDocument document;
    document.setHtml(list->itemData(entry, Qt::ToolTipRole).toString());
    return document.toPlainText().trimmed();   // a wide tip sits in a table, which adds line breaks
}


class ComPortTips : public WindowHarness {
protected:
    QList<SerialPortDescription> present{
        {QStringLiteral("/dev/ttyS0"), QString(), QString(), QString(), true},
        {QStringLiteral("/dev/ttyS1"), QString(), QString(), QString(), false},   // no UART behind it
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"), QStringLiteral("A1"), true},
    };
    int lookups = 0;

    void SetUp() override
    {
        auto fakePort = std::make_unique<FakeCommPort>();
        auto fakeClock = std::make_unique<FakeClock>();
        port = fakePort.get();
        clock = fakeClock.get();
        frmRevertex::Parts parts;
        parts.port = std::move(fakePort);
        parts.clock = std::move(fakeClock);
        parts.firmware = FirmwareTestFiles::plainFirmware();
        parts.fatalError = [this](int number, const QString &description) { reports.append({number, description}); };
        parts.comPorts = [this] {
            ++lookups;
            QList<ComPortAssignment> ports;
            for (qint16 n = 1; n <= 16; ++n)
                ports << assignComPort(n, present, {}, ComPortNaming::ByOrder);
            return ports;
        };
        window = std::make_unique<frmRevertex>(std::move(parts));
    }

    QComboBox *list() const { return get<QComboBox>("Combo1"); }
};

TEST_F(ComPortTips, EachEntryNamesItsDeviceAndTheEntriesKeepTheirNumbers)
{
    EXPECT_EQ(lookups, 0);   // nobody looks before the page shows
    click("cmdNext");
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(tipOf(list(), 0), QStringLiteral("COM 1: /dev/ttyS0"));
    EXPECT_EQ(tipOf(list(), 1), QStringLiteral("COM 2: /dev/ttyUSB0: FT232R USB UART, maker FTDI, serial number A1"));
    EXPECT_EQ(tipOf(list(), 2), QStringLiteral("COM 3: no port"));
    EXPECT_EQ(tipOf(list(), 15), QStringLiteral("COM 16: no port"));
    EXPECT_EQ(list()->count(), 16);
    EXPECT_EQ(list()->itemText(1), QStringLiteral(" 2"));

    // The closed list shows the selected entry's tip.
    EXPECT_EQ(list()->toolTip(), list()->itemData(0, Qt::ToolTipRole).toString());
    list()->setCurrentIndex(1);
    EXPECT_EQ(list()->toolTip(), list()->itemData(1, Qt::ToolTipRole).toString());
}

TEST_F(ComPortTips, AnAdapterPluggedInMeanwhileShowsWhenThePageShowsAgain)
{
    click("cmdNext");
    click("cmdPrev");
    present.append({QStringLiteral("/dev/ttyACM0"), QStringLiteral("CDC adapter"), QString(), QString(), true});
    click("cmdNext");
    EXPECT_EQ(lookups, 2);
    EXPECT_EQ(tipOf(list(), 2), QStringLiteral("COM 3: /dev/ttyACM0: CDC adapter"));
}

#ifndef Q_OS_WIN
TEST_F(ComPortTips, FailedOpenIsToldOnStandardErrorAndOnTheEntrysTip)
{
    click("cmdNext");
    list()->setCurrentIndex(1);
    port->failOpen = true;
    CapturedStderr captured;
    ASSERT_TRUE(captured.ok());
    click("cmdNext");
    tick("timerCamTest_Timer");
    const QString said = captured.text();
    ASSERT_FALSE(get<QFrame>("frame4a")->isHidden());
    EXPECT_TRUE(text("lblError").startsWith(QStringLiteral("The COM port seems to be in use")));   // the page keeps its text
    EXPECT_EQ(said, QStringLiteral("revertex: Port already open\n"));

    click("cmdPrev");
    EXPECT_EQ(tipOf(list(), 1),
              QStringLiteral("COM 2: /dev/ttyUSB0: FT232R USB UART, maker FTDI, serial number A1\nLast check: Port already open"));
    EXPECT_EQ(list()->toolTip(), list()->itemData(1, Qt::ToolTipRole).toString());
    EXPECT_EQ(tipOf(list(), 0), QStringLiteral("COM 1: /dev/ttyS0"));

    // A new check that gets past the open leaves no stale cause behind.
    port->failOpen = false;
    click("cmdNext");
    tick("timerCamTest_Timer");
    window->land(Landing::NoResponse);
    click("cmdPrev");
    EXPECT_EQ(tipOf(list(), 1), QStringLiteral("COM 2: /dev/ttyUSB0: FT232R USB UART, maker FTDI, serial number A1"));
    EXPECT_TRUE(reports.isEmpty());
}
#endif

} // namespace
