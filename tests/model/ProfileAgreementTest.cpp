// On Windows the INI object is held against the system's own profile functions
// on the texts where the two could part: quotes, unclosed brackets, duplicates,
// case and blanks.
#ifdef _WIN32

#include "model/IniFile.h"
#include "model/SafeFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using vapora::IniFile;

namespace {

const char kText[] = "[S]\r\n"
                     "A=\"quoted value\"\r\n"
                     "B='single'\r\n"
                     "E=\"\"\r\n"
                     "F=\"a\"b\"\r\n"
                     "G=\"open\r\n"
                     "N=\"8\"\r\n"
                     "M='-12'\r\n"
                     "  Padded  =  text with blanks  \r\n"
                     "dup=first\r\n"
                     "DUP=second\r\n"
                     "[T\r\n"
                     "hidden=in S\r\n"
                     "[x=1\r\n"
                     "[s]\r\n"
                     "late=second block\r\n"
                     "[U] trailing\r\n"
                     "u=3\r\n";

std::string Profile(const fs::path& file, const char* section, const char* key)
{
    char buffer[256];
    GetPrivateProfileStringA(section, key, "<none>", buffer, sizeof buffer, file.string().c_str());
    return buffer;
}

TEST(ProfileAgreement, ReadsAsTheSystemsProfileFunctions)
{
    const fs::path file = fs::absolute(fs::temp_directory_path() / "vapora-profile-agreement.ini");
    ASSERT_TRUE(vapora::WriteFileReplacing(file, kText));
    const IniFile ini(file);
    struct Case {
        const char* section;
        const char* key;
    };
    for (const Case& c : {Case{"S", "A"}, Case{"S", "B"}, Case{"S", "E"}, Case{"S", "F"}, Case{"S", "G"},
                          Case{"S", "N"}, Case{"S", "M"}, Case{"S", "padded"}, Case{"S", "dup"}, Case{"s", "DUP"},
                          Case{"S", "hidden"}, Case{"S", "[x"}, Case{"T", "hidden"}, Case{"S", "late"},
                          Case{"U", "u"}, Case{"u", "U"}, Case{"S", "missing"}, Case{"none", "A"}})
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<none>"), Profile(file, c.section, c.key))
            << "[" << c.section << "] " << c.key;
    // Numbers only: for a text that is none the object keeps the caller's default, where the
    // system answers 0.
    for (const char* key : {"N", "M"})
        EXPECT_EQ(ini.ReadInteger("S", key, 77), static_cast<int>(GetPrivateProfileIntA("S", key, 77,
                                                                                        file.string().c_str())))
            << key;
    fs::remove(file);
}

} // namespace

#endif
