#pragma once
// "vapora-tool unit ...": the unit through the program's own link library,
// record and transfers.

#include "model/Clock.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace vapora::tool {

// Exit statuses of the unit commands.
enum UnitExit { kDone = 0, kBadInput = 1, kNoUnit = 2, kRefused = 3, kProgrammingFailed = 4 };

struct UnitEnvironment {
    Clock* clock = nullptr;                // null: the real clock
    std::filesystem::path library;         // empty: the library beside the program
    bool terminal = false;                 // stderr is a terminal: progress as a bar
};

// args start with "unit".
int RunUnit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const UnitEnvironment& env);

// The usage lines of the unit commands.
const char* UnitUsage();

} // namespace vapora::tool
