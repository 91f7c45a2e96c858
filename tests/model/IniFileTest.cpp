#include "model/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using vapora::IniFile;

namespace {

const char* const kSample =
    "k0=before any section\n"
    "[Generale]\r\n"
    "  Cilindrata  =  28  \r\n"
    "cilindrata=99\r\n"
    "Vuoto=\r\n"
    "; Commento=1\r\n"
    "Descriz=Citt\xE0 d'arte\n"
    "[ generale ]\n"
    "Euro=4\n"
    "[Lambda]\n"
    "Tipo=2\n";

}  // namespace

TEST(IniFileRead, ProfileLookupRules)
{
    const IniFile ini = IniFile::FromText(kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: absent
    };
    const Case cases[] = {
        {"Generale", "Cilindrata", "28"},       // blanks trimmed, first duplicate key wins
        {"GENERALE", "CILINDRATA", "28"},       // case ignored
        {"Generale", "Vuoto", ""},              // present though empty
        {"Generale", "Descriz", "Citt\xE0 d'arte"},
        {"Generale", "Euro", nullptr},          // only in the second, shadowed "Generale"
        {"Generale", "; Commento", nullptr},
        {"Generale", "k0", nullptr},
        {"Generale", "Tipo", nullptr},
        {"lambda", "tipo", "2"},
        {"Manca", "Tipo", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.KeyExists(c.section, c.key), c.value != nullptr);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<none>"), c.value ? c.value : "<none>");
    }
}

TEST(IniFileRead, NumbersLikeTheProfileFunctions)
{
    struct Case {
        const char* text;
        int integer;    // default -99
        bool boolean;   // default true
        double number;  // default -1.5
    };
    const Case cases[] = {
        {"42", 42, true, 42},          {"-7", -7, true, -7},         {"0", 0, false, 0},
        {"12abc", 12, true, 12},       {"abc", -99, true, -1.5},     {"", -99, true, -1.5},
        {"-", -99, true, -1.5},        {"+3", 3, true, 3},           {"75.5", 75, true, 75.5},
        {"3,25", 3, true, 3},          {"-0.25", 0, false, -0.25},   {"99999999999", INT_MAX, true, 99999999999.0},
        {"-99999999999", INT_MIN, true, -99999999999.0},
    };
    for (const Case& c : cases) {
        const IniFile ini = IniFile::FromText(std::string("[S]\r\nk=") + c.text + "\r\n");
        EXPECT_EQ(ini.ReadInteger("S", "k", -99), c.integer) << c.text;
        EXPECT_EQ(ini.ReadBool("S", "k", true), c.boolean) << c.text;
        EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "k", -1.5), c.number) << c.text;
    }
    EXPECT_EQ(IniFile::FromText("").ReadInteger("S", "k", 5), 5);
}

TEST(IniFileWrite, EditsWhereTheProfileFunctionsWould)
{
    struct Case {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        {"update keeps position and spelling", "[A]\n  MyKey = old \nz=1\n", "a", "MYKEY", "new",
         "[A]\r\nMyKey=new\r\nz=1\r\n"},
        {"update of the first duplicate", "[A]\nk=1\nK=2\n[a]\nk=3\n", "A", "k", "9", "[A]\r\nk=9\r\nK=2\r\n[a]\r\nk=3\r\n"},
        {"new key after the section's last key", "[A]\nx=1\n\n[B]\ny=2\n", "A", "k", "v",
         "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"},
        {"new key in an empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"new section at the end", "[A]\r\nx=1\r\n", "C", "k", "v", "[A]\r\nx=1\r\n[C]\r\nk=v\r\n"},
        {"new section in an empty file", "", "C", "k", "v", "[C]\r\nk=v\r\n"},
        {"value written as given", "[A]\n", "A", "k", "x\xE8 = y", "[A]\r\nk=x\xE8 = y\r\n"},
        {"edge blanks kept by quotes", "[A]\n", "A", "k", "  x\xE8 = y ", "[A]\r\nk=\"  x\xE8 = y \"\r\n"},
    };
    for (const Case& c : cases) {
        IniFile ini = IniFile::FromText(c.before);
        ini.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ini.Text(), c.after) << c.name;
    }
}

TEST(IniFileWrite, SectionWrittenTwiceStaysOneBlock)
{
    IniFile ini = IniFile::FromText("");
    ini.WriteString("Generale", "NomeConfigurazione", "a.vap");
    ini.WriteInteger("RiferimentiGiri", "RifGiri0", 10);
    ini.WriteBool("Generale", "MurFile", true);
    ini.WriteBool("Generale", "Carburante", false);
    EXPECT_EQ(ini.Text(),
              "[Generale]\r\nNomeConfigurazione=a.vap\r\nMurFile=1\r\nCarburante=0\r\n"
              "[RiferimentiGiri]\r\nRifGiri0=10\r\n");
}

