// The unit commands against the simulated unit: in process, and served over a
// pseudo-terminal by the virtual unit.
#include "ToolCommands.h"
#include "UnitCommands.h"

#include "calib/Recording.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef VIRTUAL_UNIT_PATH
#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace vapora;

namespace {

std::string Bytes(const fs::path& file)
{
    std::string bytes;
    ReadFileBytes(file, bytes);
    return bytes;
}

void WriteText(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

struct UnitTool : ::testing::Test {
    fs::path dir;
    std::ostringstream out, err;
    vapora::test::FakeClock clock;

    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("vapora-unit-" + std::to_string(CurrentProcessId()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> args, const std::string& link = "sim")
    {
        out.str({});
        err.str({});
        // Restore points go to a main folder of the test's own, never the user's.
        if (!args.empty() && (args[0] == "write" || args[0] == "program") && !withoutHome) {
            fs::create_directories(home());
            args.push_back("--home");
            args.push_back(home().string());
        }
        args.insert(args.begin(), "unit");
        args.push_back("--link");
        args.push_back(link);
        tool::UnitEnvironment env;
        env.clock = &clock;
        env.library = SERNOX_LIB_PATH;
        return tool::RunUnit(args, out, err, env);
    }
    std::string P(const char* name) const { return (dir / name).string(); }
    fs::path home() const { return dir / "home"; }

    bool withoutHome = false;
};

TEST_F(UnitTool, InfoNamesACompatibleUnit)
{
    ASSERT_EQ(Run({"info"}), 0) << err.str();
    EXPECT_NE(out.str().find("Identification: 8.1."), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Fuel:           LPG"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("(compatible)"), std::string::npos) << out.str();
}

TEST_F(UnitTool, ReadWriteReadGivesTheSameFileEncodedOrPlain)
{
    // The configuration takes its name from the file: both reads use the same one.
    fs::create_directories(dir / "again");
    ASSERT_EQ(Run({"read", P("a.vap")}), 0) << err.str();
    EXPECT_EQ(Bytes(P("a.vap")).substr(0, 4), "EVMF");
    ASSERT_EQ(Run({"write", P("a.vap")}), 0) << err.str();
    ASSERT_EQ(Run({"read", P("again/a.vap")}), 0) << err.str();
    EXPECT_EQ(Bytes(P("a.vap")), Bytes(P("again/a.vap")));

    ASSERT_EQ(Run({"read", P("plain.vap"), "--plain", "--quiet"}), 0) << err.str();
    const std::string plain = Bytes(P("plain.vap"));
    EXPECT_EQ(plain.substr(0, 4), "DVMF");
    EXPECT_NE(plain.find("[Generale]"), std::string::npos);
    EXPECT_EQ(err.str(), "") << "--quiet prints no progress";
    ASSERT_EQ(Run({"write", P("plain.vap"), "--scope", "2"}), 0) << err.str();
}

TEST_F(UnitTool, ProgressIsPlainLinesOffATerminal)
{
    ASSERT_EQ(Run({"read", P("a.vap")}), 0);
    EXPECT_NE(err.str().find("read: 0%\n"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("read: 100%\n"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find('\r'), std::string::npos);
}

TEST_F(UnitTool, BadInputExits1AndTouchesNothing)
{
    WriteText(P("old.vap"), "old");
    WriteText(P("junk.vap"), "no configuration here");
    const std::vector<std::vector<std::string>> cases = {
        {},                                   // no command
        {"flash"},                            // unknown command
        {"read"},                             // missing OUT
        {"read", P("x.vap"), "--frobnicate"}, // unknown option
        {"read", dir.string()},               // a folder as OUT
        {"read", P("nofolder/x.vap")},        // OUT in a missing folder
        {"write", P("missing.vap")},          // IN missing
        {"write", P("old.vap"), "--scope", "7"},
        {"log", P("x.txt"), "--seconds", "0"},
        {"program", P("old.vap")},            // neither .s19 nor .pec
        {"info", "--baud", "19200"},          // a rate for the simulated unit
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(Run(args), 1) << joined;
        EXPECT_NE(err.str().find("vapora-tool unit"), std::string::npos) << joined << err.str();
    }
    EXPECT_EQ(Run({"info"}, "serial:"), 1) << "a link setting that cannot be understood";
    EXPECT_EQ(Bytes(P("old.vap")), "old");
    EXPECT_FALSE(fs::exists(P("x.vap")));
    EXPECT_FALSE(fs::exists(P("x.txt")));
}

TEST_F(UnitTool, NoUnitOnTheLineExits2)
{
    EXPECT_EQ(Run({"info"}, "serial:" + P("no-such-port") + "@57600"), 2);
#ifdef _WIN32
    // No port can be checked there before it is opened.
    EXPECT_NE(err.str().find("cannot open the link"), std::string::npos) << err.str();
#else
    // Told before the link is opened, naming the port (in the locale's language).
    EXPECT_NE(err.str().find(P("no-such-port") + " "), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("cannot open the link"), std::string::npos) << err.str();
#endif
}

TEST_F(UnitTool, LogWritesTheLiveStripsRecordingFormat)
{
    ASSERT_EQ(Run({"log", P("drive.txt"), "--seconds", "3"}), 0) << err.str();
    // 150 ms ticks over 3 s.
    EXPECT_NE(out.str().find("recorded 20 records"), std::string::npos) << out.str();
    Recording recording;
    ASSERT_EQ(ReadRecording(P("drive.txt"), recording).status, RecordingStatus::Ok);
    EXPECT_EQ(recording.size(), 20u);
    EXPECT_EQ(recording.time.front(), 0);
    EXPECT_NEAR(recording.time.back(), 19 * 0.15, 1e-9);
    const std::string text = Bytes(P("drive.txt"));
    EXPECT_EQ(text.rfind("Acquisizione VAPORA, ", 0), 0u);
    EXPECT_NE(text.find("\r\nTEMPO\tGIRI\tMAP\t"), std::string::npos);
    EXPECT_NE(text.back(), '\n') << "no line break after the last record";
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename(), "drive.txt") << "no scratch file stays";
}

std::string SRecord(char type, uint32_t address, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes{static_cast<uint8_t>(2 + data.size() + 1)};
    bytes.push_back(static_cast<uint8_t>(address >> 8));
    bytes.push_back(static_cast<uint8_t>(address));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = std::string("S") + type;
    char hex[3];
    for (uint8_t b : bytes) {
        sum += b;
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
    }
    std::snprintf(hex, sizeof hex, "%02X", ~sum & 0xFF);
    return line + hex;
}

TEST_F(UnitTool, ProgramsAGoodImageAndGivesUpOnACorruptOne)
{
    std::string image = SRecord('0', 0, {'V', 'A', 'P'}) + "\r\n";
    for (uint32_t a = 0; a < 0x400; a += 16)
        image += SRecord('1', 0x8000 + a, std::vector<uint8_t>(16, static_cast<uint8_t>(a))) + "\r\n";
    image += SRecord('9', 0x8000, {}) + "\r\n";
    WriteText(P("good.s19"), image);
    ASSERT_EQ(Run({"program", P("good.s19")}), 0) << err.str();
    EXPECT_NE(out.str().find("programmed"), std::string::npos);

    std::string bad = image;
    bad[bad.find("S1") + 10] = bad[bad.find("S1") + 10] == 'F' ? '0' : 'F'; // checksum no longer matches
    WriteText(P("bad.s19"), bad);
    EXPECT_EQ(Run({"program", P("bad.s19")}), 4);
    EXPECT_NE(err.str().find("after 3 attempts"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("trying again"), std::string::npos) << err.str();
}

// The restore points of the home's "Storico", oldest first by name.
std::vector<std::string> PointNames(const fs::path& home)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(home / "Storico", ec))
        if (entry.path().extension() == ".vap")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(UnitTool, WriteAndProgramKeepRestorePointsThatHistoryLists)
{
    ASSERT_EQ(Run({"read", P("a.vap"), "--quiet"}), 0) << err.str();
    ASSERT_EQ(Run({"write", P("a.vap"), "--quiet"}), 0) << err.str();
    EXPECT_NE(out.str().find("restore point " + (home() / "Storico").string()), std::string::npos) << out.str();
    std::vector<std::string> points = PointNames(home());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NE(points[0].find("_caricamento_"), std::string::npos) << points[0];
    EXPECT_TRUE(fs::exists((home() / "Storico" / points[0]).replace_extension(".txt")));
    // A configuration file as any other.
    std::ostringstream shown, shownErr;
    EXPECT_EQ(tool::Run({"show", (home() / "Storico" / points[0]).string()}, shown, shownErr), 0) << shownErr.str();

    ASSERT_EQ(Run({"write", P("a.vap"), "--no-restore-point", "--quiet"}), 0) << err.str();
    EXPECT_EQ(out.str().find("restore point"), std::string::npos);
    EXPECT_EQ(PointNames(home()).size(), 1u) << "--no-restore-point takes none";

    // Programming keeps the configuration before and the one the new software has.
    std::string image = SRecord('0', 0, {'V', 'A', 'P'}) + "\r\n";
    for (uint32_t a = 0; a < 0x100; a += 16)
        image += SRecord('1', 0x8000 + a, std::vector<uint8_t>(16, static_cast<uint8_t>(a))) + "\r\n";
    image += SRecord('9', 0x8000, {}) + "\r\n";
    WriteText(P("fw.s19"), image);
    ASSERT_EQ(Run({"program", P("fw.s19"), "--quiet"}), 0) << err.str();
    points = PointNames(home());
    ASSERT_EQ(points.size(), 3u);
    for (const char* reason : {"_programmazione_", "_dopo-programmazione_"})
        EXPECT_EQ(std::count_if(points.begin(), points.end(),
                                [&](const std::string& n) { return n.find(reason) != std::string::npos; }),
                  1)
            << reason;

    // Newest first, the first of the car marked; filtered by configuration name.
    std::ostringstream history, historyErr;
    ASSERT_EQ(tool::Run({"history", "--home", home().string()}, history, historyErr), 0) << historyErr.str();
    std::istringstream lines(history.str());
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 4u) << history.str();
    EXPECT_EQ(rows[0].rfind("Date and time", 0), 0u);
    EXPECT_NE(rows[1].find("after programming"), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find("before programming"), std::string::npos) << rows[2];
    EXPECT_NE(rows[3].find("file loaded"), std::string::npos) << rows[3];
    EXPECT_NE(rows[3].find("(as found)"), std::string::npos) << rows[3];
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].find("(as found)") != std::string::npos, i == 3) << rows[i];
        EXPECT_NE(rows[i].find("LPG"), std::string::npos) << rows[i];
        EXPECT_NE(rows[i].find(".vap"), std::string::npos) << rows[i];
    }
    history.str({});
    ASSERT_EQ(tool::Run({"history", "--home", home().string(), "--config", "no such car"}, history, historyErr), 0);
    EXPECT_EQ(history.str().rfind("no restore points of 'no such car'", 0), 0u) << history.str();
    EXPECT_EQ(tool::Run({"history", "--home", P("missing")}, history, historyErr), 1);
    EXPECT_EQ(Run({"read", P("x.vap"), "--no-restore-point"}), 1) << "only write and program take one";
}

TEST_F(UnitTool, LogReplacesOnlyWhatASaveMayAndNeverReportsAFailedRecordingAsDone)
{
    // A read-only target is refused before anything is recorded.
    WriteText(P("locked.txt"), "old");
    fs::permissions(P("locked.txt"), fs::perms::owner_read);
    EXPECT_EQ(Run({"log", P("locked.txt"), "--seconds", "1"}), 1);
    EXPECT_NE(err.str().find("the file is read-only"), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(P("locked.txt")), "old");
    fs::permissions(P("locked.txt"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Run({"log", (dir / "folder").string(), "--seconds", "1"}, "serial:" + P("no-such-port")), 2)
        << "a good target, no unit";
    EXPECT_FALSE(fs::exists(dir / "folder"));

#ifndef _WIN32
    // A link is followed: the file it names is replaced, the link stays.
    WriteText(P("real.txt"), "old");
    fs::create_symlink("real.txt", dir / "link.txt");
    ASSERT_EQ(Run({"log", P("link.txt"), "--seconds", "1"}), 0) << err.str();
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Bytes(P("real.txt")).rfind("Acquisizione VAPORA, ", 0), 0u);
#endif
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string()[0], '~') << "no scratch file stays: " << entry.path();
}

