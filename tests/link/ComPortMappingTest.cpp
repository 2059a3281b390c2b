#include "link/ComPortMapping.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

SerialPortDescription port(const char *device, const char *description = "", const char *maker = "",
                           const char *serial = "")
{
    return {QString::fromLatin1(device), QString::fromLatin1(description), QString::fromLatin1(maker),
            QString::fromLatin1(serial), true};
}

SerialPortDescription phantom(const char *device)
{
    SerialPortDescription p = port(device);
    p.hasHardware = false;
    return p;
}

// The device behind COM 1, 2, ... up to `count`, as the ordering rule gives them.
QStringList devices(const QList<SerialPortDescription> &present, int count, const QList<ComPortOverride> &overrides = {})
{
    QStringList result;
    for (int n = 1; n <= count; ++n) {
        const ComPortOverride override = n <= overrides.size() ? overrides[n - 1] : ComPortOverride{};
        const QString device = assignComPort(qint16(n), present, override, ComPortNaming::ByOrder).device;
        result << (device.isEmpty() ? QStringLiteral("-") : device);
    }
    return result;
}

QStringList list(std::initializer_list<const char *> items)
{
    QStringList result;
    for (const char *item : items)
        result << QString::fromLatin1(item);
    return result;
}

// --- which device each COM number stands for -------------------------------------------

TEST(ComPortOrder, NoPortsMeansNoComPort)
{
    EXPECT_EQ(devices({}, 3), list({"-", "-", "-"}));
}

TEST(ComPortOrder, ALoneAdapterIsCom1)
{
    EXPECT_EQ(devices({port("/dev/ttyUSB0")}, 2), list({"/dev/ttyUSB0", "-"}));
}