TEST(IniFileWrite, ValuesReadBackAsWritten)
{
    IniFile ini = IniFile::FromText("");
    for (int value : {INT_MIN, -1, 0, 255, INT_MAX}) {
        ini.WriteInteger("S", "i", value);
        EXPECT_EQ(ini.ReadInteger("S", "i", 7), value);
    }
    for (double value : {75.5, -0.001, 0.1, 1e20, 0.0}) {
        ini.WriteFloat("S", "f", value);
        EXPECT_EQ(ini.ReadFloat("S", "f", 7), value);
    }
    ini.WriteFloat("S", "f", 75.5);
    EXPECT_EQ(ini.ReadString("S", "f", ""), "75.5");
    ini.WriteBool("S", "b", false);
    EXPECT_FALSE(ini.ReadBool("S", "b", true));
    ini.WriteString("S", "s", "Citt\xE0 \x80\xFF");
    EXPECT_EQ(ini.ReadString("S", "s", ""), "Citt\xE0 \x80\xFF");
}

TEST(IniFileFile, LoadsAndFlushesBytesExactly)
{
    const fs::path dir = fs::temp_directory_path() / ("ini_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path file = dir / "conf.ini";

    IniFile missing(file);
    EXPECT_EQ(missing.Text(), "");
    missing.WriteString("Generale", "DescrizAuto", "Citt\xE0");
    ASSERT_TRUE(missing.Flush());

    std::ofstream(file, std::ios::binary | std::ios::app) << "[Lambda]\nTipo=2";  // LF ends, none at the end
    IniFile loaded(file);
    EXPECT_EQ(loaded.ReadString("generale", "descrizauto", ""), "Citt\xE0");
    loaded.WriteInteger("Lambda", "Tipo", 3);
    ASSERT_TRUE(loaded.Flush());

    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    in.close();  // an open file cannot be removed on Windows
    EXPECT_EQ(bytes.str(), "[Generale]\r\nDescrizAuto=Citt\xE0\r\n[Lambda]\r\nTipo=3\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_FALSE(IniFile(dir / "missing" / "x.ini").Flush());
    fs::remove_all(dir);
}

TEST(IniFileProfile, EnclosingQuotesAreRemovedOnReading)
{
    const IniFile ini = IniFile::FromText("[S]\r\n"
                                          "A=\"quoted value\"\r\n"
                                          "B='single'\r\n"
                                          "E=\"\"\r\n"
                                          "F=\"a\"b\"\r\n"
                                          "G=\"open\r\n"
                                          "H=\"mixed'\r\n"
                                          "I=\"\r\n"
                                          "J=  \"  blanks kept inside  \"  \r\n"
                                          "N=\"8\"\r\n"
                                          "M='-12'\r\n");
    struct Case {
        const char* key;
        const char* text;
    };
    for (const Case& c : {Case{"A", "quoted value"}, Case{"B", "single"}, Case{"E", ""}, Case{"F", "a\"b"},
                          Case{"G", "\"open"}, Case{"H", "\"mixed'"}, Case{"I", "\""},
                          Case{"J", "  blanks kept inside  "}})
        EXPECT_EQ(ini.ReadString("S", c.key, "<none>"), c.text) << c.key;
    EXPECT_EQ(ini.ReadInteger("S", "N", -1), 8);
    EXPECT_EQ(ini.ReadInteger("S", "M", -1), -12);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "N", -1), 8);
    EXPECT_EQ(ini.ReadInteger("S", "A", -1), -1); // still not a number
}

TEST(IniFileProfile, QuotedTextsAreWrittenSoTheyReadBackAsGiven)
{
    IniFile ini = IniFile::FromText("");
    for (const char* text : {"\"q\"", "'q'", "\"\"", "''", " \"padded\" ", "\"a\"b\"", "\"open", "plain", "\""}) {
        ini.WriteString("S", "k", text);
        EXPECT_EQ(ini.ReadString("S", "k", "<none>"), text) << ini.Text();
        // Another reader with the same rules gets the same text from the written file.
        EXPECT_EQ(IniFile::FromText(ini.Text()).ReadString("S", "k", "<none>"), text);
    }
    ini.WriteString("S", "k", "\"q\"");
    EXPECT_EQ(ini.Text(), "[S]\r\nk=\"\"q\"\"\r\n");
    ini.WriteString("S", "k", "plain \"inner\" text");
    EXPECT_EQ(ini.Text(), "[S]\r\nk=plain \"inner\" text\r\n");
}

