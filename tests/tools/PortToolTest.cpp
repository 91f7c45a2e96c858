// vapora-tool --version, "unit ports" and the port check before the link opens.
#include "ToolCommands.h"
#include "UnitCommands.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
using namespace vapora;

namespace {

TEST(ToolVersion, PrintsThePackageVersion)
{
    std::ostringstream out, err;
    ASSERT_EQ(tool::Run({"--version"}, out, err), 0);
    EXPECT_TRUE(std::regex_match(out.str(), std::regex("vapora-tool [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"))) << out.str();
}

// The environment is set the POSIX way; on Windows every port counts as usable until opened.
#ifndef _WIN32
struct PortTool : ::testing::Test {
    fs::path dir;
    std::ostringstream out, err;
    vapora::test::FakeClock clock;
    std::string savedLink, savedLang;

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("vapora-ports-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (auto [name, saved] : {std::pair{"VAPORA_LINK", &savedLink}, std::pair{"LANG", &savedLang}})
            if (const char* v = std::getenv(name))
                *saved = v;
        unsetenv("VAPORA_LINK");
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
    }
    void TearDown() override
    {
        fs::remove_all(dir);
        for (auto [name, saved] : {std::pair{"VAPORA_LINK", &savedLink}, std::pair{"LANG", &savedLang}})
            saved->empty() ? unsetenv(name) : setenv(name, saved->c_str(), 1);
    }
    // The library as installed: its folder holds SerNoxDL.conf (the file itself is not
    // needed before the port check).
    int Unit(std::vector<std::string> args, const fs::path& library)
    {
        out.str({});
        err.str({});
        args.insert(args.begin(), "unit");
        tool::UnitEnvironment env;
        env.clock = &clock;
        env.library = library;
        return tool::RunUnit(args, out, err, env);
    }
};

TEST_F(PortTool, ThePortsWithTheLinkInUse)
{
    std::ofstream(dir / "SerNoxDL.conf") << "default=none\n";
    ASSERT_EQ(Unit({"ports"}, dir / "libSerNoxDL.so"), 0) << err.str();
    EXPECT_TRUE(std::regex_search(out.str(), std::regex("(^|\n)sim +simulated unit \\(demonstration\\)\n"))) << out.str();
    EXPECT_NE(out.str().find("link in use: none (default= in SerNoxDL.conf)\n"), std::string::npos) << out.str();
    ASSERT_EQ(Unit({"ports", "--link", "serial:/dev/ttyUSB3"}, dir / "libSerNoxDL.so"), 0) << err.str();
    EXPECT_NE(out.str().find("link in use: serial:/dev/ttyUSB3 (VAPORA_LINK)\n"), std::string::npos) << out.str();
    EXPECT_EQ(Unit({"ports", "extra"}, dir / "libSerNoxDL.so"), 1);
}

// Each row: link (empty: none given, the installed default applies), locale, exit, message part.
TEST_F(PortTool, APortThatIsMissingOrNotChosenEndsWithExitTwoAndWhatToDo)
{
    std::ofstream(dir / "SerNoxDL.conf") << "default=none\n";
    const std::string missing = (dir / "ttyUSB9").string();
    struct Row {
        std::string link, lang;
        int exit;
        std::string says;
    };
    const Row rows[] = {
        {"", "C", 2, "no serial port is chosen: choose one in the program (Settings > Serial port)"},
        {"", "it_IT.UTF-8", 2, "nessuna porta seriale scelta"},
        {"serial:" + missing, "en_GB.UTF-8", 2, "the serial port " + missing + " does not exist"},
        {"serial:" + missing + "@19200", "it_IT.UTF-8", 2, "la porta seriale " + missing + " non esiste"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.link + " " + row.lang);
        setenv("LANG", row.lang.c_str(), 1);
        unsetenv("VAPORA_LINK");
        std::vector<std::string> args{"info", "--quiet"};
        if (!row.link.empty())
            args.insert(args.end(), {"--link", row.link});
        EXPECT_EQ(Unit(args, dir / "libSerNoxDL.so"), row.exit);
        EXPECT_NE(err.str().find(row.says), std::string::npos) << err.str();
    }
}

#endif

} // namespace
