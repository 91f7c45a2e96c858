// Restore points: taken whole and never over another file, listed from the folder alone,
// thinned without touching what is not theirs, and good for putting a unit back as it was.

#include "FileTestSupport.h"
#include "LinkObject.h"
#include "model/ConfCar.h"
#include "model/RestorePoints.h"
#include "model/ScratchFiles.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mount.h>
#endif

using namespace vapora;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr std::array kAllReasons{restore::Reason::Read,
                                 restore::Reason::FileLoad,
                                 restore::Reason::Reset,
                                 restore::Reason::FuelChange,
                                 restore::Reason::Calibration,
                                 restore::Reason::BeforeProgramming,
                                 restore::Reason::AfterProgramming,
                                 restore::Reason::BeforeRestore};

class RestorePoints : public test::FileTest {
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
        home = root / "home";
        fs::create_directories(home);
    }

    // Everything a configuration file stores of the record, its name included.
    static std::string Stored(ConfCar& car) { return car.EncodedConfiguration(car.GetConfigName()); }

    // The files of Storico by name.
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(home / "Storico", ec))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::unique_ptr<ConfCar> ReadUnit()
    {
        auto car = std::make_unique<ConfCar>((root / "bound.vap").string(), link.get(), clock);
        EXPECT_TRUE(car->ReadAll());
        return car;
    }

    restore::Store MakeStore()
    {
        return restore::Store(home, [this] { return wall; });
    }

    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    test::FakeClock clock;
    fs::path home;
    std::chrono::system_clock::time_point wall = std::chrono::system_clock::from_time_t(1'800'000'000);
};