TEST(ComPortOrder, UartsFirstThenUsbThenAcmEachByNumber)
{
    // Listed as a system might: in no useful order.
    const QList<SerialPortDescription> present{port("/dev/ttyACM0"), port("/dev/ttyUSB1"), port("/dev/ttyS1"),
                                               port("/dev/ttyUSB0"), port("/dev/ttyS0")};
    EXPECT_EQ(devices(present, 6),
              list({"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "-"}));
}

TEST(ComPortOrder, NumbersCompareAsNumbers)
{
    const QList<SerialPortDescription> present{port("/dev/ttyUSB10"), port("/dev/ttyUSB2"), port("/dev/ttyS10"),
                                               port("/dev/ttyS9")};
    EXPECT_EQ(devices(present, 4), list({"/dev/ttyS9", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(ComPortOrder, PhantomUartsTakeNoNumber)
{
    // The usual PC: ttyS0 is real, ttyS1 to ttyS31 are entries without a UART.
    QList<SerialPortDescription> present{port("/dev/ttyS0")};
    for (int i = 1; i < 32; ++i)
        present << phantom(QStringLiteral("/dev/ttyS%1").arg(i).toLatin1().constData());
    present << port("/dev/ttyUSB0");
    EXPECT_EQ(devices(present, 3), list({"/dev/ttyS0", "/dev/ttyUSB0", "-"}));

    // Only phantoms: the adapter is COM 1.
    EXPECT_EQ(devices({phantom("/dev/ttyS0"), phantom("/dev/ttyS1"), port("/dev/ttyUSB0")}, 2),
              list({"/dev/ttyUSB0", "-"}));
}

TEST(ComPortOrder, OtherFamiliesFollowByNameAndNumber)
{
    const QList<SerialPortDescription> present{port("/dev/ttyXRUSB0"), port("/dev/ttyAMA0"), port("/dev/ttyACM0"),
                                               port("/dev/rfcomm0")};
    EXPECT_EQ(devices(present, 4), list({"/dev/ttyACM0", "/dev/rfcomm0", "/dev/ttyAMA0", "/dev/ttyXRUSB0"}));
}

TEST(ComPortOrder, OverrideNamesTheDeviceAndLeavesTheOthersInPlace)
{
    const QList<SerialPortDescription> present{port("/dev/ttyS0"), port("/dev/ttyUSB0")};
    const QList<ComPortOverride> overrides{{}, {QStringLiteral("/tmp/ptz2"), QStringLiteral("/dev/pts/4")}};
    EXPECT_EQ(devices(present, 3, overrides), list({"/dev/ttyS0", "/tmp/ptz2", "-"}));

    // An override beyond the ports present counts as well.
    const QList<ComPortOverride> far{{}, {}, {}, {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB0")}};
    EXPECT_EQ(devices({}, 4, far), list({"-", "-", "-", "/dev/ttyUSB0"}));
}

TEST(ComPortOrder, MoreThanSixteenPortsLeaveTheRestWithoutANumberInTheList)
{
    QList<SerialPortDescription> present;
    for (int i = 19; i >= 0; --i)
        present << port(QStringLiteral("/dev/ttyUSB%1").arg(i).toLatin1().constData());
    const QStringList sixteen = devices(present, 16);
    EXPECT_EQ(sixteen.first(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(sixteen.last(), QStringLiteral("/dev/ttyUSB15"));
    EXPECT_EQ(assignComPort(17, present, {}, ComPortNaming::ByOrder).device, QStringLiteral("/dev/ttyUSB16"));
    EXPECT_EQ(assignComPort(0, present, {}, ComPortNaming::ByOrder).device, QString());
}

TEST(ComPortOrder, WindowsNamesComPortsWhetherPresentOrNot)
{
    const QList<SerialPortDescription> present{port("COM3", "USB Serial Port", "FTDI", "A1")};
    const ComPortAssignment com3 = assignComPort(3, present, {}, ComPortNaming::ByName);
    EXPECT_EQ(com3.device, QStringLiteral("COM3"));
    EXPECT_TRUE(com3.known);
    EXPECT_EQ(com3.port.manufacturer, QStringLiteral("FTDI"));
    const ComPortAssignment com1 = assignComPort(1, present, {}, ComPortNaming::ByName);
    EXPECT_EQ(com1.device, QStringLiteral("COM1"));
    EXPECT_FALSE(com1.known);
}

// --- what the list and the tooltips say ----------------------------------------------------

TEST(ComPortText, NamesTheDeviceAndWhatIsKnownOfIt)
{
    const QList<SerialPortDescription> present{port("/dev/ttyS0"),
                                               port("/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1234567"),
                                               port("/dev/ttyACM0", "", "Arduino")};
    auto describe = [&](qint16 n, const ComPortOverride &override = {}) {
        return describeComPort(assignComPort(n, present, override, ComPortNaming::ByOrder));
    };
    EXPECT_EQ(describe(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(describe(2), QStringLiteral("/dev/ttyUSB0: FT232R USB UART, maker FTDI, serial number A1234567"));
    EXPECT_EQ(describe(3), QStringLiteral("/dev/ttyACM0: maker Arduino"));
    EXPECT_EQ(describe(4), QStringLiteral("no port"));

    // A by-id name leads to the adapter, whose description it then carries.
    const ComPortOverride byId{QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0"),
                               QStringLiteral("/dev/ttyUSB0")};
    EXPECT_EQ(describe(5, byId), QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0 "
                                                "(set by REVERTEX_COM5): FT232R USB UART, maker FTDI, serial number A1234567"));
    const ComPortOverride pty{QStringLiteral("/tmp/ptz2"), QStringLiteral("/dev/pts/4")};
    EXPECT_EQ(describe(1, pty), QStringLiteral("/tmp/ptz2 (set by REVERTEX_COM1)"));
}

TEST(ComPortText, TableHasOneAlignedLinePerNumber)
{
    const QList<SerialPortDescription> present{port("/dev/ttyUSB0", "CP2102 USB to UART Bridge Controller", "Silicon Labs")};
    QList<ComPortAssignment> table;
    for (qint16 n : {1, 2, 10})
        table << assignComPort(n, present, {}, ComPortNaming::ByOrder);
    EXPECT_EQ(comPortTableText(table), QStringLiteral("COM  1  /dev/ttyUSB0: CP2102 USB to UART Bridge Controller, maker Silicon Labs\n"
                                                      "COM  2  no port\n"
                                                      "COM 10  no port\n"));
}

} // namespace
