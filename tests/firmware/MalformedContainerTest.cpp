// Every way a container can be broken is refused with a message that names the
// record and the fault, and nothing is returned.
#include "flash/FirmwareImage.h"
#include "flash/LineCodec.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <functional>
#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

// 64 bytes of 0x11 sum to 0x40: a line that needs no escape, 65 bytes stored.
QByteArray plainLine()
{
    return LineCodec::encodeLine(QByteArray(64, '\x11'));
}

QByteArray record(const QByteArray &body)
{
    return field(static_cast<qint32>(body.size())) + body;
}

// Two records: a good one, then the one under test.
QByteArray withSecondBody(const QByteArray &body)
{
    return field(1) + record(plainLine()) + record(body);
}

QByteArray withByte(QByteArray body, int at, char byte)
{
    body[at] = byte;
    return body;
}

struct MalformedCase {
    const char *name;
    std::function<QByteArray()> container;
    const char *message;
};

const MalformedCase kCases[] = {
    {"truncated count", [] { return QByteArray("\x01\x00", 2); },
     "container: 2 bytes, too short to hold the record count"},
    {"truncated length", [] { return field(1) + record(plainLine()) + QByteArray("\x41\x00", 2); },
     "record 1 of 2: the length field at byte 73 runs past the end (75 bytes)"},
    {"truncated body", [] { return field(1) + record(plainLine()) + field(65) + plainLine().left(30); },
     "record 1 of 2: length 65 runs past the end: only 30 bytes are left"},
    {"negative count", [] { return field(-1) + record(plainLine()) + record(plainLine()); },
     "container: negative record count: upper index -1"},
    {"negative length", [] { return field(1) + record(plainLine()) + field(-5) + plainLine(); },
     "record 1 of 2: negative length -5"},
    {"huge length", [] { return field(1) + field(0x7FFFFFFF) + plainLine() + record(plainLine()); },
     "record 0 of 2: length 2147483647 runs past the end: only 134 bytes are left"},
    {"huge count", [] { return field(0x7FFFFFFF) + record(plainLine()) + record(plainLine()); },
     "container: a count of 2147483648 records runs past the end: only 138 bytes follow it"},
    {"single record (U = 0)", [] { return field(0) + record(plainLine()); },
     "container: only one record (upper index 0); a firmware image has at least two"},
    {"bare STX", [] { return withSecondBody(withByte(plainLine(), 10, '\x02')); },
     "record 1 of 2: bare 0x02 at offset 10"},
    {"bare EOT", [] { return withSecondBody(withByte(plainLine(), 64, '\x04')); },
     "record 1 of 2: bare 0x04 at offset 64"},
    {"dangling escape", [] { return withSecondBody(plainLine().left(64) + '\x7F'); },
     "record 1 of 2: ends in an escape byte 0x7F with nothing after it"},
    {"needless escape", [] { return withSecondBody(plainLine().insert(5, '\x7F')); },
     "record 1 of 2: escape byte 0x7F at offset 5 before 0x11, which needs no escape"},
    {"64 logical bytes", [] { return withSecondBody(plainLine().left(64)); },
     "record 1 of 2: 64 logical bytes instead of 65"},
    {"66 logical bytes", [] { return withSecondBody(plainLine() + '\x40'); },
     "record 1 of 2: 66 logical bytes instead of 65"},
    {"wrong checksum", [] { return withSecondBody(withByte(plainLine(), 64, '\x41')); },
     "record 1 of 2: checksum 0x41 where the sum of the line is 0x40"},
    {"escaped wrong checksum", [] { return withSecondBody(plainLine().left(64) + QByteArray("\x7F\x7F", 2)); },
     "record 1 of 2: checksum 0x7F where the sum of the line is 0x40"},
    {"empty", [] { return QByteArray(); },
     "container: 0 bytes, too short to hold the record count"},
};

class MalformedContainer : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedContainer, IsRefusedNamingTheRecordAndTheFault)
{
    const MalformedCase &malformed = GetParam();
    try {
        unpackFirmware(malformed.container());
        FAIL() << "accepted";
    } catch (const FirmwareError &error) {
        EXPECT_EQ(error.message().toStdString(), malformed.message);
        EXPECT_STREQ(error.what(), malformed.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, MalformedContainer, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MalformedCase> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(MalformedContainerSanity, TheGoodPartsOfTheCasesAreAccepted)
{
    // The cases fail for their fault alone: with the fault mended they pass.
    EXPECT_EQ(unpackFirmware(withSecondBody(plainLine())).size(), 2);
    EXPECT_EQ(unpackFirmware(withSecondBody(plainLine().left(64) + '\x40')).size(), 2);
}

TEST(MalformedContainerSanity, AFaultDeepInARealImageNamesItsRecord)
{
    QByteArray container = committedTestImage();
    const LineRecords lines = unpackFirmware(container);
    // The checksum byte of record 17, made one too large.
    qsizetype offset = 4;
    for (int k = 0; k <= 17; ++k)
        offset += 4 + lines[k].size();
    const qsizetype checksumAt = offset - 1;
    ASSERT_FALSE(LineCodec::needsEscape(container.at(checksumAt)));
    ASSERT_FALSE(LineCodec::needsEscape(static_cast<char>(container.at(checksumAt) + 1)));
    container[checksumAt] = static_cast<char>(container.at(checksumAt) + 1);
    try {
        unpackFirmware(container);
        FAIL() << "accepted";
    } catch (const FirmwareError &error) {
        EXPECT_EQ(error.record(), 17);
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("record 17 of 899: checksum 0x"))) << error.message().toStdString();
    }
}

} // namespace
