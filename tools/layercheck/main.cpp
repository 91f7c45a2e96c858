// vapora-layercheck [TOP]: lists every include that breaks the layers file of
// the tree at TOP (default: the current folder). Exit 0 when none does.
#include "IncludeCheck.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const fs::path top = argc > 1 ? fs::path(argv[1]) : fs::current_path();
    std::ifstream in(top / "layers.txt", std::ios::binary);
    if (!in) {
        std::cerr << "vapora-layercheck: cannot read " << (top / "layers.txt").string() << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const auto parsed = vapora::layers::ParseRules(text.str());
    for (const auto& e : parsed.errors)
        std::cerr << "layers.txt: " << e << "\n";
    if (!parsed.errors.empty())
        return 2;
    const auto tree = vapora::layers::ReadTree(top);
    const auto violations = vapora::layers::CheckIncludes(parsed.rules, tree.sources, tree.files);
    for (const auto& v : violations)
        std::cout << vapora::layers::Describe(v) << "\n";
    std::cout << tree.sources.size() << " files, " << violations.size() << " includes against the layers\n";
    return violations.empty() ? 0 : 1;
}
