#include "LinkLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace vapora::tool {

namespace fs = std::filesystem;

LinkLibrary::~LinkLibrary()
{
    if (link_ != nullptr && destroy_ != nullptr)
        destroy_(link_);
#if defined(_WIN32)
    if (handle_ != nullptr)
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
    if (handle_ != nullptr)
        dlclose(handle_);
#endif
}

fs::path LinkLibrary::BesideProgram()
{
#if defined(_WIN32)
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    return fs::path(std::wstring(buffer, n)).parent_path() / "SerNoxDL.dll";
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::current_path() : self.parent_path()) / "libSerNoxDL.so";
#endif
}

fs::path LinkLibrary::Locate()
{
    const fs::path beside = BesideProgram();
    std::error_code ec;
    if (fs::exists(beside, ec))
        return beside;
    const fs::path installed =
        (beside.parent_path() / ".." / VAPORA_PRIVATE_LIBDIR / beside.filename()).lexically_normal();
    return fs::exists(installed, ec) ? installed : beside;
}

bool LinkLibrary::Load(const fs::path& file)
{
#if defined(_WIN32)
    HMODULE module = LoadLibraryW(file.wstring().c_str());
    if (module == nullptr) {
        error_ = "cannot load the link library '" + file.string() + "' (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    handle_ = module;
    // Through the generic function type: the exports' real types are the library's to know.
    using Generic = void (*)();
    create_ = reinterpret_cast<CreateClassInstanceFn>(
        reinterpret_cast<Generic>(GetProcAddress(module, "_CreateClassInstance")));
    destroy_ = reinterpret_cast<DestroyClassInstanceFn>(
        reinterpret_cast<Generic>(GetProcAddress(module, "_DestroyClassInstance")));
#else
    // Kept loaded after use: a serial link leaves objects of the library's own in the process.
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = "cannot load the link library: " + std::string(why != nullptr ? why : file.string());
        return false;
    }
    create_ = reinterpret_cast<CreateClassInstanceFn>(dlsym(handle_, "_CreateClassInstance"));
    destroy_ = reinterpret_cast<DestroyClassInstanceFn>(dlsym(handle_, "_DestroyClassInstance"));
#endif
    if (create_ == nullptr || destroy_ == nullptr) {
        error_ = "'" + file.string() + "' is not a link library (its two exports are missing)";
        return false;
    }
    return true;
}

SerialLink* LinkLibrary::Create()
{
    if (create_ == nullptr)
        return nullptr;
    link_ = create_();
    if (link_ == nullptr)
        error_ = "the link library could not make its link object (check the link setting)";
    return link_;
}

} // namespace vapora::tool
