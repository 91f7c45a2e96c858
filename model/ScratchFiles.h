#pragma once
// Scratch files (the decoded working copy in the temporary folder, the file written beside a
// target before it replaces it) and scratch folders (holding a file saved under a name of
// its own) are named after the program that owns them and its process id:
// "<prefix><owner>-<pid>-<8 hex digits>.tmp". A later run can then remove what a killed run
// of the same program left behind, and leaves those of live processes and of other
// programs alone.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vapora {

inline constexpr std::string_view kDecodeScratchPrefix = "_de";
inline constexpr std::string_view kSaveScratchPrefix = "~";

// The running process's id, and whether a process of that id still runs.
std::uint64_t CurrentProcessId();
bool ProcessAlive(std::uint64_t pid);

// The owner written into this process's scratch names: "vapora" unless a program sets its
// own (letters and digits only).
void SetScratchOwner(std::string_view owner);
std::string ScratchOwner();

// A new scratch name of this process with the given prefix (a file name without folder).
std::string ScratchName(std::string_view prefix);

// The process id in a scratch name of this owner with one of the two prefixes; false for
// any other name.
bool OwnScratchProcess(std::string_view fileName, std::uint64_t& pid);

// Removes the files and scratch folders of `folder` (not what its other subfolders hold)
// that are this owner's scratch of processes that are gone. Answers how many went.
int RemoveStaleScratchFiles(const std::filesystem::path& folder);

} // namespace vapora
