#include "ToolCommands.h"

#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "model/SafeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace vapora;

namespace {

struct Tool : ::testing::Test {
    fs::path dir;
    std::ostringstream out, err;

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("vapora-tool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return tool::Run(args, out, err);
    }
    std::string P(const char* name) const { return (dir / name).string(); }
};

std::string Bytes(const fs::path& file)
{
    std::string b;
    ReadFileBytes(file, b);
    return b;
}

} // namespace

TEST_F(Tool, EncodeAndDecodeRoundTrip)
{
    std::ofstream(P("plain.ini"), std::ios::binary) << "[Generale]\r\nNomeConfigurazione=x.vap\r\n";
    ASSERT_EQ(Run({"encode", P("plain.ini"), P("enc.vap")}), 0) << err.str();
    EXPECT_EQ(Bytes(P("enc.vap")).substr(0, 6), "EVMF\r\n");
    ASSERT_EQ(Run({"decode", P("enc.vap"), P("dec.ini")}), 0) << err.str();
    EXPECT_EQ(Bytes(P("dec.ini")), "DVMF\r\n[Generale]\r\nNomeConfigurazione=x.vap\r\n");
}

TEST_F(Tool, BadInputGivesStatus1AndAMessage)
{
    struct Case {
        std::vector<std::string> args;
        const char* fragment;
    };
    std::ofstream(P("garbage.bin"), std::ios::binary) << "\x01\x02 not an ini at all";
    const Case cases[] = {
        {{}, "usage"},
        {{"frobnicate"}, "unknown command"},
        {{"decode", P("missing.vap"), P("x")}, "no such file"},
        {{"encode", P("garbage.bin")}, "expected IN and OUT"},
        {{"encode", P("garbage.bin"), P("garbage.bin")}, "same file"},
        {{"decode", P("garbage.bin"), P("no/such/folder/x")}, "cannot write"},
        {{"new"}, "expected OUT"},
        {{"new", P("a.vap"), "--scope", "3"}, "scope"},
        {{"new", P("a.vap"), "--bogus"}, "unknown option"},
        {{"show", P("garbage.bin")}, "not a valid configuration file"},
        {{"show", P("missing.vap")}, "no such file"},
        {{"diff", P("garbage.bin"), P("garbage.bin")}, "not a valid configuration file"},
        {{"diff", P("garbage.bin")}, "expected A and B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fragment);
        EXPECT_EQ(Run(c.args), 1);
        EXPECT_NE(err.str().find(c.fragment), std::string::npos) << err.str();
    }
    EXPECT_FALSE(fs::exists(P("a.vap")));
}

TEST_F(Tool, NewWritesDefaultsThatShowPrints)
{
    ASSERT_EQ(Run({"new", P("cng.vap"), "--methane", "--official"}), 0) << err.str();
    bool methane = false;
    EXPECT_TRUE(ConfCar::ReadFileFlags(P("cng.vap"), &methane));
    EXPECT_TRUE(methane);

    ASSERT_EQ(Run({"show", P("cng.vap")}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("Configuration: cng"), std::string::npos) << text;
    EXPECT_NE(text.find("Official:      yes"), std::string::npos);
    EXPECT_NE(text.find("Fuel:          methane"), std::string::npos);
    EXPECT_NE(text.find("Gas map"), std::string::npos);
    EXPECT_NE(text.find("6500"), std::string::npos); // last rpm breakpoint
    EXPECT_NE(text.find("  0.27"), std::string::npos); // first MAP breakpoint in volts (raw 14)
    EXPECT_NE(text.find("Petrol map"), std::string::npos);
    // Every parameter with its raw and engineering value.
    for (const char* lines : {"[Lambda]\n"
                              "  TipoDiLambda                      2 = 0\n"
                              "  RifLambda                        28 = 0.55 V\n",
                              "  PassiIngr0                       15 = 300 ms\n"
                              "  PassiSmag0                       15 = 300 ms\n",
                              "  TempoArrBenzina                  10 = 0.050 s\n"
                              "  TempoArrBenzina1                 10 = 0.050 s\n"})
        EXPECT_NE(text.find(lines), std::string::npos) << lines;
    EXPECT_NE(text.find("  LimitazioneCorrettore             5 = 5\n"), std::string::npos);

    ASSERT_EQ(Run({"new", P("cal.vap"), "--scope", "1"}), 0) << err.str();
    ASSERT_EQ(Run({"decode", P("cal.vap"), P("cal.ini")}), 0);
    EXPECT_EQ(Bytes(P("cal.ini")).find("Flag1"), std::string::npos);
}

TEST_F(Tool, DiffListsEveryDifferingKeyWithBothValues)
{
    ConfCar a("default.mur", nullptr);
    ASSERT_TRUE(a.SaveToFile(P("a.vap"), 0));
    ASSERT_EQ(Run({"diff", P("a.vap"), P("a.vap")}), 0);
    EXPECT_EQ(out.str(), "no differences\n");

    a.SetGasMapCell(2, 3, 222);
    a.SetVehicleText(1, "Caf\xE8"); // Windows-1252 e grave
    a.SetParam(ids::kRifLambda, 0.6);
    a.SetParam(ids::kMinErroreIntegrale, 25);
    a.TempRif[1] = 100;
    ASSERT_TRUE(a.SaveToFile(P("b.vap"), 0));
    ASSERT_EQ(Run({"diff", P("a.vap"), P("b.vap")}), 0) << err.str();
    const std::string text = out.str();
    // Parameters show the engineering values beside the raw ones; texts are shown as they are.
    EXPECT_NE(text.find("[MappaCarburazione] Mappa2_3: 0 | 222  (0 | 222)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Lambda] RifLambda: 28 | 31  (0.55 | 0.61 V)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Carburazione] MinErroreIntegrale: -40 | -25  (40 | 25)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Temperatura] Rif1: 29 | 100  (80 | 35 \xC2\xB0" "C)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("NomeConfigurazione: a.vap | b.vap\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DescrizAuto:  | Caf\xC3\xA8\n"), std::string::npos) << text;

    // A key present on one side only: both load as the program's default.
    ASSERT_TRUE(a.SaveToFile(P("c.vap"), 1));
    ASSERT_EQ(Run({"diff", P("c.vap"), P("b.vap")}), 0);
    EXPECT_NE(out.str().find("Flag1: (absent) | 0  (0 | 0)\n"), std::string::npos) << out.str();
}

TEST_F(Tool, ShowAndDiffWarnOncePerValueOutsideItsRange)
{
    std::ofstream(P("wild.vap"), std::ios::binary)
        << "DVMF\r\n[Generale]\r\nNomeConfigurazione=wild.vap\r\nFlag1=300\r\n"
           "[MappaCarburazione]\r\nMappa0_0=99999\r\nMappa0_1=-5\r\nMappa0_2=7\r\n";
    ASSERT_EQ(Run({"show", P("wild.vap")}), 0) << err.str();
    const std::string warnings = err.str();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 3) << warnings;
    for (const char* key : {"Mappa0_0", "Mappa0_1", "Flag1"})
        EXPECT_NE(warnings.find(std::string("warning: '") + P("wild.vap") + "': " + key + " is outside its range"),
                  std::string::npos)
            << warnings;
    EXPECT_NE(out.str().find("65535"), std::string::npos) << out.str(); // shown as the program holds it

    ConfCar clean("default.mur", nullptr);
    ASSERT_TRUE(clean.SaveToFile(P("clean.vap"), 0));
    ASSERT_EQ(Run({"diff", P("clean.vap"), P("wild.vap")}), 0) << err.str();
    const std::string diffWarnings = err.str();
    EXPECT_EQ(std::count(diffWarnings.begin(), diffWarnings.end(), '\n'), 3) << diffWarnings;
    EXPECT_NE(out.str().find("Mappa0_0: 0 | 99999"), std::string::npos) << out.str();
    ASSERT_EQ(Run({"diff", P("clean.vap"), P("clean.vap")}), 0);
    EXPECT_EQ(err.str(), "");
}
