#pragma once
// The command-line companion: codec, new, show and diff of configuration files, and
// the unit commands (UnitCommands.h).

#include "model/FileError.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vapora::tool {

// args without the program name. Returns the exit status: 0 done, 1 bad input, and for
// the unit commands 2 no unit or link lost, 3 unit refused values, 4 programming failed.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// One line naming what went wrong with `path` while doing `verb` ("read", "write", "load").
std::string Explain(const std::string& verb, const std::string& path, FileError cause);

} // namespace vapora::tool
