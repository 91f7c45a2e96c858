#include "model/PlatformFiles.h"

#include <algorithm>

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vapora {

namespace fs = std::filesystem;

#ifdef _WIN32

fs::path LocalPath(std::string_view text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return fs::path(std::move(wide));
}

std::string LocalText(const fs::path& path)
{
    const std::wstring& wide = path.native();
    if (wide.empty())
        return {};
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

std::FILE* CreateNewFile(const fs::path& file)
{
    // The C runtime's fopen ignores the exclusive "x" mode here; _O_EXCL does not.
    const int fd = _wopen(file.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream)
        _close(fd);
    return stream;
}

MoveResult MoveWithoutReplacing(const fs::path& from, const fs::path& to, std::error_code& ec)
{
    ec.clear();
    // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing target.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return MoveResult::Moved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return MoveResult::AlreadyExists;
    ec = std::error_code(static_cast<int>(error), std::system_category());
    return MoveResult::Failed;
}

#else

fs::path LocalPath(std::string_view text) { return fs::path(text); }

MoveResult MoveWithoutReplacing(const fs::path& from, const fs::path& to, std::error_code& ec)
{
    ec.clear();
    // A hard link is made only under a free name, atomically; the scratch name then goes.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return MoveResult::Moved;
    }
    const int error = errno;
    if (error == EEXIST)
        return MoveResult::AlreadyExists;
    if (error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS) {
        // A file system without hard links: look, then rename. Only another writer racing
        // for the same name in the same instant could slip between the two.
        std::error_code look;
        if (fs::exists(fs::symlink_status(to, look)))
            return MoveResult::AlreadyExists;
        fs::rename(from, to, ec);
        return ec ? MoveResult::Failed : MoveResult::Moved;
    }
    ec = std::error_code(error, std::generic_category());
    return MoveResult::Failed;
}

std::string LocalText(const fs::path& path) { return path.native(); }

std::FILE* CreateNewFile(const fs::path& file) { return std::fopen(file.c_str(), "wbx"); }

#endif

fs::path FindIgnoringCase(const fs::path& folder, const fs::path& name)
{
    const auto fold = [](auto c) { return c >= 'A' && c <= 'Z' ? static_cast<decltype(c)>(c - 'A' + 'a') : c; };
    const auto same = [&](const fs::path::string_type& a, const fs::path::string_type& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [&](auto x, auto y) { return fold(x) == fold(y); });
    };
    std::error_code ec;
    const fs::path exact = folder / name;
    if (fs::exists(exact, ec))
        return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (same(it->path().filename().native(), name.native()))
            return it->path();
    return exact;
}

}  // namespace vapora
