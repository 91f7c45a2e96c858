#pragma once
// File system points where Windows and POSIX differ, kept in one place.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vapora {

// File names reach the model as narrow text in the system code page (what the
// program's dialogs, command lines and configuration files hold): on Windows
// the ANSI code page, elsewhere the bytes as they are. These convert between
// that text and a path without loss for every name the code page can spell.
std::filesystem::path LocalPath(std::string_view text);
std::string LocalText(const std::filesystem::path& path);

// Creates `file` for binary writing only when no file of that name exists, so a
// file someone else just made is never taken over. Null when it exists or
// cannot be created.
std::FILE* CreateNewFile(const std::filesystem::path& file);

// Gives the complete file `from` the name `to` only when no file of that name exists; an
// existing `to` is never replaced (AlreadyExists then). Both must be in the same folder.
enum class MoveResult { Moved, AlreadyExists, Failed };
MoveResult MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                                std::error_code& ec);

// The entry of `folder` named `name` without regard to ASCII letter case (the
// installed files' names do not keep one spelling); folder / name when there
// is none, so the caller reports the name it looked for.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, const std::filesystem::path& name);

}  // namespace vapora
