#include "model/SafeFile.h"

#include "model/PlatformFiles.h"

#include <cstdio>
#include <random>

namespace vapora {

namespace fs = std::filesystem;

namespace {

std::FILE* OpenFile(const fs::path& file, const char* mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(file.c_str(), wideMode.c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

// Unique enough among concurrent writers of the same folder; creation is exclusive anyway.
fs::path TemporaryNameBeside(const fs::path& target)
{
    static std::mt19937 generator{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(generator()));
    fs::path name = "~";
    name += target.filename();
    name += suffix;
    return target.parent_path() / name;
}

}  // namespace

bool ReadFileBytes(const fs::path& file, std::string& bytes)
{
    bytes.clear();
    std::error_code ec;
    if (fs::is_directory(file, ec))
        return false;
    std::FILE* in = OpenFile(file, "rb");
    if (!in)
        return false;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    if (!ok)
        bytes.clear();
    return ok;
}

bool WriteFileReplacing(const fs::path& target, std::string_view bytes)
{
    std::error_code ec;
    fs::path real = target;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            real = resolved;
    }

    fs::path temporary;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 16 && !out; ++attempt) {
        temporary = TemporaryNameBeside(real);
        out = CreateNewFile(temporary);  // exclusive: never reuse someone else's file
        if (!out && !fs::exists(fs::symlink_status(temporary, ec)))
            break;  // the folder is missing or not writable: retrying will not help
    }
    if (!out)
        return false;

    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = (std::fclose(out) == 0) && ok;
    if (ok) {
        // Keep the old file's permissions; a fresh file would get the default ones.
        const fs::file_status old = fs::status(real, ec);
        if (!ec && fs::is_regular_file(old))
            fs::permissions(temporary, old.permissions(), ec);
        fs::rename(temporary, real, ec);
        ok = !ec;
    }
    if (!ok)
        fs::remove(temporary, ec);
    return ok;
}

}  // namespace vapora
