#pragma once
// The serial port side of "vapora-tool unit": the ports present, and what is
// wrong with the chosen one before the link is opened.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace vapora::tool {

// The user's language for the port messages: Italian when the locale says so, else English.
bool ItalianLocale();

// "vapora-tool unit ports": the ports present (USB adapters first), the simulated
// unit, and the link in force with where it comes from. libraryDir: where the
// link library (and its SerNoxDL.conf) is.
int ListPorts(const std::filesystem::path& libraryDir, std::ostream& out);

// Empty when the link in force can be opened as far as can be told without
// opening it; else what is wrong and what to do, in the user's language.
std::optional<std::string> PortProblem(const std::filesystem::path& libraryDir, bool italian);

} // namespace vapora::tool
