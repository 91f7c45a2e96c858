#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vapora {

// Reads a whole file as raw bytes. False when it cannot be opened or read
// (a folder counts as unreadable); `bytes` is then left empty.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes);

// Replaces `target` with `bytes`: writes a temporary file in the target's folder and renames
// it over the target only when complete. On failure the previous target (if any) is left as
// it was and no temporary file stays behind. A symbolic link as target is followed, so the
// linked file is replaced rather than the link.
bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes);

}  // namespace vapora
