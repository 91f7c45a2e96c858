#pragma once

#include "model/FileError.h"

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

// Creates a new, empty scratch file of this process (see ScratchFiles.h) in `folder`.
bool CreateScratchFile(const std::filesystem::path& folder, std::string_view prefix, std::filesystem::path& created,
                       FileError* why = nullptr);

// Writes `bytes` into an existing file of ours, truncating it.
bool OverwriteFile(const std::filesystem::path& file, std::string_view bytes, FileError* why = nullptr);

// True when the path is longer than kPathMax.
bool PathTooLong(const std::filesystem::path& path);

} // namespace vapora
