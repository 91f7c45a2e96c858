#include "SRecordFixture.h"
#include "sim/SRecord.h"
#include "sim/SimUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace sernox {
namespace {

using test::GoodFirmware;
using test::SRec;
using test::Bytes;

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

const std::string kEnd = SRec('9', 0, 2, {});

struct BadCase {
    const char* name;
    std::string text;
    int line;
};

class SRecordRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(SRecordRefused, WithTheLineOfTheFault)
{
    const auto result = ParseSRecords(GetParam().text);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, GetParam().line) << result.error;
}

std::string WithWrongChecksum()
{
    std::string line = SRec('1', 0x100, 2, Bytes(4, 1));
    line.back() = line.back() == '0' ? '1' : '0';
    return Lines({line, kEnd});
}

std::string WithBadHex()
{
    std::string line = SRec('1', 0x100, 2, Bytes(4, 1));
    line[10] = 'G';
    return Lines({line, kEnd});
}

std::string WithWrongCount()
{
    std::string line = SRec('1', 0x100, 2, Bytes(4, 1));
    line[3] = '8'; // count 0x08 for a 7-byte record
    return Lines({line, kEnd});
}

std::string Truncated()
{
    const std::string good = GoodFirmware();
    return good.substr(0, good.rfind("S9"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SRecordRefused,
    ::testing::Values(
        BadCase{"checksum", WithWrongChecksum(), 1},
        BadCase{"bad_hex", WithBadHex(), 1},
        BadCase{"odd_digits", Lines({SRec('1', 0x100, 2, Bytes(4, 1)) + "0", kEnd}), 1},
        BadCase{"byte_count", WithWrongCount(), 1},
        BadCase{"type_S4", Lines({SRec('4', 0x100, 2, Bytes(4, 1)), kEnd}), 1},
        BadCase{"not_a_record", Lines({SRec('1', 0x100, 2, Bytes(4, 1)), "X1030000FC", kEnd}), 2},
        BadCase{"truncated", Truncated(), 6},
        BadCase{"overlap", Lines({SRec('1', 0x100, 2, Bytes(4, 1)), SRec('1', 0x103, 2, Bytes(4, 1)), kEnd}), 2},
        BadCase{"backwards", Lines({SRec('1', 0x100, 2, Bytes(4, 1)), SRec('1', 0x0F0, 2, Bytes(4, 1)), kEnd}), 2},
        BadCase{"after_end", Lines({SRec('1', 0x100, 2, Bytes(4, 1)), kEnd, SRec('1', 0x104, 2, Bytes(4, 1))}), 3},
        BadCase{"count_mismatch", Lines({SRec('1', 0x100, 2, Bytes(4, 1)), SRec('5', 2, 2, {}), kEnd}), 2},
        BadCase{"past_16bit_space", Lines({SRec('1', 0xFFFE, 2, Bytes(4, 1)), kEnd}), 1},
        BadCase{"no_data", Lines({SRec('0', 0, 2, {'H'}), kEnd}), 2},
        BadCase{"empty", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SRecord, GoodFileGivesItsImage)
{
    const auto result = ParseSRecords(GoodFirmware(4));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.image.header, "FW");
    EXPECT_EQ(result.image.dataRecords, 4);
    ASSERT_EQ(result.image.segments.size(), 1u);
    EXPECT_EQ(result.image.segments[0].address, 0x1000u);
    EXPECT_EQ(result.image.segments[0].bytes, Bytes(64, 0));
}

TEST(SRecord, AcceptsWiderAddressesGapsCrLfAndLowerCase)
{
    std::string lower = SRec('3', 0x20000, 4, Bytes(2, 0xAB));
    for (auto& c : lower)
        c = static_cast<char>(std::tolower(c));
    lower[0] = 'S';
    const std::string text = SRec('2', 0x10000, 3, Bytes(8, 0)) + "\r\n\r\n" + lower + "\r\n"
                           + SRec('8', 0x10000, 3, {}) + "\r\n";
    const auto result = ParseSRecords(text);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.image.segments.size(), 2u);
    EXPECT_EQ(result.image.segments[1].address, 0x20000u);
    EXPECT_EQ(result.image.entry, 0x10000u);
}

TEST(SimUnitProgram, ReportsProgressToHundredAndKeepsTheImage)
{
    SimUnit unit;
    std::vector<int32_t> progress;
    EXPECT_EQ(unit.Program(GoodFirmware(7), [&](int32_t p) { progress.push_back(p); }), 0);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    ASSERT_NE(unit.Firmware(), nullptr);
    EXPECT_EQ(unit.Firmware()->dataRecords, 7);
}

TEST(SimUnitProgram, BatteryIsCheckedBeforeTheFileAndBadFilesChangeNothing)
{
    SimUnit unit;
    int calls = 0;
    const auto count = [&](int32_t) { ++calls; };
    unit.SetBatteryLow(true);
    EXPECT_EQ(unit.Program(GoodFirmware(), count), 1);
    EXPECT_EQ(unit.Program(Truncated(), count), 1);
    unit.SetBatteryLow(false);
    EXPECT_EQ(unit.Program(Truncated(), count), 2);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(unit.Firmware(), nullptr);
}

} // namespace
} // namespace sernox
