#include "model/ScratchFiles.h"

#include <cstdio>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace vapora {

namespace fs = std::filesystem;

namespace {

std::string& Owner()
{
    static std::string owner = "vapora";
    return owner;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

} // namespace

std::uint64_t CurrentProcessId()
{
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<std::uint64_t>(getpid());
#endif
}

bool ProcessAlive(std::uint64_t pid)
{
    if (pid == CurrentProcessId())
        return true;
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED; // exists, but belongs to someone else
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    if (pid == 0 || pid > static_cast<std::uint64_t>(INT32_MAX))
        return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

void SetScratchOwner(std::string_view owner) { Owner() = std::string(owner); }

std::string ScratchOwner() { return Owner(); }

std::string ScratchName(std::string_view prefix)
{
    static std::mt19937 generator{std::random_device{}()};
    char tail[48];
    std::snprintf(tail, sizeof tail, "-%llu-%08x.tmp", static_cast<unsigned long long>(CurrentProcessId()),
                  static_cast<unsigned>(generator()));
    return std::string(prefix) + Owner() + tail;
}

bool OwnScratchProcess(std::string_view name, std::uint64_t& pid)
{
    for (std::string_view prefix : {kDecodeScratchPrefix, kSaveScratchPrefix}) {
        const std::string start = std::string(prefix) + Owner() + "-";
        if (name.substr(0, start.size()) != start)
            continue;
        std::string_view rest = name.substr(start.size());
        std::size_t digits = 0;
        std::uint64_t value = 0;
        while (digits < rest.size() && digits < 19 && IsDigit(rest[digits]))
            value = value * 10 + static_cast<std::uint64_t>(rest[digits++] - '0');
        // digits, a dash, 8 lower-case hex digits and ".tmp", nothing else
        if (digits == 0 || rest.size() != digits + 1 + 8 + 4 || rest[digits] != '-' ||
            rest.substr(digits + 9) != ".tmp")
            return false;
        for (char c : rest.substr(digits + 1, 8))
            if (!IsHex(c))
                return false;
        pid = value;
        return true;
    }
    return false;
}

int RemoveStaleScratchFiles(const fs::path& folder)
{
    int removed = 0;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::uint64_t pid = 0;
        std::error_code typeEc;
        const std::u8string utf8 = it->path().filename().u8string();
        const std::string name(utf8.begin(), utf8.end());
        // Scratch folders (a save under the target's own name) are made only in the temporary
        // folder, under the decode prefix; one is removed whole, a link of that name is
        // removed, never followed.
        const bool isFolder = fs::is_directory(it->symlink_status(typeEc)) &&
                              name.compare(0, kDecodeScratchPrefix.size(), kDecodeScratchPrefix) == 0;
        if ((!isFolder && !it->is_regular_file(typeEc)) || !OwnScratchProcess(name, pid) || ProcessAlive(pid))
            continue;
        std::error_code removeEc;
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, removeEc);
        if (isFolder) {
            // Read-only files in it would stop the removal on Windows.
            for (const fs::directory_entry& inner : fs::directory_iterator(it->path(), removeEc))
                fs::permissions(inner.path(), fs::perms::owner_write,
                                fs::perm_options::add | fs::perm_options::nofollow, removeEc);
            removeEc.clear();
            if (fs::remove_all(it->path(), removeEc) > 0 && !removeEc)
                ++removed;
        } else if (fs::remove(it->path(), removeEc)) {
            ++removed;
        }
    }
    return removed;
}

} // namespace vapora
