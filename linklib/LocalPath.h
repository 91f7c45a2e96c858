#pragma once
// File names cross the library's C interface as narrow text in the system code
// page (the ANSI code page on Windows, the bytes as they are elsewhere).

#include <filesystem>

namespace sernox {

std::filesystem::path LocalPath(const char* text);

} // namespace sernox
