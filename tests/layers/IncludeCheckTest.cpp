#include "IncludeCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vapora::layers {
namespace {

const char* kRules = R"(
# bottom to top
base      model
base      link          # two groups of one layer
base      linklib
middle    calib
middle    services
areas     calib/forms
areas     files
areas     editor        calib/forms
top       app
root      linklib
)";

Rules Parsed(const char* text)
{
    auto parsed = ParseRules(text);
    EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    return parsed.rules;
}

std::vector<std::string> Described(const std::vector<Violation>& violations)
{
    std::vector<std::string> out;
    for (const auto& v : violations)
        out.push_back(Describe(v));
    return out;
}

TEST(IncludeCheck, AllowsItsOwnGroupLowerLayersAndDeclaredNeighboursOnly)
{
    const Rules rules = Parsed(kRules);
    const std::set<std::string> existing = {
        "model/ConfCar.h", "link/SerialLink.h", "calib/Live.h", "calib/forms/TFormTemperatura.h",
        "services/AppContext.h", "files/TFormFile.h", "editor/TFormConfig.h", "app/TFormMain.h",
        "linklib/sim/SimUnit.h"};
    const std::vector<SourceFile> sources = {
        {"editor/TFormConfig.cpp",
         "#include \"editor/TFormConfig.h\"\n"          // own group
         "#include \"services/AppContext.h\"\n"         // lower layer
         "#include \"calib/forms/TFormTemperatura.h\"\n" // declared neighbour
         "#include \"files/TFormFile.h\"\n"             // undeclared neighbour
         "#include \"app/TFormMain.h\"\n"               // upward
         "#include <QWidget>\n"},
        {"calib/forms/TFormTemperatura.cpp",
         "#include \"TFormTemperatura.h\"\n"    // beside the file
         "#include \"editor/TFormConfig.h\"\n"  // the declaration runs one way only
         "  #  include \"calib/Live.h\"\n"},
        {"model/ConfCar.cpp",
         "#include \"link/SerialLink.h\"\n"    // same layer, other group: not declared
         "// #include \"app/TFormMain.h\"\n"}, // a comment is no include
        {"calib/Live.cpp", "#include \"calib/forms/TFormTemperatura.h\"\n"}, // calib/forms is not calib
    };
    EXPECT_EQ(Described(CheckIncludes(rules, sources, existing)),
              (std::vector<std::string>{
                  "editor/TFormConfig.cpp:4: \"files/TFormFile.h\": editor does not declare files on its line",
                  "editor/TFormConfig.cpp:5: \"app/TFormMain.h\": upward: editor (areas) includes app (top)",
                  "calib/forms/TFormTemperatura.cpp:2: \"editor/TFormConfig.h\": calib/forms does not declare "
                  "editor on its line",
                  "model/ConfCar.cpp:1: \"link/SerialLink.h\": model does not declare link on its line",
                  "calib/Live.cpp:1: \"calib/forms/TFormTemperatura.h\": upward: calib (middle) includes "
                  "calib/forms (areas)",
              }));
}

TEST(IncludeCheck, ResolvesIncludesAsTheCompilerDoesAndReportsWhatItCannotPlace)
{
    const Rules rules = Parsed(kRules);
    const std::set<std::string> existing = {"app/TFormMain.h", "linklib/sim/SimUnit.h", "model/ConfCar.h",
                                            "tools/Tool.h", "services/ui/Scaling.h"};
    const std::vector<SourceFile> sources = {
        {"app/TFormMain.cpp",
         "#include \"sim/SimUnit.h\"\n"     // through the declared root
         "#include \"../model/ConfCar.h\"\n" // relative, normalised
         "#include \"ui/Scaling.h\"\n"      // a folder the layers file does not declare as a root
         "#include \"../../outside.h\"\n"},
        {"services/ui/Scaling.cpp", "#include \"../../tools/Tool.h\"\n"},
        {"stray/Loose.cpp", "#include \"model/ConfCar.h\"\n"},
    };
    EXPECT_EQ(Described(CheckIncludes(rules, sources, existing)),
              (std::vector<std::string>{
                  "app/TFormMain.cpp:3: \"ui/Scaling.h\": not found beside the file, from the top or from a "
                  "declared root",
                  "app/TFormMain.cpp:4: \"../../outside.h\": not found beside the file, from the top or from a "
                  "declared root",
                  "services/ui/Scaling.cpp:1: \"../../tools/Tool.h\": tools/Tool.h is in no folder of the layers "
                  "file",
                  "stray/Loose.cpp: the file is in no folder of the layers file",
              }));
}

