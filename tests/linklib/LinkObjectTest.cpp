#include "LinkObject.h"
#include "model/PlatformFiles.h"
#include "SRecordFixture.h"
#include "sim/SimUnit.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace sernox {
namespace {

class RecordingScreen : public vapora::LinkScreen {
public:
    void PostState(int32_t state) override { states.push_back(state); }
    void SendProgress(int32_t amount, int32_t add) override { progress.push_back({amount, add}); }

    std::vector<int32_t> states;
    std::vector<std::pair<int32_t, int32_t>> progress;
};

constexpr int32_t kUntouched = -777;

class LinkTest : public ::testing::Test {
protected:
    LinkTest()
    {
        auto owned = std::make_unique<SimUnit>();
        sim = owned.get();
        link = std::make_unique<LinkObject>(std::move(owned));
        link->AttachScreen(&screen);
    }

    void Connect()
    {
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
        screen.states.clear();
    }

    std::array<int32_t, 32> Filled() const
    {
        std::array<int32_t, 32> a;
        a.fill(kUntouched);
        return a;
    }

    SimUnit* sim = nullptr;
    RecordingScreen screen;
    std::unique_ptr<LinkObject> link;
};

TEST_F(LinkTest, OfflineWritesAreTakenAndReadsRefused)
{
    const auto source = Filled();
    EXPECT_TRUE(link->WriteParam(82700, source.data()));
    EXPECT_TRUE(link->WriteValue(3, 999));
    EXPECT_TRUE(link->WriteElement(53, 0, 1000));
    EXPECT_TRUE(link->WriteCell(526, 9, 9, -1));
    EXPECT_TRUE(link->WriteParamRow(82702, source.data(), 0));
    EXPECT_EQ(sim->WriteCount(), 0);

    auto dest = Filled();
    int32_t length = vapora::kLiveBufferSize;
    uint8_t live[vapora::kLiveBufferSize] = {};
    uint8_t id[4] = {1, 2, 3, 4};
    sim->SetPetrolMapBlocked(true);
    EXPECT_FALSE(link->ReadParam(82700, dest.data()));
    EXPECT_FALSE(link->ReadParam(5, dest.data()));
    EXPECT_FALSE(link->ReadParamRow(82702, dest.data(), 0));
    EXPECT_FALSE(link->ReadLive(0, live, &length));
    EXPECT_FALSE(link->Identify(id));
    EXPECT_EQ(link->GetStatusFlags(), 0);
    EXPECT_EQ(dest, Filled());
    EXPECT_EQ(id[0], 1);
    EXPECT_EQ(sim->RequestCount(), 0);
}

TEST_F(LinkTest, ConnectAndDisconnectPostTheirStates)
{
    EXPECT_TRUE(link->OpenLink());
    link->Connect();
    EXPECT_EQ(link->IsConnected(), 1);
    link->Disconnect();
    link->Disconnect();
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_EQ(screen.states, (std::vector<int32_t>{1, 0}));
}

TEST_F(LinkTest, WithoutAScreenNothingIsPosted)
{
    link->AttachScreen(nullptr);
    link->Connect();
    sim->DropLink();
    int32_t value = 0;
    EXPECT_FALSE(link->ReadParam(5, &value));
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_TRUE(screen.states.empty());
}

TEST_F(LinkTest, BlocksAndRowsFillExactlyN)
{
    Connect();
    sim->StoreElement(12, 19, 6500);
    sim->StoreElement(14, 2 * 20 + 19, 321);
    auto dest = Filled();
    ASSERT_TRUE(link->ReadParam(82700, dest.data()));
    EXPECT_EQ(dest[19], 6500);
    EXPECT_EQ(dest[20], kUntouched);

    dest = Filled();
    ASSERT_TRUE(link->ReadParamRow(82702, dest.data(), 2));
    EXPECT_EQ(dest[19], 321);
    EXPECT_EQ(dest[20], kUntouched);

    dest = Filled();
    ASSERT_TRUE(link->ReadParam(1062, dest.data()));
    EXPECT_EQ(dest[0], 40);
    EXPECT_EQ(dest[1], kUntouched);
}

TEST_F(LinkTest, WritesReachTheUnit)
{
    Connect();
    std::array<int32_t, 20> row{};
    row[19] = -5;
    EXPECT_TRUE(link->WriteParamRow(83255, row.data(), 7));
    EXPECT_EQ(sim->StoredElement(55, 7 * 20 + 19), -5);
    const int32_t words[2] = {1, 65535};
    EXPECT_TRUE(link->WriteParam(9018, words));
    EXPECT_EQ(sim->StoredElement(58, 1), 65535);
    EXPECT_TRUE(link->WriteValue(53477402, 0x18));
    EXPECT_EQ(sim->StoredElement(26), 0x18);
    EXPECT_FALSE(link->WriteValue(3, 256));
    EXPECT_FALSE(link->WriteValue(588, 1)) << "read only";
    EXPECT_EQ(link->IsConnected(), 1) << "a refusal does not end the link";
}

TEST_F(LinkTest, FailedReadLeavesTheDestinationUntouched)
{
    Connect();
    sim->FailReads(true);
    auto dest = Filled();
    EXPECT_FALSE(link->ReadParam(5, dest.data()));
    EXPECT_FALSE(link->ReadParam(82700, dest.data()));
    EXPECT_FALSE(link->ReadParamRow(82702, dest.data(), 0));
    EXPECT_EQ(dest, Filled());
    sim->FailReads(false);
    EXPECT_FALSE(link->ReadParamRow(82702, dest.data(), 8)) << "row out of range";
    EXPECT_EQ(dest, Filled());
    EXPECT_EQ(link->IsConnected(), 1);
    EXPECT_TRUE(screen.states.empty());
}

TEST_F(LinkTest, LostUnitEndsTheLinkOnce)
{
    Connect();
    sim->DropLink();
    int32_t value = kUntouched;
    EXPECT_FALSE(link->ReadParam(5, &value));
    EXPECT_FALSE(link->ReadParam(6, &value));
    EXPECT_EQ(link->GetStatusFlags(), 0);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_EQ(screen.states, (std::vector<int32_t>{0}));
    EXPECT_FALSE(link->OpenLink());
}

TEST_F(LinkTest, LiveReadDeliversAtMostTheCapacity)
{
    Connect();
    uint8_t buffer[vapora::kLiveBufferSize];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    int32_t length = vapora::kLiveBufferSize;
    ASSERT_TRUE(link->ReadLive(0, buffer, &length));
    EXPECT_EQ(length, 16);
    EXPECT_EQ(buffer[16], 0xEE);

    length = 10;
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    ASSERT_TRUE(link->ReadLive(0, buffer, &length));
    EXPECT_EQ(length, 10);
    EXPECT_EQ(buffer[10], 0xEE);

    length = vapora::kLiveBufferSize;
    ASSERT_TRUE(link->ReadLive(1, buffer, &length));
    EXPECT_EQ(length, 3);
    length = vapora::kLiveBufferSize;
    EXPECT_FALSE(link->ReadLive(2, buffer, &length));
}

class FirmwareTest : public LinkTest {
protected:
    std::string WriteFile(const std::string& text)
    {
        const auto path = std::filesystem::temp_directory_path()
                        / ("sernox_fw_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                           + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".s19");
        std::ofstream(path, std::ios::binary) << text;
        files.push_back(path);
        return path.string();
    }

    ~FirmwareTest() override
    {
        for (const auto& f : files)
            std::filesystem::remove(f);
    }

    std::vector<std::filesystem::path> files;
};

TEST_F(FirmwareTest, ProgramsADisconnectedUnitAndSetsProgress)
{
    const auto path = WriteFile(test::GoodFirmware(5));
    link->BeginProgramming();
    EXPECT_EQ(link->ProgramFirmware(path.c_str(), 2, 0, 1), 0);
    link->EndProgramming();
    ASSERT_FALSE(screen.progress.empty());
    EXPECT_EQ(screen.progress.back(), std::make_pair(100, 0));
    for (const auto& p : screen.progress)
        EXPECT_EQ(p.second, 0) << "progress is set, never added";
    ASSERT_NE(sim->Firmware(), nullptr);
    EXPECT_EQ(link->IsConnected(), 0);
}

TEST_F(FirmwareTest, LeavesAConnectedUnitDisconnected)
{
    Connect();
    EXPECT_EQ(link->ProgramFirmware(WriteFile(test::GoodFirmware()).c_str(), 2, 0, 1), 0);
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_EQ(screen.states, (std::vector<int32_t>{0}));
}

TEST_F(FirmwareTest, FileNamedWithAnAccentIsRead)
{
    // The program hands the name over in the system code page; the euro sign is
    // where the Windows code page and Latin-1 part.
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / std::filesystem::path(u8"Centralin\u00e0 \u20ac.s19");
    const std::string name = vapora::LocalText(file);
    if (vapora::LocalPath(name) != file)
        GTEST_SKIP() << "the system code page cannot spell the name";
    std::ofstream(file, std::ios::binary) << test::GoodFirmware();
    files.push_back(file);
    EXPECT_EQ(link->ProgramFirmware(name.c_str(), 2, 0, 1), 0);
    EXPECT_NE(sim->Firmware(), nullptr);
}

TEST_F(FirmwareTest, FailuresReportTheirCodes)
{
    const auto good = WriteFile(test::GoodFirmware());
    EXPECT_EQ(link->ProgramFirmware("/nonexistent/firmware.s19", 2, 0, 1), 2);
    EXPECT_EQ(link->ProgramFirmware(WriteFile("S1 not hex\n").c_str(), 2, 0, 1), 2);
    sim->SetBatteryLow(true);
    EXPECT_EQ(link->ProgramFirmware(good.c_str(), 2, 0, 1), 1);
    sim->SetBatteryLow(false);
    sim->DropLink();
    EXPECT_EQ(link->ProgramFirmware(good.c_str(), 2, 0, 1), 2);
    EXPECT_EQ(sim->Firmware(), nullptr);
    EXPECT_TRUE(screen.progress.empty());
}

} // namespace
} // namespace sernox
