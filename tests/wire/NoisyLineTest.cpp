// The link over a real pseudo-terminal with a unit whose line corrupts and
// drops bytes, goes silent, or refuses.

#include "RecordCompare.h"
#include "linklib/SRecordFixture.h"
#include "VirtualLine.h"
#include "model/ConfCar.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace sernox::test {
namespace {

using vapora::ConfCar;

class RecordingScreen : public vapora::LinkScreen {
public:
    void PostState(int32_t state) override { states.push_back(state); }
    void SendProgress(int32_t amount, int32_t) override { progress.push_back(amount); }
    std::vector<int32_t> states;
    std::vector<int32_t> progress;
};

wire::LineOptions Noise(double corrupt, double drop, uint32_t seed)
{
    wire::LineOptions o;
    o.faults.corrupt = corrupt;
    o.faults.drop = drop;
    o.faults.seed = seed;
    return o;
}

// A connected link object over the line, reporting to screen.
std::unique_ptr<LinkObject> ConnectedLink(VirtualLine& line, RecordingScreen& screen)
{
    auto link = std::make_unique<LinkObject>(SerialUnitOn(line.path()));
    link->AttachScreen(&screen);
    if (link->OpenLink())
        link->Connect();
    screen.states.clear();
    return link;
}

class NoisyTransfer : public ::testing::TestWithParam<uint32_t> {
protected:
    vapora::test::FakeClock clock;
    RecordingScreen screen;
};

// The same configuration moved in process and over a line that corrupts 1 %
// and drops 0.5 % of the bytes both ways must end the same, with every
// request carried out exactly once at the unit.
TEST_P(NoisyTransfer, ReadAllAndWriteAllEndExactlyAsInProcess)
{
    const uint32_t seed = GetParam();
    SimUnit remote;
    FillRandomly(remote.store(), seed);
    auto twinOwned = std::make_unique<SimUnit>();
    SimUnit& twin = *twinOwned;
    FillRandomly(twin.store(), seed);
    LinkObject twinLink(std::move(twinOwned));
    ASSERT_TRUE(twinLink.OpenLink());
    twinLink.Connect();

    VirtualLine line(remote, Noise(0.01, 0.005, seed));
    auto link = ConnectedLink(line, screen);
    ASSERT_EQ(link->IsConnected(), 1);

    ConfCar viaWire("wire.mur", link.get(), clock);
    ConfCar inProcess("twin.mur", &twinLink, clock);
    line.server().WithUnit([&](Unit&) {
        remote.ResetCounts();
        return 0;
    });
    twin.ResetCounts();
    viaWire.ReadAll();
    inProcess.ReadAll();
    vapora::test::ExpectSameConfiguration(viaWire, inProcess);
    line.server().WithUnit([&](Unit&) {
        EXPECT_EQ(remote.ReadCount(), twin.ReadCount());
        return 0;
    });

    // The other way: a different configuration written into both units.
    auto sourceOwned = std::make_unique<SimUnit>();
    FillRandomly(sourceOwned->store(), seed + 1000);
    LinkObject sourceLink(std::move(sourceOwned));
    sourceLink.OpenLink();
    sourceLink.Connect();
    ConfCar fromSource("source.mur", &sourceLink, clock);
    fromSource.ReadAll();
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c) {
            viaWire.MappaCarburazione[r][c] = inProcess.MappaCarburazione[r][c] = fromSource.MappaCarburazione[r][c];
            viaWire.Adattativita[r][c] = inProcess.Adattativita[r][c] = fromSource.Adattativita[r][c];
        }
    line.server().WithUnit([&](Unit&) {
        remote.ResetCounts();
        return 0;
    });
    twin.ResetCounts();
    viaWire.WriteAll();
    inProcess.WriteAll();
    EXPECT_EQ(link->IsConnected(), 1);
    EXPECT_TRUE(screen.states.empty());
    line.Stop();
    EXPECT_EQ(remote.WriteCount(), twin.WriteCount());
    EXPECT_EQ(Snapshot(remote.store()), Snapshot(twin.store()));
    const auto& client = static_cast<wire::SerialUnit&>(link->unit()).client();
    EXPECT_GT(client.Retries(), 0u) << "the line should have needed retries";
}

INSTANTIATE_TEST_SUITE_P(Seeds, NoisyTransfer, ::testing::Values(11u, 12u));