#ifdef __linux__
// A small file system of its own, filled up: needs root to mount.
TEST_F(UnitTool, LogOntoAFullDiskExits1AndKeepsTheOldRecording)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs to fill needs root";
    const fs::path full = dir / "full";
    fs::create_directories(full);
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        fs::path at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{full};
    WriteText(full / "drive.txt", "the previous recording");
    {
        // Fill what is left, less one page: the header fits, the records do not.
        std::ofstream filler(full / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    const std::uintmax_t size = fs::file_size(full / "filler");
    fs::resize_file(full / "filler", size - 4096);

    EXPECT_EQ(Run({"log", (full / "drive.txt").string(), "--seconds", "60"}), 1);
    EXPECT_NE(err.str().find("the disk is full"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "") << "no 'recorded' line";
    EXPECT_EQ(Bytes(full / "drive.txt"), "the previous recording");
    EXPECT_EQ(std::distance(fs::directory_iterator(full), fs::directory_iterator()), 2) << "no scratch file stays";
}
#endif

// ---- over a pseudo-terminal ----
#ifdef VIRTUAL_UNIT_PATH

struct VirtualUnit {
    pid_t pid = -1;
    std::string port;

    explicit VirtualUnit(const std::vector<std::string>& options)
    {
        int pipeFd[2];
        if (pipe(pipeFd) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(pipeFd[1], 1);
            close(pipeFd[0]);
            std::vector<std::string> argv{VIRTUAL_UNIT_PATH, "--baud", "0"};
            argv.insert(argv.end(), options.begin(), options.end());
            std::vector<char*> raw;
            for (auto& a : argv)
                raw.push_back(a.data());
            raw.push_back(nullptr);
            execv(raw[0], raw.data());
            _exit(127);
        }
        close(pipeFd[1]);
        char c;
        while (read(pipeFd[0], &c, 1) == 1 && c != '\n')
            port += c;
        close(pipeFd[0]);
    }
    ~VirtualUnit()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    std::string Link() const { return "serial:" + port + "@115200,answer=60,gap=5"; }
};

TEST_F(UnitTool, OverTheLineAWrittenFileReadsBackTheSame)
{
    VirtualUnit unit({"--scenario", "drive"});
    ASSERT_EQ(unit.port.rfind("/dev/", 0), 0u) << unit.port;
    ASSERT_EQ(Run({"read", P("a.vap"), "--plain", "--quiet"}, unit.Link()), 0) << err.str();
    // A change the unit keeps: one gas map cell and the cylinder count.
    std::string text = Bytes(P("a.vap"));
    const auto replace = [&text](const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace("\r\nMappa3_4=127\r\n", "\r\nMappa3_4=131\r\n");
    replace("\r\nNumeroCilindri=4\r\n", "\r\nNumeroCilindri=6\r\n");
    // The unit keeps the written configuration's name, which comes from the file's.
    replace("\r\nDescrizAuto=ResetLpg\r\n", "\r\nDescrizAuto=a\r\n");
    WriteText(P("a.vap"), text);
    ASSERT_EQ(Run({"write", P("a.vap"), "--quiet"}, unit.Link()), 0) << err.str();
    fs::create_directories(dir / "again");
    ASSERT_EQ(Run({"read", P("again/a.vap"), "--plain", "--quiet"}, unit.Link()), 0) << err.str();
    EXPECT_EQ(text, Bytes(P("again/a.vap")));
    EXPECT_EQ(err.str(), "") << "nothing but the tool's own lines on stderr";
}

TEST_F(UnitTool, RefusedValuesExit3AndAreNamed)
{
    // Parameter 14 is the gas map: every row write is refused.
    VirtualUnit unit({"--refuse-param", "14"});
    ASSERT_FALSE(unit.port.empty());
    ASSERT_EQ(Run({"read", P("a.vap"), "--plain", "--quiet"}, unit.Link()), 0) << err.str();
    std::string text = Bytes(P("a.vap"));
    const size_t at = text.find("\r\nMappa3_4=127\r\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 16, "\r\nMappa3_4=140\r\n");
    WriteText(P("a.vap"), text);
    EXPECT_EQ(Run({"write", P("a.vap"), "--quiet"}, unit.Link()), 3);
    EXPECT_NE(err.str().find("refused: Mappa"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("the unit refused"), std::string::npos) << err.str();
}

TEST_F(UnitTool, AUnitThatGoesSilentMidReadExits2AndKeepsTheOldFile)
{
    VirtualUnit unit({"--silent-after", "300", "--delay", "5"});
    ASSERT_FALSE(unit.port.empty());
    WriteText(P("old.vap"), "the previous read");
    EXPECT_EQ(Run({"read", P("old.vap"), "--quiet"}, unit.Link()), 2);
    EXPECT_NE(err.str().find("link was lost during the read (read "), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(P("old.vap")), "the previous read");
}

TEST_F(UnitTool, AReadTheUnitRefusesExits3NamesTheGroupAndWritesNoFile)
{
    VirtualUnit unit({"--refuse-read", "14:3"});
    ASSERT_FALSE(unit.port.empty());
    WriteText(P("old.vap"), "the previous read");
    for (const bool plain : {false, true}) {
        std::vector<std::string> args{"read", P(plain ? "new.vap" : "old.vap"), "--quiet"};
        if (plain)
            args.push_back("--plain");
        EXPECT_EQ(Run(args, unit.Link()), 3);
        EXPECT_NE(err.str().find("refused: Mappa3_0..Mappa3_19\n"), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("the unit refused to give 1 of "), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(Bytes(P("old.vap")), "the previous read");
    EXPECT_FALSE(fs::exists(P("new.vap")));
}

TEST_F(UnitTool, ExitCodesNameTheRealCause)
{
    // A refused value the unit already holds: nothing is lost, and the tool says which.
    {
        VirtualUnit unit({"--refuse-param", "3"});
        ASSERT_FALSE(unit.port.empty());
        ASSERT_EQ(Run({"read", P("a.vap"), "--quiet"}, unit.Link()), 0) << err.str();
        EXPECT_EQ(Run({"write", P("a.vap"), "--quiet"}, unit.Link()), 0) << err.str();
        EXPECT_NE(err.str().find("kept as it was: Flag1 "), std::string::npos) << err.str();
        EXPECT_NE(out.str().find("wrote "), std::string::npos);
    }

    // Programming on a port that cannot be opened is no unit, as for every command...
    const std::string image = SRecord('0', 0, {'V'}) + "\r\n" + SRecord('9', 0x8000, {}) + "\r\n";
    WriteText(P("fw.s19"), image);
    EXPECT_EQ(Run({"program", P("fw.s19")}, "serial:" + P("no-such-port")), 2);
    EXPECT_NE(err.str().find("the serial port " + P("no-such-port") + " does not exist"), std::string::npos)
        << err.str();

    // ...but a port that opens with nothing answering is a failed programming.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string silent = ptsname(master);
    const size_t pointsBefore = PointNames(home()).size();
    EXPECT_EQ(Run({"program", P("fw.s19")}, "serial:" + silent + "@115200,answer=5,gap=2,attempts=1,silent=1"), 4);
    EXPECT_NE(err.str().find("programming failed"), std::string::npos) << err.str();
    // A unit that does not answer a read is programmed without a restore point, and told so.
    EXPECT_NE(out.str().find("no restore point: the unit did not answer a read before programming"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(PointNames(home()).size(), pointsBefore);
    close(master);
}

TEST_F(UnitTool, OverTheLineAWriteKeepsTheUnitsConfigurationFirstAndWhatTheFileLeavesOut)
{
    VirtualUnit unit({"--scenario", "drive"});
    ASSERT_FALSE(unit.port.empty());
    // The unit's own gas map cell, then a file that changes it.
    ASSERT_EQ(Run({"read", P("a.vap"), "--plain", "--quiet"}, unit.Link()), 0) << err.str();
    std::string text = Bytes(P("a.vap"));
    const size_t at = text.find("\r\nMappa3_4=127\r\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 16, "\r\nMappa3_4=131\r\n");
    WriteText(P("b.vap"), text);
    const auto unitHolds = [&](const char* cell) {
        EXPECT_EQ(Run({"read", P("now.vap"), "--plain", "--quiet"}, unit.Link()), 0) << err.str();
        return Bytes(P("now.vap")).find(std::string("\r\nMappa3_4=") + cell + "\r\n") != std::string::npos;
    };

    ASSERT_EQ(Run({"write", P("b.vap"), "--quiet"}, unit.Link()), 0) << err.str();
    EXPECT_NE(out.str().find("restore point " + (home() / "Storico").string()), std::string::npos) << out.str();
    std::vector<std::string> points = PointNames(home());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NE(points[0].find("_caricamento_"), std::string::npos) << points[0];
    EXPECT_TRUE(fs::exists((home() / "Storico" / points[0]).replace_extension(".txt")));
    // The point is what the unit held before, as a configuration file the tool reads.
    std::ostringstream shown, ignored;
    ASSERT_EQ(tool::Run({"decode", (home() / "Storico" / points[0]).string(), P("point.ini")}, shown, ignored), 0);
    EXPECT_NE(Bytes(P("point.ini")).find("\r\nMappa3_4=127\r\n"), std::string::npos);
    EXPECT_TRUE(unitHolds("131"));

    // A scope leaves the rest of the unit as it is: a parameters-only write keeps its map.
    ASSERT_EQ(Run({"write", P("a.vap"), "--scope", "2", "--no-restore-point", "--quiet"}, unit.Link()), 0) << err.str();
    EXPECT_EQ(out.str().find("restore point"), std::string::npos);
    EXPECT_EQ(PointNames(home()).size(), 1u) << "--no-restore-point takes none";
    EXPECT_TRUE(unitHolds("131"));

    // A point that cannot be written stops the write before the unit is touched.
    withoutHome = true;
    fs::create_directories(dir / "blocking");
    WriteText(dir / "blocking" / "Storico", "not a folder");
    EXPECT_EQ(Run({"write", P("a.vap"), "--quiet", "--home", (dir / "blocking").string()}, unit.Link()), 1);
    EXPECT_NE(err.str().find("no restore point: cannot write"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("nothing was written to the unit"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"write", P("a.vap"), "--quiet", "--home", P("missing")}, unit.Link()), 1);
    EXPECT_NE(err.str().find("is not a folder"), std::string::npos) << err.str();
    withoutHome = false;
    EXPECT_TRUE(unitHolds("131"));
}

#endif // VIRTUAL_UNIT_PATH

} // namespace
