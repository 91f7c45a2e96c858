#include "LibraryDir.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__unix__)
#include <dlfcn.h>
#endif

namespace sernox::wire {

std::filesystem::path LibraryDir()
{
    // Any function of this library names the module that holds it.
    const void* self = reinterpret_cast<const void*>(&LibraryDir);
#if defined(_WIN32)
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(self), &module))
        return {};
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2); // truncated: long path
    }
    return std::filesystem::path(name).parent_path();
#elif defined(__unix__)
    Dl_info info{};
    if (dladdr(self, &info) && info.dli_fname)
        return std::filesystem::path(info.dli_fname).parent_path();
    return {};
#else
    return {};
#endif
}

} // namespace sernox::wire
