// The built shared library must offer the two C entry points by name, as the
// program resolves them at start.
#include "link/SerialLink.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32
void* OpenLibrary(const char* file) { return reinterpret_cast<void*>(LoadLibraryA(file)); }
void* Symbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
std::string LoadError() { return "error " + std::to_string(GetLastError()); }
#else
// Kept mapped after closing, as the tool keeps it: the system libraries it pulls
// in hold memory they free only at exit, which the leak check would otherwise
// report once they are unmapped.
void* OpenLibrary(const char* file) { return dlopen(file, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }
void* Symbol(void* library, const char* name) { return dlsym(library, name); }
void CloseLibrary(void* library) { dlclose(library); }
std::string LoadError() { return dlerror(); }
#endif

TEST(Exports, LibraryCreatesAndDestroysAWorkingLink)
{
    void* library = OpenLibrary(SERNOX_LIB_PATH);
    ASSERT_NE(library, nullptr) << LoadError();
    auto create = reinterpret_cast<vapora::CreateClassInstanceFn>(Symbol(library, "_CreateClassInstance"));
    auto destroy = reinterpret_cast<vapora::DestroyClassInstanceFn>(Symbol(library, "_DestroyClassInstance"));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    EXPECT_EQ(Symbol(library, "_ZN6sernox7SimUnitC1ERKNS_9SimConfigE"), nullptr) << "internals stay hidden";

    vapora::SerialLink* link = create();
    ASSERT_NE(link, nullptr);
    link->Init(0);
    link->Configure(5);
    EXPECT_TRUE(link->OpenLink());
    link->Connect();
    uint8_t id[4] = {};
    EXPECT_TRUE(link->Identify(id));
    EXPECT_EQ(id[0], 8);
    EXPECT_EQ(id[1], 1);
    destroy(link);
    CloseLibrary(library);
}

} // namespace
