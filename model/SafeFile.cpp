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

// The cause behind errno after an operation on `path`.
FileError LastSystemError(const fs::path& path)
{
    return FileErrorFrom(std::error_code(errno, std::generic_category()), path);
}

bool IsReadOnly(const fs::file_status& status)
{
    return fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool WriteAndClose(std::FILE* out, const fs::path& file, std::string_view bytes, FileError* why)
{
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    FileError error = ok ? FileError::None : LastSystemError(file);
    if (std::fclose(out) != 0 && ok) {
        ok = false;
        error = LastSystemError(file);
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
        Set(why, LastSystemError(file));
        return false;
    }
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(in);
    if (!ok)
        Set(why, LastSystemError(file) == FileError::None ? FileError::Other : LastSystemError(file));
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
        const FileError error = LastSystemError(candidate);
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
        Set(why, LastSystemError(file));
        return false;
    }
    return WriteAndClose(out, file, bytes, why);
}

ReplacingFile::~ReplacingFile() { Abandon(); }

bool ReplacingFile::Fail(FileError error)
{
    error_ = error == FileError::None ? FileError::Other : error;
    Abandon();
    return false;
}

bool ReplacingFile::Open(const fs::path& target, FileError* why)
{
    Abandon();
    error_ = FileError::None;
    const bool ok = [&] {
        if (PathTooLong(target))
            return Fail(FileError::PathTooLong);
        std::error_code ec;
        real_ = target;
        if (fs::is_symlink(fs::symlink_status(target, ec))) {
            fs::path resolved = fs::weakly_canonical(target, ec);
            if (!ec)
                real_ = resolved;
        }
        old_ = fs::status(real_, ec);
        if (fs::is_directory(old_))
            return Fail(FileError::IsFolder);
        // The rename would replace a read-only file that the system refuses to write.
        if (IsReadOnly(old_))
            return Fail(FileError::ReadOnly);
        // The scratch name does not grow with the target's: any name the folder takes can be saved.
        FileError created = FileError::None;
        if (!CreateScratchFile(real_.parent_path().empty() ? fs::path(".") : real_.parent_path(), kSaveScratchPrefix,
                               scratch_, &created))
            return Fail(created);
        out_ = OpenFile(scratch_, "wb");
        return out_ != nullptr || Fail(LastSystemError(scratch_));
    }();
    Set(why, error_);
    return ok;
}

bool ReplacingFile::Append(std::string_view bytes)
{
    if (out_ == nullptr)
        return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size() || std::fflush(out_) != 0)
        return Fail(LastSystemError(scratch_));
    return true;
}

bool ReplacingFile::Commit()
{
    if (out_ == nullptr)
        return false;
    errno = 0;
    const bool flushed = std::fflush(out_) == 0;
    FileError error = flushed ? FileError::None : LastSystemError(scratch_);
    errno = 0;
    if (std::fclose(out_) != 0 && flushed)
        error = LastSystemError(scratch_);
    out_ = nullptr;
    if (!flushed || error != FileError::None)
        return Fail(error);
    std::error_code ec;
    // Keep the old file's permissions; a fresh file would get the default ones.
    if (fs::is_regular_file(old_))
        fs::permissions(scratch_, old_.permissions(), ec);
    fs::rename(scratch_, real_, ec);
    if (ec)
        return Fail(FileErrorFrom(ec, real_));
    scratch_.clear();
    return true;
}

void ReplacingFile::Abandon()
{
    if (out_ != nullptr) {
        std::fclose(out_);
        out_ = nullptr;
    }
    if (!scratch_.empty()) {
        std::error_code ec;
        fs::remove(scratch_, ec);
        scratch_.clear();
    }
}

bool WriteFileReplacing(const fs::path& target, std::string_view bytes, FileError* why)
{
    ReplacingFile file;
    const bool ok = file.Open(target) && file.Append(bytes) && file.Commit();
    if (!ok)
        Set(why, file.Error());
    return ok;
}

} // namespace vapora