TEST(LayersFile, RefusesRulesThatCannotHold)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"a x\nb y x\n", "line 2: \"x\" is not on layer \"b\""},
        {"a x\na y z\n", "line 2: \"z\" is not a declared folder"},
        {"a x y\na y z\na z x\n", "the folders include each other: x -> y -> z -> x"},
        {"a x x\n", "line 1: \"x\" names itself"},
        {"a x\nb y\na z\n", "line 3: layer \"a\" comes back after another layer"},
        {"a x\nb x/\n", "line 2: \"x\" is already declared on line 1"},
        {"lonely\n", "line 1: a layer line names a layer and a folder"},
        {"root\n", "line 1: a root line names one folder"},
    };
    for (const auto& [text, error] : cases) {
        const auto parsed = ParseRules(text);
        ASSERT_EQ(parsed.errors.size(), 1u) << text;
        EXPECT_EQ(parsed.errors.front().substr(0, std::string(error).size()), error) << text;
    }
    const auto good = ParseRules(kRules);
    EXPECT_TRUE(good.errors.empty());
    ASSERT_EQ(good.rules.groups.size(), 9u);
    EXPECT_EQ(good.rules.groups[1].level, 0);
    EXPECT_EQ(good.rules.groups[8].level, 3);
    EXPECT_EQ(good.rules.roots, std::vector<std::string>{"linklib"});
}

TEST(IncludeCheck, ReadsTheSourcesButNotBuildOrHiddenFolders)
{
    namespace fs = std::filesystem;
    const fs::path top = fs::temp_directory_path() / ("layercheck-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(top);
    const auto write = [&](const std::string& relative, const std::string& text) {
        fs::create_directories((top / relative).parent_path());
        std::ofstream(top / relative, std::ios::binary) << text;
    };
    write("model/ConfCar.cpp", "#include \"model/ConfCar.h\"\n");
    write("model/ConfCar.h", "");
    write("data/dictionary.txt", "");
    write("build-x/CMakeCache.txt", "");
    write("build-x/moc_X.cpp", "#include \"nowhere.h\"\n");
    write(".git/hook.c", "");
    const Tree tree = ReadTree(top);
    fs::remove_all(top);
    ASSERT_EQ(tree.sources.size(), 2u);
    EXPECT_EQ(tree.sources[0].path, "model/ConfCar.cpp");
    EXPECT_EQ(tree.sources[0].text, "#include \"model/ConfCar.h\"\n");
    EXPECT_EQ(tree.files, (std::set<std::string>{"data/dictionary.txt", "model/ConfCar.cpp", "model/ConfCar.h"}));
}

// The tree itself: every include keeps to the layers file at the top.
TEST(Layers, TheTreeIncludesNothingAboveItsLayerOrOutsideItsDeclaredAreas)
{
    namespace fs = std::filesystem;
    const fs::path top = VAPORA_SOURCE_DIR;
    std::ifstream in(top / "layers.txt", std::ios::binary);
    ASSERT_TRUE(in) << "layers.txt is missing";
    std::ostringstream text;
    text << in.rdbuf();
    const auto parsed = ParseRules(text.str());
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    for (const Group& g : parsed.rules.groups)
        EXPECT_TRUE(fs::is_directory(top / g.folder)) << g.folder << " is declared but missing";

    const Tree tree = ReadTree(top);
    EXPECT_GT(tree.sources.size(), 300u);
    std::string report;
    const auto violations = CheckIncludes(parsed.rules, tree.sources, tree.files);
    for (const auto& v : violations)
        report += Describe(v) + "\n";
    EXPECT_EQ(violations.size(), 0u) << report;
}

} // namespace
} // namespace vapora::layers