// Write-through edits over a noisy line where the unit refuses some values:
// the record keeps exactly what the unit holds, edit after edit.
TEST(WriteThrough, RecordHoldsOnlyWhatTheUnitConfirmed)
{
    vapora::test::FakeClock clock;
    RecordingScreen screen;
    SimUnit remote;
    VirtualLine line(remote, Noise(0.01, 0.005, 7));
    auto link = ConnectedLink(line, screen);
    ASSERT_EQ(link->IsConnected(), 1);
    ConfCar car("edit.mur", link.get(), clock);
    car.ReadAll();
    car.WriteThrough = true;

    std::mt19937 random(3);
    int refused = 0;
    for (int k = 0; k < 60; ++k) {
        const bool refuse = random() % 3 == 0;
        refused += refuse;
        line.server().WithUnit([&](Unit&) {
            remote.RefuseWritesOf(14, refuse);
            return 0;
        });
        const int row = static_cast<int>(random() % ConfCar::kMapRows);
        const int col = static_cast<int>(random() % ConfCar::kMapCols);
        const int before = car.GetGasMapCell(row, col);
        car.SetGasMapCell(row, col, static_cast<int>(random() % 400) + 1);
        const int held = line.server().WithUnit([&](Unit&) { return remote.StoredElement(14, row * 20 + col); });
        ASSERT_EQ(car.GetGasMapCell(row, col), held) << "edit " << k;
        if (refuse) {
            EXPECT_EQ(car.GetGasMapCell(row, col), before) << "edit " << k;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(link->IsConnected(), 1) << "a refusal is an answer, not a lost link";
}

TEST(SilentUnit, TransferEndsPromptlyAndTheLinkGoesDownOnce)
{
    vapora::test::FakeClock clock;
    RecordingScreen screen;
    SimUnit remote;
    wire::LineOptions options;
    options.faults.silentAfterRequests = 40; // in the middle of the map rows
    VirtualLine line(remote, options);
    auto link = ConnectedLink(line, screen);
    ASSERT_EQ(link->IsConnected(), 1);
    ConfCar car("silent.mur", link.get(), clock);

    const auto start = std::chrono::steady_clock::now();
    car.ReadAll();
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(screen.states, std::vector<int32_t>{0});
    EXPECT_EQ(link->IsConnected(), 0);
    // Bounded: one request's attempts, then every later call returns at once.
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_FALSE(link->unit().Alive());
    int32_t value = -5;
    EXPECT_FALSE(link->ReadParam(3, &value));
    EXPECT_EQ(value, -5);
}

TEST(OpenLink, FailsCleanlyWithoutAPortOrWithoutAnAnswer)
{
    LinkObject missing(SerialUnitOn("/dev/nonexistent-serial-port"));
    EXPECT_FALSE(missing.OpenLink());

    // A terminal with nobody behind it.
    termios raw{};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, &raw, nullptr), 0);
    LinkObject nobody(SerialUnitOn(name));
    EXPECT_FALSE(nobody.OpenLink());
    EXPECT_FALSE(nobody.unit().Alive());
    ::close(master);
    ::close(slave);
}

TEST(LiveBlocks, ArriveWholeOverTheLine)
{
    RecordingScreen screen;
    SimUnit remote;
    VirtualLine line(remote);
    auto link = ConnectedLink(line, screen);
    uint8_t buffer[vapora::kLiveBufferSize] = {};
    int32_t length = vapora::kLiveBufferSize;
    ASSERT_TRUE(link->ReadLive(0, buffer, &length));
    const auto expected = line.server().WithUnit([&](Unit&) {
        return EngineBlock(remote.engine().state(), remote.liveTail());
    });
    ASSERT_EQ(static_cast<size_t>(length), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer));
    length = vapora::kLiveBufferSize;
    EXPECT_FALSE(link->ReadLive(2, buffer, &length)) << "no such block";
    EXPECT_EQ(link->IsConnected(), 1);
}

