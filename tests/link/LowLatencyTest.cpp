// The low-latency request a port makes when it opens: what it asks of the driver, and
// that a driver which refuses changes nothing.
#include "link/LowLatency.h"

#include <gtest/gtest.h>

#ifdef Q_OS_LINUX

#include "link/LowLatencyLinux.h"

#include <cerrno>
#include <vector>

namespace {

constexpr int kFd = 17;
constexpr int kOtherFlags = ASYNC_SKIP_TEST | ASYNC_SPD_HI;
constexpr int kBaudBase = 24000000;

// A driver as the ioctls see it: what each request was given, and whether it refuses.
struct DriverRecord {
    serial_struct settings{};
    bool refuseGet = false;
    bool refuseSet = false;
    std::vector<int> getFds;
    std::vector<serial_struct> sets;
    std::vector<int> setFds;

    SerialInfoRequests requests()
    {
        SerialInfoRequests r;
        r.get = [this](int fd, serial_struct *info) {
            getFds.push_back(fd);
            if (refuseGet) {
                errno = ENOTTY;
                return -1;
            }
            *info = settings;
            return 0;
        };
        r.set = [this](int fd, const serial_struct &info) {
            setFds.push_back(fd);
            sets.push_back(info);
            if (refuseSet) {
                errno = EPERM;
                return -1;
            }
            settings = info;
            return 0;
        };
        return r;
    }
};

TEST(LowLatencyRequest, ReadsTheSettingsAndWritesThemBackWithLowLatencyAdded)
{
    DriverRecord driver;
    driver.settings.flags = kOtherFlags;
    driver.settings.baud_base = kBaudBase;
    driver.settings.type = 4;

    EXPECT_EQ(requestLowLatency(kFd, driver.requests()), LowLatencyAnswer::Granted);

    EXPECT_EQ(driver.getFds, std::vector<int>{kFd});
    ASSERT_EQ(driver.sets.size(), 1u);
    EXPECT_EQ(driver.setFds, std::vector<int>{kFd});
    EXPECT_EQ(driver.sets[0].flags, kOtherFlags | ASYNC_LOW_LATENCY);   // nothing else cleared or added
    EXPECT_EQ(driver.sets[0].baud_base, kBaudBase);
    EXPECT_EQ(driver.sets[0].type, 4);
}

TEST(LowLatencyRequest, ADriverAlreadyAtLowLatencyIsLeftAlone)
{
    DriverRecord driver;
    driver.settings.flags = kOtherFlags | ASYNC_LOW_LATENCY;

    EXPECT_EQ(requestLowLatency(kFd, driver.requests()), LowLatencyAnswer::Granted);
    EXPECT_TRUE(driver.sets.empty());
}

TEST(LowLatencyRequest, RefusalsAreAnswersNotFailures)
{
    {
        SCOPED_TRACE("no serial settings at all (a pseudo-terminal)");
        DriverRecord driver;
        driver.refuseGet = true;
        EXPECT_EQ(requestLowLatency(kFd, driver.requests()), LowLatencyAnswer::Refused);
        EXPECT_TRUE(driver.sets.empty());   // nothing is written from settings never read
    }
    {
        SCOPED_TRACE("settings read, the change refused");
        DriverRecord driver;
        driver.refuseSet = true;
        EXPECT_EQ(requestLowLatency(kFd, driver.requests()), LowLatencyAnswer::Refused);
        EXPECT_EQ(driver.sets.size(), 1u);
    }
}

TEST(LowLatencyRequest, AFileThatIsNoTerminalRefusesHarmlessly)
{
    EXPECT_EQ(requestLowLatency(-1), LowLatencyAnswer::Refused);
}

} // namespace

#else

TEST(LowLatencyRequest, IsNotAvailableOffLinux)
{
    EXPECT_EQ(requestLowLatency(SerialHandle{}), LowLatencyAnswer::NotAvailable);
}

#endif
