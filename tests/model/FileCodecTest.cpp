#include "model/FileCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vapora::BuildFileKey;
using vapora::CryptBytes;
using vapora::CryptFile;
using vapora::ScrambleBytes;

namespace {

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

class FileCodecFiles : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("codec_" + std::to_string(std::random_device{}()) + "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Put(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    static std::string Get(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::size_t FileCount() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

}  // namespace

TEST(FileCodecKey, DefaultKeyIsShortStableAndKeepsBracketVisible)
{
    const std::string key = BuildFileKey();
    ASSERT_GE(key.size(), 1u);
    ASSERT_LE(key.size(), 12u);
    EXPECT_EQ(key, BuildFileKey());
    EXPECT_EQ(key.find('\0'), std::string::npos);
    const auto first = static_cast<unsigned char>(key[0] ^ '[');
    EXPECT_GT(first, 0x20);
    EXPECT_LT(first, 0x7F);
}

// Files already written must stay readable: a change of key or shift pattern breaks them.
TEST(FileCodecKey, KnownTextEncodesToKnownBytes)
{
    EXPECT_EQ(CryptBytes("[Generale]\r\n", false, true, ""),
              "EVMF\r\n\x36\xC1\xF9\xBE\x85\xC3\x8B\xCC\xF5\xAD\x51\xD0");
}

TEST(FileCodecBytes, ArbitraryBytesRoundTrip)
{
    for (const std::string key : {"", "k", "a much longer key than twelve"}) {
        for (std::size_t size : {0u, 1u, 7u, 4096u}) {
            SCOPED_TRACE("key '" + key + "', size " + std::to_string(size));
            const std::string data = RandomBytes(size, static_cast<unsigned>(size));
            const std::string bare = CryptBytes(data, false, false, key);
            EXPECT_EQ(CryptBytes(bare, true, false, key), data);
            if (size > 1) {
                EXPECT_NE(bare, data);
            }
            const std::string encoded = CryptBytes(data, false, true, key);
            EXPECT_EQ(CryptBytes(encoded, true, true, key), "DVMF\r\n" + data);
        }
    }
}

TEST(FileCodecBytes, BodiesStartingWithEveryByteRoundTrip)
{
    for (int first = 0; first < 256; ++first) {
        const std::string body = std::string(1, static_cast<char>(first)) + "\r\n[Generale]\r\nA=1\r\n";
        const std::string encoded = CryptBytes("DVMF\r\n" + body, false, true, "");
        EXPECT_EQ(CryptBytes(encoded, true, true, ""), "DVMF\r\n" + body) << "first byte " << first;
    }
}

TEST(FileCodecBytes, HeaderHandling)
{
    struct Case {
        const char* name;
        std::string source;
        bool decode;
        std::string expected;  // "=" : the source comes back unchanged
    };
    const auto encoded = [](const std::string& body) { return "EVMF\r\n" + ScrambleBytes(body, ""); };
    const auto decoded = [](const std::string& body) { return "DVMF\r\n" + ScrambleBytes(body, ""); };
    const Case cases[] = {
        {"encoding an encoded file copies it", "EVMF\r\n \r\nxyz  ", false, "="},
        {"decoding a plain file copies it", "DVMF\r\n[A]\r\n", true, "="},
        {"no header: all is body", "[A]\r\nk=1\r\n", true, decoded("[A]\r\nk=1\r\n")},
        {"blanks on the header line go, the next line stays", "DVMF \t\r\n\r\n[A]", false, encoded("\r\n[A]")},
        {"LF header line", "DVMF\n \n", false, encoded(" \n")},
        {"header without line end", "DVMF x", false, encoded("x")},
        {"header only", "DVMF", false, encoded("")},
        {"longer token is no header", "DVMFX\r\n", false, encoded("DVMFX\r\n")},
        {"token cut at ten characters", "DVMFDVMFDVMF\r\n", false, encoded("DVMFDVMFDVMF\r\n")},
        {"leading blank is no header", " DVMF\r\n", false, encoded(" DVMF\r\n")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CryptBytes(c.source, c.decode, true, ""), c.expected == "=" ? c.source : c.expected) << c.name;
    }
}

TEST_F(FileCodecFiles, EncodesAndDecodesFiles)
{
    const std::string text = "[Generale]\r\nDescrizAuto=Citt\xE0\r\n";
    const fs::path plain = Put("plain.ini", text);
    ASSERT_TRUE(CryptFile(plain, dir_ / "car.vap", false, true));
    EXPECT_EQ(Get(dir_ / "car.vap").substr(0, 6), "EVMF\r\n");
    ASSERT_TRUE(CryptFile(dir_ / "car.vap", dir_ / "back.ini", true, true));
    EXPECT_EQ(Get(dir_ / "back.ini"), "DVMF\r\n" + text);

    // Already in the wanted form: copied byte for byte over an existing target.
    Put("old.vap", "previous");
    ASSERT_TRUE(CryptFile(dir_ / "car.vap", dir_ / "old.vap", false, true));
    EXPECT_EQ(Get(dir_ / "old.vap"), Get(dir_ / "car.vap"));
    EXPECT_EQ(FileCount(), 4u);
}

TEST_F(FileCodecFiles, RefusesTwoNamesOfTheSameFile)
{
    const std::string text = "DVMF\r\n[A]\r\nk=1\r\n";
    const fs::path file = Put("f.vap", text);
    fs::create_hard_link(file, dir_ / "hard.vap");
    std::vector<fs::path> spellings = {file, dir_ / ".." / dir_.filename() / "f.vap", dir_ / "." / "f.vap",
                                       fs::relative(file), dir_ / "hard.vap"};
    // Windows grants symbolic links to administrators only.
    std::error_code noLinks;
    fs::create_symlink(file, dir_ / "link.vap", noLinks);
    if (!noLinks)
        spellings.push_back(dir_ / "link.vap");
    for (const fs::path& other : spellings) {
        EXPECT_FALSE(CryptFile(file, other, false, true)) << other;
        EXPECT_FALSE(CryptFile(other, file, false, true)) << other;
        EXPECT_EQ(Get(file), text) << other;
    }
    EXPECT_EQ(FileCount(), noLinks ? 2u : 3u);
}

TEST_F(FileCodecFiles, FailureLeavesSourceAndTargetAlone)
{
    const fs::path source = Put("src.ini", "[A]\r\n");
    const fs::path target = Put("dst.vap", "old target");
    fs::create_directory(dir_ / "folder");

    EXPECT_FALSE(CryptFile(dir_ / "missing.ini", target, false, true));
    EXPECT_FALSE(CryptFile(dir_ / "folder", target, false, true));
    EXPECT_FALSE(CryptFile(source, dir_ / "nowhere" / "dst.vap", false, true));
    EXPECT_FALSE(CryptFile(source, dir_ / "folder", false, true));

    EXPECT_EQ(Get(source), "[A]\r\n");
    EXPECT_EQ(Get(target), "old target");
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_EQ(FileCount(), 3u);  // no temporary files left
}

TEST_F(FileCodecFiles, SourceWithoutBodyGivesHeaderOnly)
{
    ASSERT_TRUE(CryptFile(Put("empty.ini", ""), dir_ / "b.vap", false, true));
    EXPECT_EQ(Get(dir_ / "b.vap"), "EVMF\r\n");
    ASSERT_TRUE(CryptFile(dir_ / "b.vap", dir_ / "c.ini", true, true));
    EXPECT_EQ(Get(dir_ / "c.ini"), "DVMF\r\n");
}