TEST(IniFileProfile, BracketLineWithoutCloseIsNotASectionHeader)
{
    const std::string text = "[A]\r\n"
                             "a=1\r\n"
                             "[S\r\n"
                             "b=2\r\n"
                             "[x=1\r\n"
                             "[B] trailing\r\n"
                             "c=3\r\n";
    const IniFile ini = IniFile::FromText(text);
    EXPECT_EQ(ini.ReadInteger("A", "b", -1), 2); // still in [A]
    EXPECT_EQ(ini.ReadInteger("A", "[x", -1), 1);
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_FALSE(ini.SectionExists("x=1"));
    EXPECT_EQ(ini.ReadInteger("B", "c", -1), 3);

    // A new key lands in its real section, and every other line stays as it was.
    IniFile edited = IniFile::FromText(text);
    edited.WriteInteger("A", "d", 4);
    edited.WriteInteger("A", "b", 5);
    EXPECT_EQ(edited.Text(), "[A]\r\na=1\r\n[S\r\nb=5\r\n[x=1\r\nd=4\r\n[B] trailing\r\nc=3\r\n");
}

TEST(IniFileWrite, LineBreaksAndNulInsideTextsBecomeBlanks)
{
    IniFile ini = IniFile::FromText("[Generale]\r\nFlag1=5\r\n");
    ini.WriteString("Generale", "DescrizAuto", std::string("x\r\nFlag1=77\n[Lambda]\rTipo=9\0end", 31));
    EXPECT_EQ(ini.ReadString("Generale", "DescrizAuto", ""), std::string("x  Flag1=77 [Lambda] Tipo=9 end"));
    const IniFile reread = IniFile::FromText(ini.Text());
    EXPECT_EQ(reread.ReadInteger("Generale", "Flag1", -1), 5);
    EXPECT_FALSE(reread.SectionExists("Lambda"));
    const std::string written = ini.Text();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3);
}

TEST(IniFileRead, LargeFileKeepsFirstDuplicatesAndEditsInPlace)
{
    // Many lines between duplicates: the parsed index must keep the profile rules.
    std::string text = "; head\r\n[Generale]\r\n";
    for (int i = 0; i < 5000; ++i)
        text += ";c" + std::to_string(i) + "\r\n";
    text += "Key=first\r\n[Other]\r\nx=1\r\n[GENERALE]\r\nkey=second\r\nOnlyHere=1\r\n";
    IniFile ini = IniFile::FromText(text);
    EXPECT_EQ(ini.ReadString("generale", "KEY", ""), "first");
    EXPECT_FALSE(ini.KeyExists("Generale", "OnlyHere"));
    ini.WriteString("Generale", "key", "updated");
    ini.WriteString("Generale", "New", "n");
    std::string expected = text;
    expected.replace(expected.find("Key=first"), 9, "Key=updated\r\nNew=n");
    EXPECT_EQ(ini.Text(), expected);
}

TEST(IniFileProfile, WhateverALoadGivesASaveAndLoadGiveBack)
{
    // Seeded lines of the bytes the rules care about: blanks, quotes, brackets, line ends, NUL.
    const std::string alphabet("ab =;\"'[]\t\r\n\0\x80", 15);
    std::mt19937 random(27);
    auto shown = [](const std::string& bytes) {
        std::ostringstream s;
        for (unsigned char c : bytes)
            s << (c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c));
        return s.str();
    };
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        for (int n = static_cast<int>(random() % 10); n > 0; --n)
            line += alphabet[random() % alphabet.size()];
        const std::string value = IniFile::FromText("[S]\r\nk=" + line + "\r\n").ReadString("S", "k", "<none>");
        // Into an existing key and into an empty text.
        IniFile edited = IniFile::FromText("[S]\r\nk=old\r\nz=1\r\n");
        edited.WriteString("S", "k", value);
        IniFile fresh = IniFile::FromText("");
        fresh.WriteString("S", "k", value);
        for (const IniFile* saved : {&edited, &fresh}) {
            const IniFile again = IniFile::FromText(saved->Text());
            ASSERT_EQ(again.ReadString("S", "k", "<none>"), value) << shown(line) << " -> " << shown(saved->Text());
            ASSERT_EQ(again.ReadString("S", "z", "<none>"), saved == &edited ? "1" : "<none>") << shown(line);
        }
    }
}
