#include "model/SafeFile.h"

#include "model/PlatformFiles.h"
#include "model/ScratchFiles.h"

#include <cerrno>
#include <cstdio>

namespace vapora {

namespace fs = std::filesystem;

namespace {

std::FILE* OpenFile(const fs::path& file, const char* mode)
{
    errno = 0;
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(file.c_str(), wideMode.c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

void Set(FileError* why, FileError error)
{
    if (why != nullptr)
        *why = error;
}

FileError LastSystemError() { return FileErrorFrom(std::error_code(errno, std::generic_category())); }

bool IsReadOnly(const fs::file_status& status)
{
    return fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool WriteAndClose(std::FILE* out, std::string_view bytes, FileError* why)
{
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    FileError error = ok ? FileError::None : LastSystemError();
    if (std::fclose(out) != 0 && ok) {
        ok = false;
        error = LastSystemError();
    }
    if (!ok)
        Set(why, error == FileError::None ? FileError::Other : error);
    return ok;
}

} // namespace

bool PathTooLong(const fs::path& path) { return path.native().size() > kPathMax; }

bool ReadFileBytes(const fs::path& file, std::string& bytes, FileError* why)
{
    bytes.clear();
    if (PathTooLong(file)) {
        Set(why, FileError::PathTooLong);
        return false;
    }
    std::error_code ec;
    if (fs::is_directory(file, ec)) {
        Set(why, FileError::IsFolder);
        return false;
    }
    std::FILE* in = OpenFile(file, "rb");
    if (!in) {
        Set(why, LastSystemError());
        return false;
    }
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(in);
    if (!ok)
        Set(why, LastSystemError() == FileError::None ? FileError::Other : LastSystemError());
    std::fclose(in);
    if (!ok)
        bytes.clear();
    return ok;
}

bool CreateScratchFile(const fs::path& folder, std::string_view prefix, fs::path& created, FileError* why)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate = folder / ScratchName(prefix);
        // Exclusive creation: an existing file of that name is never taken over.
        errno = 0;
        if (std::FILE* file = CreateNewFile(candidate)) {
            std::fclose(file);
            created = candidate;
            return true;
        }
        const FileError error = LastSystemError();
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) {
            // The folder is missing or refuses new files: retrying will not help.
            Set(why, error == FileError::None ? FileError::Other : error);
            return false;
        }
    }
    Set(why, FileError::Other);
    return false;
}

bool OverwriteFile(const fs::path& file, std::string_view bytes, FileError* why)
{
    std::FILE* out = OpenFile(file, "wb");
    if (!out) {
        Set(why, LastSystemError());
        return false;
    }
    return WriteAndClose(out, bytes, why);
}

bool WriteFileReplacing(const fs::path& target, std::string_view bytes, FileError* why)
{
    if (PathTooLong(target)) {
        Set(why, FileError::PathTooLong);
        return false;
    }
    std::error_code ec;
    fs::path real = target;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            real = resolved;
    }
    const fs::file_status old = fs::status(real, ec);
    if (fs::is_directory(old)) {
        Set(why, FileError::IsFolder);
        return false;
    }
    // The rename would replace a read-only file that the system refuses to write.
    if (IsReadOnly(old)) {
        Set(why, FileError::ReadOnly);
        return false;
    }

    // The scratch name does not grow with the target's: any name the folder takes can be saved.
    fs::path scratch;
    if (!CreateScratchFile(real.parent_path().empty() ? fs::path(".") : real.parent_path(), kSaveScratchPrefix,
                           scratch, why))
        return false;
    bool ok = OverwriteFile(scratch, bytes, why);
    if (ok) {
        // Keep the old file's permissions; a fresh file would get the default ones.
        if (fs::is_regular_file(old))
            fs::permissions(scratch, old.permissions(), ec);
        fs::rename(scratch, real, ec);
        ok = !ec;
        if (!ok)
            Set(why, FileErrorFrom(ec) == FileError::None ? FileError::Other : FileErrorFrom(ec));
    }
    if (!ok)
        fs::remove(scratch, ec);
    return ok;
}

} // namespace vapora
