#pragma once
// What the fuzz targets share. A broken invariant aborts with its text, so
// libFuzzer keeps the input that broke it. Code that only works on files gets
// a folder in memory (tmpfs where the system has one), made once per process
// and reused for every input; it is also the process's temporary folder, so
// the scratch copies the loaders make stay in memory as well.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace vapora::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "==%d== broken invariant: %s at %s:%d\n", static_cast<int>(getpid()), what, file, line);
    std::abort();
}

#define FUZZ_CHECK(condition)                                        \
    do {                                                             \
        if (!(condition))                                            \
            ::vapora::fuzz::Fail(#condition, __FILE__, __LINE__);    \
    } while (0)

inline const std::filesystem::path& WorkFolder()
{
    static const std::filesystem::path folder = [] {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::path base = "/dev/shm";
        if (!fs::is_directory(base, ec))
            base = fs::temp_directory_path();
        const fs::path made = base / ("vapora-fuzz-" + std::to_string(getpid()));
        fs::create_directories(made, ec);
        setenv("TMPDIR", made.c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(WorkFolder(), ignored);
        });
        return made;
    }();
    return folder;
}

// A file of the work folder holding exactly `bytes`.
inline std::string FileWith(std::string_view name, std::string_view bytes)
{
    const std::string path = (WorkFolder() / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        Fail("cannot write the work file", __FILE__, __LINE__);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        Fail("cannot write the work file", __FILE__, __LINE__);
    std::fclose(f);
    return path;
}

inline std::string PathOf(std::string_view name) { return (WorkFolder() / name).string(); }

} // namespace vapora::fuzz
