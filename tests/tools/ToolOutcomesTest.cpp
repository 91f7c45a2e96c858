// The tool's messages name the real cause, and it clears only its own stale scratch files.

#include "ToolCommands.h"

#include "model/ConfCar.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace vapora;
using vapora::test::SetTemporaryFolder;

namespace {

struct ToolOutcomes : ::testing::Test {
    fs::path dir, tmp;
    std::string oldTmp;
    std::ostringstream out, err;

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("vapora-tool-outcomes-" + std::to_string(CurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        tmp = dir / "tmp";
        fs::create_directories(tmp);
        if (const char* old = std::getenv("TMPDIR"))
            oldTmp = old;
        SetTemporaryFolder(tmp.string());
    }
    void TearDown() override
    {
        SetTemporaryFolder(oldTmp);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    int Run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return tool::Run(args, out, err);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    static std::string Bytes(const fs::path& file)
    {
        std::string b;
        ReadFileBytes(file, b);
        return b;
    }
};

} // namespace

TEST_F(ToolOutcomes, MessagesNameTheRealCause)
{
    ASSERT_EQ(Run({"new", P("good.vap")}), 0) << err.str();
    fs::create_directories(dir / "folder.vap");
    const std::string tooLong = P(std::string(kPathMax, 'a') + ".vap");

    struct Case {
        std::vector<std::string> args;
        std::string fragment;
    };
    const Case cases[] = {
        {{"show", P("folder.vap")}, "'" + P("folder.vap") + "' is a folder"},
        {{"decode", P("folder.vap"), P("x.ini")}, "is a folder"},
        {{"diff", P("good.vap"), P("folder.vap")}, "is a folder"},
        {{"encode", P("good.vap"), P("folder.vap")}, "is a folder"},
        {{"show", tooLong}, "longer than " + std::to_string(kPathMax) + " characters"},
        {{"new", tooLong}, "longer than " + std::to_string(kPathMax) + " characters"},
        {{"new", P("nofolder/x.vap")}, "the folder does not exist"},
#ifndef _WIN32
        // A short path whose name alone is more than a folder takes.
        {{"new", P(std::string(252, 'n') + ".vap")}, "the file name is too long for its folder"},
        {{"show", P(std::string(252, 'n') + ".vap")}, "the file name is too long for its folder"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.fragment);
        EXPECT_EQ(Run(c.args), 1);
        EXPECT_NE(err.str().find(c.fragment), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("no such file"), std::string::npos) << err.str();
    }
    EXPECT_FALSE(fs::exists(P("x.ini")));

    // A missing temporary folder is blamed, not the good file.
    fs::remove_all(tmp);
    EXPECT_EQ(Run({"show", P("good.vap")}), 1);
    EXPECT_NE(err.str().find("the temporary folder '" + tmp.string() + "' is missing"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"new", P("other.vap")}), 1);
    EXPECT_NE(err.str().find("temporary folder"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(P("other.vap")));
    fs::create_directories(tmp);

    // A file without a "Generale" section, and an empty one.
    std::ofstream(P("lambda.vap"), std::ios::binary) << "DVMF\r\n[Lambda]\r\nTipoDiLambda=1\r\n";
    std::ofstream(P("empty.vap"), std::ios::binary);
    for (const char* name : {"lambda.vap", "empty.vap"}) {
        EXPECT_EQ(Run({"show", P(name)}), 1);
        EXPECT_NE(err.str().find("is not a valid configuration file"), std::string::npos) << err.str();
    }
}

TEST_F(ToolOutcomes, ReadOnlyTargetAndEmptyNameAreRefused)
{
    ASSERT_EQ(Run({"new", P("locked.vap")}), 0) << err.str();
    const std::string old = Bytes(P("locked.vap"));
    fs::permissions(P("locked.vap"), fs::perms::owner_read);
    EXPECT_EQ(Run({"new", P("locked.vap"), "--methane"}), 1);
    EXPECT_NE(err.str().find("the file is read-only"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"encode", P("locked.vap"), P("locked.vap")}), 1);
    std::ofstream(P("plain.ini"), std::ios::binary) << "[Generale]\r\n";
    EXPECT_EQ(Run({"encode", P("plain.ini"), P("locked.vap")}), 1);
    EXPECT_NE(err.str().find("read-only"), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(P("locked.vap")), old);
    // Writable again, or the folder cannot be removed afterwards (Windows).
    fs::permissions(P("locked.vap"), fs::perms::owner_write, fs::perm_options::add);

    const fs::path here = fs::current_path();
    fs::current_path(dir);
    EXPECT_EQ(Run({"new", ""}), 1);
    EXPECT_NE(err.str().find("file name is empty"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"decode", P("plain.ini"), ""}), 1);
    EXPECT_FALSE(fs::exists(dir / "default.mur"));
    fs::current_path(here);
}

TEST_F(ToolOutcomes, StaleScratchFilesOfTheToolGoAtStart)
{
    const std::string dead = "2000000001";
    const std::string pid = std::to_string(CurrentProcessId());
    fs::create_directories(dir / "out");
    const fs::path gone[] = {tmp / ("_devtool-" + dead + "-0a1b2c3d.tmp"),
                             dir / "out" / ("~vtool-" + dead + "-0a1b2c3d.tmp")};
    const fs::path kept[] = {tmp / ("_devapora-" + dead + "-0a1b2c3d.tmp"), // the program's
                             dir / "out" / ("~vapora-" + dead + "-0a1b2c3d.tmp"),
                             tmp / ("_devtool-" + pid + "-0a1b2c3d.tmp"), // a live run
                             dir / "out" / "~notes.tmp"};
    for (const auto& file : gone)
        std::ofstream(file) << "x";
    for (const auto& file : kept)
        std::ofstream(file) << "x";
    // The folder a plain read saves through, left by a killed run and by a live one.
    const fs::path deadFolder = tmp / ("_devtool-" + dead + "-0a1b2c3e.tmp");
    const fs::path liveFolder = tmp / ("_devtool-" + pid + "-0a1b2c3e.tmp");
    for (const auto& folder : {deadFolder, liveFolder}) {
        fs::create_directories(folder);
        std::ofstream(folder / "car.vap") << "x";
        fs::permissions(folder / "car.vap", fs::perms::owner_read);
    }

    ASSERT_EQ(Run({"new", (dir / "out" / "a.vap").string()}), 0) << err.str();
    for (const auto& file : gone)
        EXPECT_FALSE(fs::exists(file)) << file;
    for (const auto& file : kept)
        EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_FALSE(fs::exists(deadFolder));
    EXPECT_TRUE(fs::exists(liveFolder / "car.vap"));
    fs::permissions(liveFolder / "car.vap", fs::perms::owner_write, fs::perm_options::add);
    // Its own scratch files carry its name and do not stay.
    EXPECT_EQ(ScratchOwner(), "vtool");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 3);
}
