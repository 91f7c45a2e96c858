#include "IncludeCheck.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

namespace vapora::layers {

namespace {

std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string Trimmed(std::string folder)
{
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string At(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

// A cycle among the "may also include" names, as "a -> b -> a", or empty.
std::string FindCycle(const Rules& rules)
{
    std::map<std::string, const Group*> byFolder;
    for (const Group& g : rules.groups)
        byFolder[g.folder] = &g;
    std::map<std::string, int> state; // 1 on the path, 2 done
    std::vector<std::string> path;
    std::string cycle;
    std::function<bool(const std::string&)> visit = [&](const std::string& folder) {
        state[folder] = 1;
        path.push_back(folder);
        auto it = byFolder.find(folder);
        if (it != byFolder.end()) {
            for (const std::string& next : it->second->uses) {
                if (next == folder)
                    continue; // reported as naming itself
                if (state[next] == 1) {
                    auto from = std::find(path.begin(), path.end(), next);
                    for (; from != path.end(); ++from)
                        cycle += *from + " -> ";
                    cycle += next;
                    return true;
                }
                if (state[next] == 0 && visit(next))
                    return true;
            }
        }
        path.pop_back();
        state[folder] = 2;
        return false;
    };
    for (const Group& g : rules.groups)
        if (state[g.folder] == 0 && visit(g.folder))
            break;
    return cycle;
}

} // namespace

ParsedRules ParseRules(std::string_view text)
{
    ParsedRules out;
    std::vector<std::string> layerOrder;
    std::istringstream in{std::string(text)};
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        const auto words = Words(line);
        if (words.empty())
            continue;
        if (words[0] == "root") {
            if (words.size() != 2)
                out.errors.push_back(At(lineNo, "a root line names one folder"));
            else
                out.rules.roots.push_back(Trimmed(words[1]));
            continue;
        }
        if (words.size() < 2) {
            out.errors.push_back(At(lineNo, "a layer line names a layer and a folder"));
            continue;
        }
        Group g;
        g.layer = words[0];
        g.folder = Trimmed(words[1]);
        g.line = lineNo;
        for (size_t i = 2; i < words.size(); ++i)
            g.uses.push_back(Trimmed(words[i]));
        if (layerOrder.empty() || layerOrder.back() != g.layer) {
            if (std::find(layerOrder.begin(), layerOrder.end(), g.layer) != layerOrder.end())
                out.errors.push_back(At(lineNo, "layer \"" + g.layer + "\" comes back after another layer"));
            else
                layerOrder.push_back(g.layer);
        }
        g.level = static_cast<int>(std::find(layerOrder.begin(), layerOrder.end(), g.layer) - layerOrder.begin());
        for (const Group& other : out.rules.groups)
            if (other.folder == g.folder)
                out.errors.push_back(At(lineNo, "\"" + g.folder + "\" is already declared on line " +
                                                    std::to_string(other.line)));
        out.rules.groups.push_back(std::move(g));
    }
    for (const Group& g : out.rules.groups) {
        for (const std::string& used : g.uses) {
            auto it = std::find_if(out.rules.groups.begin(), out.rules.groups.end(),
                                   [&](const Group& o) { return o.folder == used; });
            if (it == out.rules.groups.end())
                out.errors.push_back(At(g.line, "\"" + used + "\" is not a declared folder"));
            else if (it->level != g.level)
                out.errors.push_back(At(g.line, "\"" + used + "\" is not on layer \"" + g.layer +
                                                    "\": a lower layer needs no name, a higher one is not allowed"));
            else if (used == g.folder)
                out.errors.push_back(At(g.line, "\"" + used + "\" names itself"));
        }
    }
    if (const std::string cycle = FindCycle(out.rules); !cycle.empty())
        out.errors.push_back("the folders include each other: " + cycle);
    return out;
}

const Group* GroupOf(const Rules& rules, const std::string& path)
{
    const Group* best = nullptr;
    for (const Group& g : rules.groups) {
        if (path.size() > g.folder.size() && path.compare(0, g.folder.size(), g.folder) == 0 &&
            path[g.folder.size()] == '/' && (!best || g.folder.size() > best->folder.size()))
            best = &g;
    }
    return best;
}

namespace {

std::string Normal(const std::filesystem::path& p)
{
    return p.lexically_normal().generic_string();
}

std::string Resolve(const Rules& rules, const std::string& from, const std::string& include,
                    const std::set<std::string>& existing)
{
    std::vector<std::filesystem::path> candidates;
    candidates.push_back(std::filesystem::path(from).parent_path() / include);
    candidates.push_back(std::filesystem::path(include));
    for (const std::string& root : rules.roots)
        candidates.push_back(std::filesystem::path(root) / include);
    for (const auto& c : candidates) {
        const std::string n = Normal(c);
        if (n.rfind("../", 0) != 0 && existing.count(n))
            return n;
    }
    return {};
}

} // namespace

std::vector<Violation> CheckIncludes(const Rules& rules, const std::vector<SourceFile>& sources,
                                     const std::set<std::string>& existing)
{
    static const std::regex includeLine(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<Violation> out;
    for (const SourceFile& source : sources) {
        const Group* own = GroupOf(rules, source.path);
        if (!own) {
            out.push_back({source.path, 0, {}, "the file is in no folder of the layers file"});
            continue;
        }
        std::istringstream in(source.text);
        int lineNo = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            std::smatch m;
            if (!std::regex_search(line, m, includeLine))
                continue;
            const std::string include = m[1];
            const std::string target = Resolve(rules, source.path, include, existing);
            if (target.empty()) {
                out.push_back({source.path, lineNo, include,
                               "not found beside the file, from the top or from a declared root"});
                continue;
            }
            const Group* to = GroupOf(rules, target);
            if (!to) {
                out.push_back({source.path, lineNo, include, target + " is in no folder of the layers file"});
                continue;
            }
            if (to == own || to->level < own->level)
                continue;
            if (to->level > own->level) {
                out.push_back({source.path, lineNo, include,
                               "upward: " + own->folder + " (" + own->layer + ") includes " + to->folder +
                                   " (" + to->layer + ")"});
                continue;
            }
            if (std::find(own->uses.begin(), own->uses.end(), to->folder) == own->uses.end())
                out.push_back({source.path, lineNo, include,
                               own->folder + " does not declare " + to->folder + " on its line"});
        }
    }
    return out;
}

Tree ReadTree(const std::filesystem::path& top)
{
    namespace fs = std::filesystem;
    Tree tree;
    const auto isSource = [](const fs::path& p) {
        const std::string ext = p.extension().string();
        return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc" || ext == ".c";
    };
    for (auto it = fs::recursive_directory_iterator(top); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path& p = it->path();
        if (it->is_directory()) {
            if (p.filename().string().starts_with(".") || fs::exists(p / "CMakeCache.txt"))
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file())
            continue;
        const std::string relative = fs::relative(p, top).generic_string();
        tree.files.insert(relative);
        if (isSource(p)) {
            std::ifstream in(p, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            tree.sources.push_back({relative, text.str()});
        }
    }
    std::sort(tree.sources.begin(), tree.sources.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    return tree;
}

std::string Describe(const Violation& v)
{
    std::string s = v.file;
    if (v.line > 0)
        s += ":" + std::to_string(v.line) + ": \"" + v.include + "\"";
    return s + ": " + v.reason;
}

} // namespace vapora::layers
