#pragma once
// The command-line companion: codec, new, show and diff of configuration files.

#include <iosfwd>
#include <string>
#include <vector>

namespace vapora::tool {

// args without the program name. Returns the exit status: 0 done, 1 bad input.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vapora::tool
