// Which folder the program works in, and the user's main folder made and brought
// up to date from the installed template without losing what the user changed.
#include "FileTestSupport.h"

#include "model/MainFolder.h"
#include "model/Sha256.h"

#include <map>
#include <random>

namespace vapora::test {
namespace {

namespace fs = std::filesystem;

TEST(Sha256, MatchesTheSystemToolAcrossBlockBoundaries)
{
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 55 bytes fit the length in the last block, 56 need one more; 64 is a whole block.
    EXPECT_EQ(Sha256Hex(std::string(55, 'a')), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(Sha256Hex(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(Sha256Hex(std::string(64, 'a')), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>((i * 7 + 3) % 256);
    EXPECT_EQ(Sha256Hex(bytes), "1e9bc38cbf860b9ec31918b065f9b52476c549a782e0e7990bed8ce3868d2371");
}

class MainFolderTest : public FileTest {
protected:
    // A template: relative path -> content.
    using Tree = std::map<std::string, std::string>;

    void Write(const fs::path& base, const Tree& tree)
    {
        fs::remove_all(base);
        for (const auto& [rel, content] : tree) {
            fs::create_directories((base / rel).parent_path());
            std::ofstream(base / rel, std::ios::binary) << content;
        }
    }
    Tree Read(const fs::path& base)
    {
        Tree tree;
        for (const auto& e : fs::recursive_directory_iterator(base))
            if (e.is_regular_file() && e.path().filename() != kTemplateManifest)
                tree[e.path().lexically_relative(base).generic_string()] = ReadAll(e.path());
        return tree;
    }
    fs::path Template() const { return root / "share" / "vapora"; }
    fs::path Home() const { return root / "data" / "Vapora"; }
};

TEST_F(MainFolderTest, ChoosesTheCurrentMainFolderElseTheUsersFolderOnlyWhenATemplateIsInstalled)
{
    Write(root / "bin", {{"vapora", "program"}});
    const fs::path plain = root / "plain";
    fs::create_directories(plain);
    const fs::path main = root / "main";
    Write(main, {{kMainFolderMark, "dictionary"}});
    EXPECT_TRUE(InstalledTemplate(root / "bin").empty()) << "no share/vapora beside the program";
    Write(Template(), {{kMainFolderMark, "dictionary"}});
    EXPECT_EQ(InstalledTemplate(root / "bin"), Template().lexically_normal());

    EXPECT_EQ(ChooseMainFolder(main, Template(), Home()).folder, main);
    EXPECT_TRUE(ChooseMainFolder(main, Template(), Home()).templateFolder.empty());
    const MainFolderChoice installed = ChooseMainFolder(plain, Template(), Home());
    EXPECT_EQ(installed.folder, Home());
    EXPECT_EQ(installed.templateFolder, Template());
    EXPECT_EQ(ChooseMainFolder(plain, {}, Home()).folder, plain) << "a build tree without template works as before";
}

#ifndef _WIN32
TEST_F(MainFolderTest, UserFolderFollowsXdgDataHome)
{
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(UserMainFolder(), fs::path("/srv/data/Vapora"));
    setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored, as the base directory rules say
    EXPECT_EQ(UserMainFolder(), fs::path(std::getenv("HOME")) / ".local/share/Vapora");
    if (old != nullptr)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
#endif

// The upgrade a workshop goes through: version 1 installed, the user works, version 2 arrives.
TEST_F(MainFolderTest, UpgradeReplacesOnlyUntouchedTemplateFilesAndKeepsEverythingTheUserDid)
{
    Write(Template(), {{kMainFolderMark, "dict v1"},
                       {"Calibrazione/ResetLpg.vap", "reset v1"},
                       {"Calibrazione/Cal#1400a.vap", "map v1"},
                       {"Programmazione/Vapora.txt", "names v1"},
                       {"Configurazioni/Esempio.vap", "example v1"},
                       {"Programmazione/Vecchio.s19", "old firmware"},
                       {"guide/it/index.md", "the guide, read where it is installed"}});
    TemplateRefresh first = RefreshFromTemplate(Template(), Home());
    ASSERT_TRUE(first.Ok()) << first.failures.front();
    EXPECT_EQ(first.copied, 6);
    Tree installed = Read(Template());
    installed.erase("guide/it/index.md");
    EXPECT_EQ(Read(Home()), installed);
    EXPECT_FALSE(fs::exists(Home() / "guide"));
    EXPECT_TRUE(fs::is_directory(Home() / "Calibrazione"));

    // The user's work: a changed map, a floppy update of the names, a deleted example,
    // a deleted dictionary (by mistake), files of their own.
    std::ofstream(Home() / "Calibrazione/Cal#1400a.vap", std::ios::binary) << "map tuned by the user";
    std::ofstream(Home() / "Programmazione/Vapora.txt", std::ios::binary) << "names from a floppy";
    fs::remove(Home() / "Configurazioni/Esempio.vap");
    fs::remove(Home() / kMainFolderMark);
    std::ofstream(Home() / "Configurazioni/Cliente.vap", std::ios::binary) << "a customer's car";
    fs::create_directories(Home() / "Storico");
    std::ofstream(Home() / "Storico/20261209-143205_lettura_X.vap", std::ios::binary) << "restore point";

    Write(Template(), {{kMainFolderMark, "dict v2"},
                       {"Calibrazione/ResetLpg.vap", "reset v2"},
                       {"Calibrazione/Cal#1400a.vap", "map v2"},
                       {"Programmazione/Vapora.txt", "names v2"},
                       {"Configurazioni/Esempio.vap", "example v2"},
                       {"Calibrazione/Cal#1600a.vap", "new map v2"}}); // Vecchio.s19 is gone from v2
    const TemplateRefresh second = RefreshFromTemplate(Template(), Home());
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(second.copied, 2);   // the dictionary, which the program needs, and the new map
    EXPECT_EQ(second.replaced, 1); // the untouched reset file
    EXPECT_EQ(second.kept, 2);     // the tuned map and the floppy's names

    const Tree expected = {{kMainFolderMark, "dict v2"},
                           {"Calibrazione/ResetLpg.vap", "reset v2"},
                           {"Calibrazione/Cal#1400a.vap", "map tuned by the user"},
                           {"Calibrazione/Cal#1600a.vap", "new map v2"},
                           {"Programmazione/Vapora.txt", "names from a floppy"},
                           {"Programmazione/Vecchio.s19", "old firmware"},
                           {"Configurazioni/Cliente.vap", "a customer's car"},
                           {"Storico/20261209-143205_lettura_X.vap", "restore point"}};
    EXPECT_EQ(Read(Home()), expected);

    // The manifest says what each installed copy was, in sha256sum's format.
    const auto manifest = ReadTemplateManifest(Home());
    EXPECT_EQ(manifest.at("Calibrazione/ResetLpg.vap"), Sha256Hex("reset v2"));
    EXPECT_EQ(manifest.at("Calibrazione/Cal#1400a.vap"), Sha256Hex("map v1")) << "what was installed, not the user's";
    EXPECT_EQ(manifest.count("Configurazioni/Cliente.vap"), 0u);
    EXPECT_NE(ReadAll(Home() / kTemplateManifest).find(Sha256Hex("new map v2") + "  Calibrazione/Cal#1600a.vap\n"),
              std::string::npos);

    // Every later start finds nothing to do.
    const TemplateRefresh third = RefreshFromTemplate(Template(), Home());
    EXPECT_EQ(third.copied + third.replaced, 0);
    EXPECT_EQ(Read(Home()), expected);
}

// Many versions with random edits by the user in between: a file the user changed or
// made is never overwritten, and an untouched one is always the newest template's.
TEST_F(MainFolderTest, SeededVersionsNeverOverwriteWhatTheUserChanged)
{
    std::mt19937 random(29);
    const std::vector<std::string> names = {kMainFolderMark, "Calibrazione/A.vap", "Calibrazione/B.vap",
                                            "Programmazione/Vapora.txt", "Configurazioni/C.vap"};
    std::map<std::string, std::string> userOwned; // rel -> what the user wrote
    for (int version = 1; version <= 12; ++version) {
        Tree templ;
        for (const std::string& n : names)
            if (n == kMainFolderMark || random() % 4 != 0)
                templ[n] = n + " v" + std::to_string(version) + (random() % 2 ? " same" : "");
        Write(Template(), templ);
        const TemplateRefresh refresh = RefreshFromTemplate(Template(), Home());
        ASSERT_TRUE(refresh.Ok());
        const Tree home = Read(Home());
        for (const auto& [rel, content] : templ) {
            const auto mine = userOwned.find(rel);
            if (mine != userOwned.end()) {
                ASSERT_EQ(home.count(rel), 1u) << rel << " at version " << version;
                EXPECT_EQ(home.at(rel), mine->second) << rel << " at version " << version;
            } else {
                ASSERT_EQ(home.count(rel), 1u) << rel << " at version " << version;
                EXPECT_EQ(home.at(rel), content) << rel << " untouched at version " << version;
            }
        }
        // The user edits one file now and then.
        if (random() % 2 == 0) {
            const std::string& rel = names[random() % names.size()];
            if (fs::exists(Home() / rel)) {
                userOwned[rel] = "edited at " + std::to_string(version);
                std::ofstream(Home() / rel, std::ios::binary) << userOwned[rel];
            }
        }
    }
}

TEST_F(MainFolderTest, AFolderThatCannotBeMadeIsReported)
{
    Write(Template(), {{kMainFolderMark, "dict"}});
    std::ofstream(root / "afile") << "x";
    const TemplateRefresh refresh = RefreshFromTemplate(Template(), root / "afile" / "Vapora");
    ASSERT_FALSE(refresh.Ok());
    EXPECT_NE(refresh.failures.front().find("afile"), std::string::npos);
}

} // namespace
} // namespace vapora::test
