#pragma once
// Why a file operation of the model failed. The program words it from its dictionary, the
// command-line tool in English; the model only names the cause.

#include <cstddef>
#include <filesystem>
#include <system_error>

namespace vapora {

enum class FileError {
    None,
    NotFound,         // the file, or a folder on its path, does not exist
    IsFolder,         // the name is that of a folder
    PathTooLong,      // longer than kPathMax
    NameTooLong,      // a name on the path is longer than its folder takes
    NotConfiguration, // readable, but not a configuration file
    ReadOnly,         // the target file is marked read-only
    Permission,       // the system refused access
    DiskFull,         // no room left on the disk of the file
    TempMissing,      // the temporary folder is missing or refuses new files
    TempFull,         // no room left in the temporary folder
    Other,            // any other failure to read or write
};

// Longest path, in characters of its native form, that the file operations accept. Longer
// paths are refused whole: cutting one would name another file.
#ifdef _WIN32
inline constexpr std::size_t kPathMax = 259;
#else
inline constexpr std::size_t kPathMax = 4095;
#endif

// The cause behind a system error code of a file operation.
FileError FileErrorFrom(std::error_code ec);
// The same for an operation on `path`: the system gives one code for a path too long and for
// a name too long for its folder, and a path within kPathMax can only be the second.
FileError FileErrorFrom(std::error_code ec, const std::filesystem::path& path);

// The same cause met while working in the temporary folder.
FileError InTemporaryFolder(FileError error);

} // namespace vapora
