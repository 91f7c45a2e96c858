#include "calib/BaseMapChoice.h"
#include "model/ConfCar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

TEST(BaseMapNumber, ReadsTheFourCharactersFiveBeforeTheDot)
{
    EXPECT_EQ(BaseMapNumber("Cal#1400a.vap"), 1400);
    EXPECT_EQ(BaseMapNumber("Cal_m#2000x.vap"), 2000);
    EXPECT_EQ(BaseMapNumber("Cal#abcda.vap"), 0);
    EXPECT_EQ(BaseMapNumber("C.vap"), 0) << "too short before the dot";
    EXPECT_EQ(BaseMapNumber("Cal#1400a"), 0) << "no dot";
}

TEST(BaseMapDisplacement, HalvesOnlyForModelByteExactlyOne)
{
    EXPECT_EQ(BaseMapDisplacement(3000, 1), 1500);
    EXPECT_EQ(BaseMapDisplacement(3000, 65), 3000) << "model code 1 with bit 6 set";
    EXPECT_EQ(BaseMapDisplacement(0, 1), 0);
}

TEST(PickBaseMaps, NearestAndSecondWithFirstFoundOnTies)
{
    const std::vector<std::string> names{"Cal#1400a.vap", "Cal#1800a.vap", "Cal#1800b.vap", "Cal#3000a.vap"};
    auto pick = PickBaseMaps(names, 1600);
    EXPECT_EQ(pick.best, 0);
    EXPECT_EQ(pick.second, 1) << "equal distance keeps the first found";
    EXPECT_EQ(pick.bestDiff, -200);
    EXPECT_EQ(pick.secondDiff, 200);

    pick = PickBaseMaps({"Cal#1600a.vap", "Cal#1600b.vap"}, 1600);
    EXPECT_EQ(pick.best, 0);
    EXPECT_EQ(pick.bestDistance, 0);
    EXPECT_EQ(PickBaseMaps({}, 1600).count, 0);
}

// Base map files in a fresh folder, each cell = base + row + col.
class BaseMapFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("vapora_cal_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void Write(const std::string& name, int base, int rowStep = 1)
    {
        ConfCar file("x.vap", nullptr);
        for (int r = 0; r < ConfCar::kMapRows; ++r)
            for (int c = 0; c < ConfCar::kMapCols; ++c)
                file.SetGasMapCell(r, c, base + r * rowStep + c);
        ASSERT_TRUE(file.SaveToFile((folder / name).string(), 1));
    }

    BaseMapResult Load(int displacement, bool methane = false)
    {
        return LoadBaseMap(car, folder.string(), methane, displacement);
    }

    fs::path folder;
    ConfCar car{"car.vap", nullptr};
};

TEST_F(BaseMapFolder, BlendsOneThirdOfTheWayFromTheNearest)
{
    Write("Cal#1400a.vap", 100);
    Write("Cal#2000a.vap", 130);
    ASSERT_EQ(Load(1600), BaseMapResult::Loaded);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 110);
    EXPECT_EQ(car.GetGasMapCell(3, 5), 118);
}

TEST_F(BaseMapFolder, EqualDistancesOnBothSidesGiveTheMean)
{
    Write("Cal#1400a.vap", 100);
    Write("Cal#1800a.vap", 120);
    ASSERT_EQ(Load(1600), BaseMapResult::Loaded);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 110);
}

TEST_F(BaseMapFolder, ExactOrSingleFileIsCopied)
{
    Write("Cal#1400a.vap", 100);
    Write("Cal#1600a.vap", 200);
    Write("Cal#1600b.vap", 300);
    ASSERT_EQ(Load(1600), BaseMapResult::Loaded);
    EXPECT_EQ(car.GetGasMapCell(2, 4), 206) << "the first of the two 1600 files";

    fs::remove(folder / "Cal#1600a.vap");
    fs::remove(folder / "Cal#1600b.vap");
    ASSERT_EQ(Load(3000), BaseMapResult::Loaded);
    EXPECT_EQ(car.GetGasMapCell(2, 4), 106) << "one file: copied however far";
}

TEST_F(BaseMapFolder, FuelPicksTheFileFamily)
{
    Write("Cal#1600a.vap", 100);
    EXPECT_EQ(Load(1600, true), BaseMapResult::NoFile);
    Write("Cal_m#1600a.vap", 150);
    ASSERT_EQ(Load(1600, true), BaseMapResult::Loaded);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 150);
}

TEST_F(BaseMapFolder, BlendNeverFallsBelowTheLeftNeighbour)
{
    // Rows that fall along the RPM axis in the far file.
    ConfCar far("x.vap", nullptr);
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            far.SetGasMapCell(r, c, c < 10 ? 200 : 50);
    ASSERT_TRUE(far.SaveToFile((folder / "Cal#1800a.vap").string(), 1));
    Write("Cal#1400a.vap", 100, 0);
    ASSERT_EQ(Load(1500), BaseMapResult::Loaded); // 1/4 of the way to 1800
    EXPECT_EQ(car.GetGasMapCell(0, 9), 131);
    EXPECT_EQ(car.GetGasMapCell(0, 10), 131) << "the blend (95) would fall";
    EXPECT_EQ(car.GetGasMapCell(0, 11), 131);
}

TEST_F(BaseMapFolder, UnreadableFileLeavesTheMapAlone)
{
    Write("Cal#1400a.vap", 100);
    std::ofstream(folder / "Cal#2000a.vap") << "garbage";
    const int before = car.GetGasMapCell(1, 1);
    EXPECT_EQ(Load(1600), BaseMapResult::Unreadable);
    EXPECT_EQ(car.GetGasMapCell(1, 1), before);
}

} // namespace
