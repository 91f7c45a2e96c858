#include "model/FileError.h"

#include <cerrno>

namespace vapora {

FileError FileErrorFrom(std::error_code ec)
{
    if (!ec)
        return FileError::None;
    const std::error_condition c = ec.default_error_condition();
    if (c == std::errc::no_such_file_or_directory || c == std::errc::not_a_directory)
        return FileError::NotFound;
    if (c == std::errc::is_a_directory)
        return FileError::IsFolder;
    if (c == std::errc::filename_too_long)
        return FileError::PathTooLong;
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
        c == std::errc::read_only_file_system)
        return FileError::Permission;
    if (c == std::errc::no_space_on_device || c == std::errc::file_too_large)
        return FileError::DiskFull;
#ifdef EDQUOT
    if (ec.category() == std::generic_category() && ec.value() == EDQUOT)
        return FileError::DiskFull;
#endif
    return FileError::Other;
}

FileError FileErrorFrom(std::error_code ec, const std::filesystem::path& path)
{
    const FileError error = FileErrorFrom(ec);
    if (error == FileError::PathTooLong && path.native().size() <= kPathMax)
        return FileError::NameTooLong;
    return error;
}

FileError InTemporaryFolder(FileError error)
{
    switch (error) {
    case FileError::None:
        return FileError::None;
    case FileError::DiskFull:
        return FileError::TempFull;
    default:
        return FileError::TempMissing;
    }
}

} // namespace vapora
