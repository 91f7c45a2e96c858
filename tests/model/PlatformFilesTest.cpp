// What the file system does differently on Windows: held-open files, names in
// the system code page, drive-letter paths, letter case, exclusive creation.
// Each test states the sound outcome on both kinds of system.
#include "model/ConfCar.h"
#include "model/PlatformFiles.h"
#include "model/SafeFile.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

class PlatformFiles : public test::FileTest {
protected:
    std::size_t EntriesIn(const fs::path& folder) const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
};

TEST_F(PlatformFiles, SaveOverAFileHeldOpenElsewhereKeepsTheOldFileOrReplacesItWhole)
{
    const fs::path folder = root / "saves";
    fs::create_directories(folder);
    const fs::path file = folder / "held.vap";
    ConfCar first("default.mur", nullptr);
    first.SetParam(75, 1600);
    ASSERT_TRUE(first.SaveToFile(LocalText(file), 0));
    const std::string before = test::ReadAll(file);

    std::ifstream holder(file, std::ios::binary);  // another program reading it, and keeping it open
    ASSERT_TRUE(holder.is_open());
    ConfCar second("default.mur", nullptr);
    second.SetParam(75, 2000);
    const bool saved = second.SaveToFile(LocalText(file), 0);
#ifdef _WIN32
    // Windows refuses to replace a file another handle has open: the save says so.
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::ReadAll(file), before);
#else
    // Elsewhere the name moves to the new file; the reader keeps the old one whole.
    EXPECT_TRUE(saved);
    EXPECT_NE(test::ReadAll(file), before);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(holder), {}), before);
#endif
    holder.close();
    EXPECT_EQ(EntriesIn(folder), 1u) << "no scratch file stays beside the target";
    EXPECT_TRUE(NoTemporaryLeft());

    ConfCar reread("default.mur", nullptr);
    ASSERT_TRUE(reread.LoadFromFile(LocalText(file), 0));
    EXPECT_EQ(reread.GetParam(75), saved ? 2000 : 1600);
}

TEST_F(PlatformFiles, ConfigurationNamedWithAnAccentRoundTrips)
{
    // The name as the system spells it: ANSI code page on Windows, UTF-8 elsewhere. The euro
    // sign is where the Windows code page and Latin-1 part.
    const fs::path onDisk = root / fs::path(u8"Citt\u00e0 \u20ac.vap");
    const std::string name = LocalText(onDisk);
    if (LocalPath(name) != onDisk)
        GTEST_SKIP() << "the system code page cannot spell the name";
    ConfCar car("default.mur", nullptr);
    car.SetParam(75, 1400);
    ASSERT_TRUE(car.SaveToFile(name, 0));
    EXPECT_TRUE(fs::is_regular_file(onDisk)) << "the file carries the name asked for, not a garbled one";

    ConfCar loaded("default.mur", nullptr);
    ASSERT_TRUE(loaded.LoadFromFile(name, 0));
    EXPECT_EQ(loaded.GetParam(75), 1400);
    EXPECT_EQ(loaded.GetConfigName(), LocalText(fs::path(u8"Citt\u00e0 \u20ac")));
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(PlatformFiles, AbsoluteNativePathSavesUnderItsFileName)
{
    // On Windows a drive letter and backslashes ("C:\...\Panda.vap").
    const fs::path file = fs::absolute(root / "sub" / "Panda.vap").make_preferred();
    fs::create_directories(file.parent_path());
    ConfCar car("default.mur", nullptr);
    ASSERT_TRUE(car.SaveToFile(LocalText(file), 0));
    ConfCar loaded("default.mur", nullptr);
    ASSERT_TRUE(loaded.LoadFromFile(LocalText(file), 0));
    EXPECT_EQ(loaded.GetConfigName(), "Panda");
    EXPECT_EQ(EntriesIn(file.parent_path()), 1u);
}

TEST_F(PlatformFiles, ResetFilesAreFoundWhateverTheCaseOfTheirNames)
{
    const fs::path folder = root / "Calibrazione";
    fs::create_directories(folder);
    std::ofstream(folder / "RESETLPG.VAP", std::ios::binary) << "lpg";
    std::ofstream(folder / "resetcng.vap", std::ios::binary) << "cng";

    // The reset command and the fuel choice spell the fuel differently.
    EXPECT_EQ(test::ReadAll(FindIgnoringCase(folder, "ResetLpg.vap")), "lpg");
    EXPECT_EQ(test::ReadAll(FindIgnoringCase(folder, "Resetlpg.vap")), "lpg");
    EXPECT_EQ(test::ReadAll(FindIgnoringCase(folder, "ResetCng.vap")), "cng");
    EXPECT_EQ(FindIgnoringCase(folder, "ResetGpl.vap"), folder / "ResetGpl.vap");
    EXPECT_EQ(FindIgnoringCase(root / "missing", "ResetLpg.vap"), root / "missing" / "ResetLpg.vap");
}

TEST_F(PlatformFiles, NewFilesAreCreatedOnlyWhenNoneExists)
{
    const fs::path file = root / "scratch.tmp";
    std::FILE* created = CreateNewFile(file);
    ASSERT_NE(created, nullptr);
    std::fputs("mine", created);
    std::fclose(created);

    EXPECT_EQ(CreateNewFile(file), nullptr);
    EXPECT_EQ(test::ReadAll(file), "mine");
    EXPECT_EQ(CreateNewFile(root / "missing" / "x.tmp"), nullptr);
}

TEST_F(PlatformFiles, ReplacingAnExistingFileRenamesOverIt)
{
    const fs::path file = root / "target.vap";
    ASSERT_TRUE(WriteFileReplacing(file, "one\r\n"));
    ASSERT_TRUE(WriteFileReplacing(file, "two\r\n"));
    EXPECT_EQ(test::ReadAll(file), "two\r\n") << "bytes are written as given, CR LF included";
    EXPECT_EQ(EntriesIn(root), 2u);  // the file and the temporary folder
}

} // namespace
