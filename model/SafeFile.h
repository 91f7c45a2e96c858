#pragma once

#include "model/FileError.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vapora {

// Reads a whole file as raw bytes. False when it cannot be opened or read (a folder counts
// as unreadable); `bytes` is then left empty and `why`, when given, names the cause.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes, FileError* why = nullptr);

// Replaces `target` with `bytes`: writes a scratch file in the target's folder and renames
// it over the target only when complete. On failure the previous target (if any) is left as
// it was and no scratch file stays behind. A target marked read-only is refused, as the
// system's own write would refuse it. A symbolic link as target is followed, so the linked
// file is replaced rather than the link.
bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes, FileError* why = nullptr);

// A file written piece by piece that replaces `target` only when complete, under the rules
// of WriteFileReplacing: the target is checked before anything is written (a folder or a
// read-only file is refused, a symbolic link is followed), every write is checked, and a
// failure or a file never committed leaves the old target as it was.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile(); // abandons a file not committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool Open(const std::filesystem::path& target, FileError* why = nullptr);
    // Written through at once, so that a full disk shows at the write that met it. False
    // once any write failed.
    bool Append(std::string_view bytes);
    // Flushes, closes and renames the file over the target.
    bool Commit();
    // Removes what was written; the target stays as it was.
    void Abandon();
    // Why the last Open, Append or Commit failed.
    FileError Error() const { return error_; }

private:
    bool Fail(FileError error);

    std::filesystem::path real_;    // the target, its link followed
    std::filesystem::path scratch_; // written here, beside it
    std::filesystem::file_status old_;
    std::FILE* out_ = nullptr;
    FileError error_ = FileError::None;
};

// Creates a new, empty scratch file of this process (see ScratchFiles.h) in `folder`.
bool CreateScratchFile(const std::filesystem::path& folder, std::string_view prefix, std::filesystem::path& created,
                       FileError* why = nullptr);

// Writes `bytes` into an existing file of ours, truncating it.
bool OverwriteFile(const std::filesystem::path& file, std::string_view bytes, FileError* why = nullptr);

// True when the path is longer than kPathMax.
bool PathTooLong(const std::filesystem::path& path);

} // namespace vapora
