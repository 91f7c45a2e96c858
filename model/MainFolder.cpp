#include "model/MainFolder.h"

#include "model/PlatformFiles.h"
#include "model/SafeFile.h"
#include "model/Sha256.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace vapora {
namespace {

namespace fs = std::filesystem;

fs::path FromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return {};
    return LocalPath(value);
}

std::string Relative(const fs::path& file, const fs::path& root)
{
    return file.lexically_relative(root).generic_string();
}

// Checksum of a file; empty when it cannot be read.
std::string FileChecksum(const fs::path& file)
{
    std::string bytes;
    if (!ReadFileBytes(file, bytes))
        return {};
    return Sha256Hex(bytes);
}

std::string Reason(const fs::path& path, const std::string& what) { return LocalText(path) + ": " + what; }

} // namespace

bool IsMainFolder(const fs::path& folder)
{
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(FindIgnoringCase(folder, kMainFolderMark), ec);
}

fs::path UserMainFolder()
{
    if (fs::path data = FromEnvironment("XDG_DATA_HOME"); !data.empty() && data.is_absolute())
        return data / "Vapora";
#if defined(_WIN32)
    if (fs::path appData = FromEnvironment("APPDATA"); !appData.empty())
        return appData / "Vapora";
#endif
    if (fs::path home = FromEnvironment("HOME"); !home.empty())
        return home / ".local" / "share" / "Vapora";
    return {};
}

fs::path InstalledTemplate(const fs::path& programFolder)
{
    if (programFolder.empty())
        return {};
    const fs::path candidate = (programFolder / ".." / "share" / "vapora").lexically_normal();
    return IsMainFolder(candidate) ? candidate : fs::path();
}

MainFolderChoice ChooseMainFolder(const fs::path& current, const fs::path& templateFolder, const fs::path& userFolder)
{
    if (IsMainFolder(current) || templateFolder.empty() || userFolder.empty())
        return {current, {}};
    return {userFolder, templateFolder};
}

std::map<std::string, std::string> ReadTemplateManifest(const fs::path& home)
{
    std::map<std::string, std::string> records;
    std::string text;
    if (!ReadFileBytes(home / kTemplateManifest, text))
        return records;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // "<64 hex digits>  <path>"
        if (line.size() < 67 || line[64] != ' ' || line[65] != ' ')
            continue;
        const std::string sum = line.substr(0, 64);
        if (!std::all_of(sum.begin(), sum.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            continue;
        records[line.substr(66)] = sum;
    }
    return records;
}

TemplateRefresh RefreshFromTemplate(const fs::path& templateFolder, const fs::path& home)
{
    TemplateRefresh result;
    std::error_code ec;
    fs::create_directories(home, ec);
    if (ec || !fs::is_directory(home, ec)) {
        result.failures.push_back(Reason(home, "cannot create the folder"));
        return result;
    }
    std::map<std::string, std::string> manifest = ReadTemplateManifest(home);

    std::vector<fs::path> entries;
    for (auto it = fs::recursive_directory_iterator(templateFolder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        // The guide is the program's own, read where it is installed: no copy per user.
        if (it.depth() == 0 && it->path().filename() == kTemplateGuideFolder) {
            it.disable_recursion_pending();
            continue;
        }
        entries.push_back(it->path());
    }
    if (ec) {
        result.failures.push_back(Reason(templateFolder, "cannot read the template: " + ec.message()));
        return result;
    }
    std::sort(entries.begin(), entries.end());

    for (const fs::path& source : entries) {
        const std::string rel = Relative(source, templateFolder);
        const fs::path target = home / fs::path(rel);
        if (fs::is_directory(source, ec)) {
            fs::create_directories(target, ec);
            if (ec)
                result.failures.push_back(Reason(target, "cannot create the folder"));
            continue;
        }
        if (!fs::is_regular_file(source, ec))
            continue;
        std::string bytes;
        if (!ReadFileBytes(source, bytes)) {
            result.failures.push_back(Reason(source, "cannot read the template file"));
            continue;
        }
        const std::string sum = Sha256Hex(bytes);
        const auto recorded = manifest.find(rel);
        const bool exists = fs::exists(target, ec);
        bool write = false;
        int* counter = &result.copied;
        if (!exists) {
            // Deleted by the user: stays deleted, except what the program cannot start without.
            write = recorded == manifest.end() || rel == kMainFolderMark;
        } else {
            const std::string current = FileChecksum(target);
            if (current == sum) {
                manifest[rel] = sum; // already the new one
                continue;
            }
            write = recorded != manifest.end() && !current.empty() && current == recorded->second;
            counter = &result.replaced;
            if (!write)
                ++result.kept;
        }
        if (!write)
            continue;
        fs::create_directories(target.parent_path(), ec);
        FileError why = FileError::Other;
        if (!WriteFileReplacing(target, bytes, &why)) {
            result.failures.push_back(Reason(target, "cannot write the file"));
            continue;
        }
        ++*counter;
        manifest[rel] = sum;
    }

    std::string text;
    for (const auto& [rel, sum] : manifest)
        text += sum + "  " + rel + "\n";
    if (!WriteFileReplacing(home / kTemplateManifest, text))
        result.failures.push_back(Reason(home / kTemplateManifest, "cannot write the file"));
    return result;
}

} // namespace vapora