TEST_F(RestorePoints, EachReasonTakesOnePointUnderItsOwnNameAndLeavesTheCarAsItWas)
{
    auto car = ReadUnit();
    car->SetConfigName("Berlina 1.2");
    car->Modified = true;
    int progressCalls = 0;
    car->SetProgressSink([&](int32_t, bool) { ++progressCalls; });
    restore::Store store = MakeStore();

    // All in the same second: every name must still be its own.
    std::set<fs::path> files;
    for (restore::Reason reason : kAllReasons) {
        car->MappaCarburazione[0][0] += 1; // not identical, so that a Read is taken too
        const restore::TakeResult taken = store.Take(*car, reason);
        ASSERT_EQ(taken.status, restore::TakeStatus::Taken) << restore::ReasonToken(reason);
        EXPECT_TRUE(files.insert(taken.file).second);
        const std::string name = taken.file.filename().string();
        EXPECT_NE(name.find("_" + std::string(restore::ReasonToken(reason)) + "_Berlina 1.2.vap"), std::string::npos)
            << name;
    }
    EXPECT_EQ(car->FileName, (root / "bound.vap").string());
    EXPECT_TRUE(car->Modified);
    EXPECT_EQ(car->GetConfigName(), "Berlina 1.2");
    EXPECT_EQ(progressCalls, 0);

    const std::vector<restore::Point> points = store.List();
    ASSERT_EQ(points.size(), kAllReasons.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        // Newest first.
        EXPECT_EQ(points[i].reason, kAllReasons[kAllReasons.size() - 1 - i]);
        EXPECT_EQ(points[i].key, restore::KeyOf(*car));
        EXPECT_EQ(points[i].asFound, i + 1 == points.size());
        EXPECT_EQ(points[i].software, car->SoftwareVersion());
        EXPECT_EQ(points[i].stamp.size(), 15u);
        // A plain configuration file that gives the unit's name back.
        ConfCar loaded("", nullptr, clock);
        ASSERT_TRUE(loaded.LoadFromFile(points[i].file.string(), 0));
        EXPECT_EQ(loaded.GetConfigName(), "Berlina 1.2");
        EXPECT_EQ(loaded.MappaCarburazione[0][0], car->MappaCarburazione[0][0] - static_cast<int>(i));
    }

    // A read identical to the newest point of its history adds nothing; a changed one does.
    EXPECT_EQ(store.Take(*car, restore::Reason::Read).status, restore::TakeStatus::Unchanged);
    EXPECT_EQ(store.List().size(), kAllReasons.size());
    EXPECT_EQ(store.Take(*car, restore::Reason::Reset).status, restore::TakeStatus::Taken);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(RestorePoints, TheFolderAloneRebuildsTheListEvenWithoutSidecars)
{
    auto car = ReadUnit();
    car->SetConfigName("Berlina/GPL:1");
    restore::Store store = MakeStore();
    for (restore::Reason reason : {restore::Reason::Read, restore::Reason::Reset, restore::Reason::FuelChange}) {
        wall += 1h;
        ASSERT_EQ(store.Take(*car, reason).status, restore::TakeStatus::Taken);
    }
    const std::vector<restore::Point> whole = store.List();
    ASSERT_EQ(whole.size(), 3u);
    // Characters no file name takes are replaced in the name, kept in the sidecar.
    EXPECT_NE(whole[0].file.filename().string().find("_Berlina_GPL_1.vap"), std::string::npos);
    EXPECT_EQ(whole[0].key.configName, "Berlina/GPL:1");

    // One sidecar lost, one damaged: both points are still listed from their names and files.
    fs::path lost = whole[0].file, damaged = whole[2].file;
    fs::remove(lost.replace_extension(".txt"));
    std::ofstream(damaged.replace_extension(".txt"), std::ios::binary) << "punto-di-ripristino 1\nistante=x\n";
    const std::vector<restore::Point> rebuilt = store.List();
    ASSERT_EQ(rebuilt.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rebuilt[i].file, whole[i].file);
        EXPECT_EQ(rebuilt[i].reason, whole[i].reason);
        EXPECT_EQ(rebuilt[i].stamp, whole[i].stamp);
        EXPECT_EQ(rebuilt[i].key.description, whole[i].key.description);
        EXPECT_EQ(rebuilt[i].key.displacement, whole[i].key.displacement);
    }
    EXPECT_EQ(rebuilt[1].key, whole[1].key);
    EXPECT_EQ(rebuilt[0].key.configName, "Berlina_GPL_1") << "as far as the file name keeps it";
    // The damaged one was the first of its history: it is still the one found.
    EXPECT_TRUE(rebuilt[2].asFound);
    EXPECT_FALSE(rebuilt[1].asFound);
}

