#include "InstallData.h"

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/SafeFile.h"
#include "sim/SRecord.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vapora;

namespace {

// The displacement the guided calibration reads from a base map's name.
int NumberFromName(const std::string& name)
{
    const size_t dot = name.find('.');
    if (dot == std::string::npos || dot < 5)
        return 0;
    try {
        return std::stoi(name.substr(dot - 5, 4));
    } catch (...) {
        return 0;
    }
}

struct Installation : ::testing::Test {
    static fs::path root;
    static void SetUpTestSuite()
    {
        // One folder per process: CTest runs each test in a process of its own, side by side.
        root = fs::temp_directory_path() / ("vapora-install-test-" + std::to_string(::getpid()));
        fs::remove_all(root);
        std::string error;
        ASSERT_TRUE(install::WriteInstallation(root, error)) << error;
    }
    static void TearDownTestSuite() { fs::remove_all(root); }
};
fs::path Installation::root;

} // namespace

TEST_F(Installation, HasTheFolderTree)
{
    for (const char* folder : {"Configurazioni", "Configurazioni/Metano", "Programmazione", "Acquisizioni",
                               "Calibrazione", "Immagini"})
        EXPECT_TRUE(fs::is_directory(root / folder)) << folder;
}

TEST_F(Installation, ResetFilesAreOfficialWithTheirFuel)
{
    for (const auto& [file, methane] : {std::pair{"ResetLpg.vap", false}, std::pair{"ResetCng.vap", true}}) {
        bool fuel = !methane;
        EXPECT_TRUE(ConfCar::ReadFileFlags((root / "Calibrazione" / file).string(), &fuel)) << file;
        EXPECT_EQ(fuel, methane) << file;
        ConfCar car("default.mur", nullptr);
        ASSERT_TRUE(car.LoadFromFile((root / "Calibrazione" / file).string(), 0));
        EXPECT_EQ(car.GetConfigName(), std::string(file).substr(0, 8));
    }
}

TEST_F(Installation, BaseMapNamesReadBackAndMapsRiseWithLoadAndSpeed)
{
    EXPECT_EQ(NumberFromName(install::BaseMapName(false, 1400)), 1400);
    EXPECT_EQ(NumberFromName(install::BaseMapName(true, 2500)), 2500);
    EXPECT_EQ(NumberFromName("Cal#1400.vap"), 0); // why the names carry a letter after the number

    int found = 0;
    for (const auto& entry : fs::directory_iterator(root / "Calibrazione")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Cal", 0) != 0)
            continue;
        ++found;
        EXPECT_GE(NumberFromName(name), 1000) << name;
        EXPECT_LE(NumberFromName(name), 3000) << name;
        ConfCar car("default.mur", nullptr);
        int32_t map[8][20] = {}, rpm[20] = {}, refs[8] = {};
        ASSERT_TRUE(car.ReadGasMapFromFile(entry.path().string(), map, rpm, refs)) << name;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 20; ++c) {
                EXPECT_GT(map[r][c], 0);
                EXPECT_LE(map[r][c], 510);
                if (c > 0) {
                    EXPECT_GE(map[r][c], map[r][c - 1]) << name;
                }
                if (r > 0) {
                    EXPECT_GE(map[r][c], map[r - 1][c]) << name;
                }
            }
        bool methane = false;
        EXPECT_TRUE(ConfCar::ReadFileFlags(entry.path().string(), &methane));
        EXPECT_EQ(methane, name.rfind("Cal_m#", 0) == 0) << name;
    }
    EXPECT_EQ(found, 16);
}

TEST_F(Installation, SampleFirmwareIsAcceptedPlainAndEncoded)
{
    std::string s19, pec;
    ASSERT_TRUE(ReadFileBytes(root / "Programmazione" / "Vapora15.s19", s19));
    ASSERT_TRUE(ReadFileBytes(root / "Programmazione" / "Vapora15.pec", pec));
    const auto parsed = sernox::ParseSRecords(s19);
    EXPECT_TRUE(parsed.ok) << parsed.error << " at line " << parsed.line;
    EXPECT_EQ(parsed.image.header, "Vapora15");
    EXPECT_NE(pec, s19);
    EXPECT_EQ(CryptBytes(pec, true, false, {}), s19);

    std::string names;
    ASSERT_TRUE(ReadFileBytes(root / "Programmazione" / "Vapora.txt", names));
    EXPECT_EQ(names.substr(0, 8), "1=Base\r\n");
}

TEST_F(Installation, ExampleConfigurationsCarryVehicleData)
{
    VehicleData data;
    ASSERT_TRUE(ConfCar::ReadVehicleData((root / "Configurazioni" / "Berlina1600.vap").string(), data));
    EXPECT_EQ(data.CentCubici, 1600);
    EXPECT_EQ(data.Potenza, 7750);
    bool methane = false;
    EXPECT_FALSE(ConfCar::ReadFileFlags((root / "Configurazioni" / "Metano" / "Monovolume1400.vap").string(),
                                        &methane));
    EXPECT_TRUE(methane);
}
