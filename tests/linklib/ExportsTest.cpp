// The built shared library must offer the two C entry points by name, as the
// program resolves them at start.
#include "link/SerialLink.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(Exports, LibraryCreatesAndDestroysAWorkingLink)
{
    void* library = dlopen(SERNOX_LIB_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto create = reinterpret_cast<vapora::CreateClassInstanceFn>(dlsym(library, "_CreateClassInstance"));
    auto destroy = reinterpret_cast<vapora::DestroyClassInstanceFn>(dlsym(library, "_DestroyClassInstance"));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    EXPECT_EQ(dlsym(library, "_ZN6sernox7SimUnitC1ERKNS_9SimConfigE"), nullptr) << "internals stay hidden";

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
    dlclose(library);
}

} // namespace