#ifdef __linux__
TEST_F(RestorePoints, APointThatCannotBeWrittenFailsAndLeavesNothing)
{
    auto car = ReadUnit();
    restore::Store store = MakeStore();
    ASSERT_EQ(store.Take(*car, restore::Reason::Read).status, restore::TakeStatus::Taken);
    const std::set<std::string> before = Files();
    car->MappaCarburazione[2][2] += 3;

    // Read-only to an ordinary user; for root, whom permissions do not stop, a full disk.
    struct Undo {
        std::function<void()> undo;
        ~Undo() { undo(); }
    } undo{[] {}};
    FileError expected = FileError::Permission;
    if (geteuid() == 0) {
        const fs::path full = home / "Storico";
        const fs::path saved = root / "saved";
        fs::rename(full, saved);
        fs::create_directories(full);
        if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=16k") != 0)
            GTEST_SKIP() << "cannot mount a small file system to fill";
        for (const auto& entry : fs::directory_iterator(saved))
            fs::copy_file(entry.path(), full / entry.path().filename());
        undo.undo = [full] { umount2(full.c_str(), MNT_DETACH); };
        std::ofstream filler(full / "filler", std::ios::binary);
        const std::string block(1024, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
        filler.close();
        expected = FileError::DiskFull;
    } else {
        fs::permissions(home / "Storico", fs::perms::owner_read | fs::perms::owner_exec);
        undo.undo = [this] { fs::permissions(home / "Storico", fs::perms::owner_all); };
    }
    std::set<std::string> withFiller = Files();
    const restore::TakeResult failed = store.Take(*car, restore::Reason::FileLoad);
    EXPECT_EQ(failed.status, restore::TakeStatus::Failed);
    EXPECT_EQ(failed.error, expected);
    EXPECT_EQ(Files(), withFiller) << "no partial point, no scratch file";
    EXPECT_EQ(store.List().size(), before.size() / 2);
}
#endif

#ifndef _WIN32
TEST_F(RestorePoints, KilledWhileTakingLeavesOnlyWholePointsAndStaleScratch)
{
    std::mt19937 random(20261209);
    restore::Store store(home);
    for (int round = 0; round < 4; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Points of a changing record, as fast as they go.
            ConfCar car("", nullptr);
            restore::Store mine(home);
            for (int i = 0;; ++i) {
                car.MappaCarburazione[i % ConfCar::kMapRows][0] = i % 200;
                if (mine.Take(car, restore::Reason::FileLoad).status == restore::TakeStatus::Failed)
                    _exit(1);
            }
        }
        // Until a few more points are there, then at a random moment.
        const std::size_t target = Files().size() + 4 + random() % 12;
        int exited = 0;
        while (Files().size() < target && waitpid(child, &exited, WNOHANG) == 0)
            usleep(200);
        ASSERT_EQ(waitpid(child, &exited, WNOHANG), 0) << "the child stopped taking points by itself";
        usleep(random() % 3000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }

    // Every configuration file there is whole: loaded and saved again, it gives the same bytes.
    int points = 0;
    for (const std::string& name : Files()) {
        if (fs::path(name).extension() != ".vap")
            continue;
        ++points;
        const fs::path file = home / "Storico" / name;
        ConfCar loaded("", nullptr);
        ASSERT_TRUE(loaded.LoadFromFile(file.string(), 0)) << name;
        const std::string bytes = test::ReadAll(file);
        EXPECT_TRUE(loaded.EncodedConfiguration(loaded.GetConfigName() + ".vap") == bytes)
            << name << " is not whole (" << bytes.size() << " bytes)";
    }
    // A sidecar that is there is whole (its point lists with the unit's identification).
    for (const restore::Point& point : store.List())
        if (fs::exists(fs::path(point.file).replace_extension(".txt")))
            EXPECT_EQ(point.unitId, "8.1.1.15") << point.file;
    EXPECT_EQ(store.List().size(), static_cast<std::size_t>(points));
    // Whatever else is there is the killed runs' scratch, which the next start clears.
    RemoveStaleScratchFiles(home / "Storico");
    for (const std::string& name : Files()) {
        const std::string extension = fs::path(name).extension().string();
        EXPECT_TRUE(extension == ".vap" || extension == ".txt") << name;
    }
}
#endif

TEST_F(RestorePoints, RetentionKeepsTheFirstAndLastOfEachMonthAndWhatIsNotItsOwn)
{
    std::mt19937 random(28);
    restore::Store store = MakeStore();
    auto car = ReadUnit();
    const restore::HistoryKey first = restore::KeyOf(*car);
    // Two cars over about ten months, at random moments.
    const auto start = wall;
    std::map<std::string, int> taken;
    for (int i = 0; i < 80; ++i) {
        wall = start + std::chrono::minutes(random() % (300 * 24 * 60));
        car->SetConfigName(random() % 3 == 0 ? "Seconda" : first.configName);
        car->MappaCarburazione[0][1] = i;
        const restore::TakeResult result = store.Take(*car, restore::Reason::FileLoad);
        ASSERT_EQ(result.status, restore::TakeStatus::Taken);
    }
    // What is not the program's: other files, a name of its pattern without its sidecar.
    std::ofstream(home / "Storico" / "note.txt") << "mine";
    std::ofstream(home / "Storico" / "copia.vap") << "mine";
    std::ofstream(home / "Storico" / "20200105-101010_lettura_Vecchia.vap") << "mine";
    const std::set<std::string> foreign{"note.txt", "copia.vap", "20200105-101010_lettura_Vecchia.vap"};

    wall = start + std::chrono::hours(24 * 300);
    const auto cutoff = wall - std::chrono::hours(24 * 90);
    const std::vector<restore::Point> before = store.List();
    // What must stay: every recent point, the first of each history, the oldest and newest of
    // each history's month.
    std::set<fs::path> keep;
    std::map<std::pair<std::string, std::string>, std::vector<const restore::Point*>> months;
    for (const restore::Point& p : before) {
        if (p.when >= cutoff || p.asFound)
            keep.insert(p.file);
        months[{p.key.configName + "|" + p.key.description, p.stamp.substr(0, 6)}].push_back(&p);
    }
    for (const auto& [month, points] : months) {
        keep.insert(points.front()->file);
        keep.insert(points.back()->file);
    }
    const int removed = store.Thin();
    const std::vector<restore::Point> after = store.List();
    std::set<fs::path> left;
    for (const restore::Point& p : after)
        left.insert(p.file);
    EXPECT_EQ(left, keep);
    EXPECT_EQ(removed, static_cast<int>(before.size() - keep.size()));
    EXPECT_GT(removed, 0);
    const std::set<std::string> files = Files();
    for (const std::string& name : foreign)
        EXPECT_EQ(files.count(name), 1u) << name;
    // Every remaining point keeps its sidecar, and no sidecar stays without its point.
    EXPECT_EQ(files.size(), foreign.size() + 2 * (left.size() - 1));
    EXPECT_EQ(store.Thin(), 0) << "thinning again removes nothing";
    // As found per history, once each.
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const restore::Point& p) { return p.asFound; }), 3);
}

