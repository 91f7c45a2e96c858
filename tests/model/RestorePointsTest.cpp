// Restore points: taken whole and never over another file, listed from the folder alone,
// thinned without touching what is not theirs, and good for putting a unit back as it was.

#include "FileTestSupport.h"
#include "LinkObject.h"
#include "model/ConfCar.h"
#include "model/RestorePoints.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <set>

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
    car->SetConfigName("Panda 1.2");
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
        EXPECT_NE(name.find("_" + std::string(restore::ReasonToken(reason)) + "_Panda 1.2.vap"), std::string::npos)
            << name;
    }
    EXPECT_EQ(car->FileName, (root / "bound.vap").string());
    EXPECT_TRUE(car->Modified);
    EXPECT_EQ(car->GetConfigName(), "Panda 1.2");
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
        EXPECT_EQ(loaded.GetConfigName(), "Panda 1.2");
        EXPECT_EQ(loaded.MappaCarburazione[0][0], car->MappaCarburazione[0][0] - static_cast<int>(i));
    }

    // A read identical to the newest point of its history adds nothing; a changed one does.
    EXPECT_EQ(store.Take(*car, restore::Reason::Read).status, restore::TakeStatus::Unchanged);
    EXPECT_EQ(store.List().size(), kAllReasons.size());
    EXPECT_EQ(store.Take(*car, restore::Reason::Reset).status, restore::TakeStatus::Taken);
    EXPECT_TRUE(NoTemporaryLeft());
}

} // namespace