class FirmwareOverLine : public ::testing::TestWithParam<uint32_t> {
protected:
    std::string WriteFile(const std::string& text)
    {
        const auto path = std::filesystem::temp_directory_path()
            / ("wire-fw-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()) + ".s19");
        std::ofstream(path, std::ios::binary) << text;
        paths.push_back(path);
        return path.string();
    }
    ~FirmwareOverLine() override
    {
        for (const auto& p : paths)
            std::filesystem::remove(p);
    }
    std::vector<std::filesystem::path> paths;
};

// Over a corrupting line the result is a verified image or a reported
// failure, never a different image.
TEST_P(FirmwareOverLine, ProgramsAVerifiedImageOrFails)
{
    RecordingScreen screen;
    SimUnit remote;
    VirtualLine line(remote, Noise(0.01, 0.005, GetParam()));
    LinkObject link(SerialUnitOn(line.path()));
    link.AttachScreen(&screen);
    const std::string text = GoodFirmware(40);
    const int32_t result = link.ProgramFirmware(WriteFile(text).c_str(), 2, 0, 1);
    line.Stop();
    RecordProperty("programmed", result);
    const auto expected = ParseSRecords(text);
    if (result == 0) {
        ASSERT_NE(remote.Firmware(), nullptr);
        ASSERT_EQ(remote.Firmware()->segments.size(), expected.image.segments.size());
        EXPECT_EQ(remote.Firmware()->segments[0].bytes, expected.image.segments[0].bytes);
        EXPECT_EQ(screen.progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(screen.progress.begin(), screen.progress.end()));
    } else {
        EXPECT_EQ(result, 2);
        EXPECT_EQ(remote.Firmware(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FirmwareOverLine, ::testing::Values(1u, 2u, 3u));

// A line that spoils 3 % of the bytes each way: parameters still cross, and
// so must a firmware file, its long chunks split until they get through,
// with the whole image checked by the unit at the end.
TEST(FirmwareOverNoisyLine, ProgramsCompletelyWhereParametersSurvive)
{
    RecordingScreen screen;
    SimUnit remote;
    VirtualLine line(remote, Noise(0.03, 0, 101));
    auto link = ConnectedLink(line, screen);
    ASSERT_EQ(link->IsConnected(), 1);

    vapora::test::FakeClock clock;
    ConfCar car("noisy.mur", link.get(), clock);
    car.ReadAll();
    car.WriteThrough = true;
    for (int k = 0; k < 10; ++k) {
        car.SetGasMapCell(k / 2, k, 50 + k);
        EXPECT_EQ(line.server().WithUnit([&](Unit&) { return remote.StoredElement(14, k / 2 * 20 + k); }), 50 + k);
    }
    ASSERT_EQ(link->IsConnected(), 1) << "parameters survive this line";
    EXPECT_GT(static_cast<wire::SerialUnit&>(link->unit()).client().Retries(), 0u);

    const std::string text = GoodFirmware(40);
    ASSERT_GT(text.size(), 1500u);
    const auto path = std::filesystem::temp_directory_path() / ("wire-noisy-" + std::to_string(::getpid()) + ".s19");
    std::ofstream(path, std::ios::binary) << text;
    const int32_t result = link->ProgramFirmware(path.c_str(), 2, 0, 1);
    std::filesystem::remove(path);
    line.Stop();
    ASSERT_EQ(result, 0);
    const auto expected = ParseSRecords(text);
    ASSERT_NE(remote.Firmware(), nullptr);
    ASSERT_EQ(remote.Firmware()->segments.size(), expected.image.segments.size());
    EXPECT_EQ(remote.Firmware()->segments[0].bytes, expected.image.segments[0].bytes);
    ASSERT_FALSE(screen.progress.empty());
    EXPECT_EQ(screen.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(screen.progress.begin(), screen.progress.end()));
}

TEST(FirmwareOverLineFaults, BadFileAndLowBatteryAreReportedAsTheUnitSaysThem)
{
    SimUnit remote;
    VirtualLine line(remote);
    LinkObject link(SerialUnitOn(line.path()));
    const auto dir = std::filesystem::temp_directory_path();
    const auto bad = dir / ("wire-bad-" + std::to_string(::getpid()) + ".s19");
    std::string text = GoodFirmware(3);
    text[6] = text[6] == '0' ? '1' : '0'; // breaks a checksum
    std::ofstream(bad, std::ios::binary) << text;
    EXPECT_EQ(link.ProgramFirmware(bad.c_str(), 2, 0, 1), 2);

    line.server().WithUnit([&](Unit&) {
        remote.SetBatteryLow(true);
        return 0;
    });
    std::ofstream(bad, std::ios::binary) << GoodFirmware(3);
    EXPECT_EQ(link.ProgramFirmware(bad.c_str(), 2, 0, 1), 1);
    std::filesystem::remove(bad);
    line.Stop();
    EXPECT_EQ(remote.Firmware(), nullptr);
}

} // namespace
} // namespace sernox::test