TEST_F(RestorePoints, ARestoredPointGivesTheUnitBackEverythingAFileStoresNameIncluded)
{
    {
        auto car = ReadUnit();
        car->WriteThrough = true;
        car->SetConfigName("Prova/08");
        car->SetGasMapCell(4, 7, car->GetGasMapCell(4, 7) + 9);
        car->SetPetrolMapCell(5, 5, 3.25);
    }
    auto car = ReadUnit();
    const std::string original = Stored(*car);
    ASSERT_EQ(car->GetConfigName(), "Prova/08");
    restore::Store store = MakeStore();
    ASSERT_EQ(store.Take(*car, restore::Reason::Read).status, restore::TakeStatus::Taken);

    // Another configuration goes into the unit.
    ConfCar other((root / "altra.vap").string(), nullptr);
    other.SetDefaults(false);
    other.SetGasMapCell(1, 1, 77);
    other.SetPetrolMapCell(2, 3, 4.5);
    other.NumeroCilindri = 6;
    ASSERT_TRUE(other.SaveToFile((root / "altra.vap").string(), 0));
    ASSERT_TRUE(car->LoadFromFile((root / "altra.vap").string(), 0));
    ASSERT_EQ(car->WriteAll(), 0);
    ASSERT_NE(Stored(*ReadUnit()), original);

    // Back, as the program restores: the point's file through the file load, then the name.
    wall += 1min;
    ASSERT_EQ(store.Take(*car, restore::Reason::BeforeRestore).status, restore::TakeStatus::Taken);
    const std::vector<restore::Point> points = store.List();
    ASSERT_EQ(points.size(), 2u);
    const restore::Point& point = points[1];
    ASSERT_EQ(point.reason, restore::Reason::Read);
    ASSERT_TRUE(car->LoadFromFile(point.file.string(), 0));
    restore::GiveBackName(*car, point);
    ASSERT_EQ(car->WriteAll(), 0);
    auto reread = ReadUnit();
    EXPECT_EQ(reread->GetConfigName(), "Prova/08");
    EXPECT_TRUE(Stored(*reread) == original);
    // And a read of it now is the same as the newest point of that car.
    EXPECT_EQ(store.Take(*reread, restore::Reason::Read).status, restore::TakeStatus::Unchanged);
}

} // namespace
