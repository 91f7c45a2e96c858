#pragma once
// The folder the link library was loaded from, where its SerNoxDL.conf lives.

#include <filesystem>

namespace sernox::wire {

// Empty when the platform cannot tell.
std::filesystem::path LibraryDir();

} // namespace sernox::wire
