#pragma once
// Restore points from the command line: where they are kept, taking one before a unit's
// configuration is overwritten, and "vapora-tool history".

#include "model/RestorePoints.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vapora::tool {

// The main folder whose "Storico" holds the points: --home DIR when given (it must be a
// folder), else the current folder when it is a main folder, else the user's main folder.
// Throws std::runtime_error with the message when there is none.
std::filesystem::path RestoreHome(const std::optional<std::string>& home);

// The point's file as the tool names it.
std::string PointFileText(const std::filesystem::path& file);

// args start with "history".
int History(const std::vector<std::string>& args, std::ostream& out);

// The usage line of "history".
const char* HistoryUsage();

} // namespace vapora::tool
