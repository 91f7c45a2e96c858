#pragma once
// The include check: every quoted include of the tree must point at its own
// group, a lower layer, or a group its line in the layers file names.

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vapora::layers {

struct Group {
    std::string folder;             // "calib/forms", relative to the top, '/' separated
    std::string layer;              // the layer's name
    int level = 0;                  // the layer's place, 0 at the bottom
    std::vector<std::string> uses;  // groups of the same layer it may include
    int line = 0;
};

struct Rules {
    std::vector<Group> groups;
    std::vector<std::string> roots; // extra include folders, searched after the top
};

struct ParsedRules {
    Rules rules;
    std::vector<std::string> errors; // "line N: ..." for every line that does not hold
};

ParsedRules ParseRules(std::string_view text);

struct SourceFile {
    std::string path; // relative to the top, '/' separated
    std::string text;
};

struct Violation {
    std::string file;
    int line = 0;         // 0: the file itself is the fault
    std::string include;  // as written
    std::string reason;
};

// The group a path belongs to (the longest folder that holds it), or nullptr.
const Group* GroupOf(const Rules& rules, const std::string& path);

// `existing` holds every file of the tree, so that includes resolve as the
// compiler resolves them: beside the file, from the top, then from each root.
std::vector<Violation> CheckIncludes(const Rules& rules, const std::vector<SourceFile>& sources,
                                     const std::set<std::string>& existing);

struct Tree {
    std::vector<SourceFile> sources;
    std::set<std::string> files;
};

// Reads the C++ sources under the top, leaving out hidden folders and build
// folders (those holding a CMakeCache.txt).
Tree ReadTree(const std::filesystem::path& top);

std::string Describe(const Violation& v);

} // namespace vapora::layers
