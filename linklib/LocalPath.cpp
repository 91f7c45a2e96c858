#include "LocalPath.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sernox {

std::filesystem::path LocalPath(const char* text)
{
#ifdef _WIN32
    const int size = static_cast<int>(std::strlen(text));
    if (size == 0)
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
#else
    return std::filesystem::path(text);
#endif
}

} // namespace sernox
