#pragma once
// Loads the link library the program uses and makes its link object, without Qt.

#include "link/SerialLink.h"

#include <filesystem>
#include <string>

namespace vapora::tool {

class LinkLibrary {
public:
    LinkLibrary() = default;
    ~LinkLibrary();
    LinkLibrary(const LinkLibrary&) = delete;
    LinkLibrary& operator=(const LinkLibrary&) = delete;

    // The library file beside the running program ("libSerNoxDL.so" or "SerNoxDL.dll").
    static std::filesystem::path BesideProgram();
    // The library the program uses: beside it, else where the package installs it
    // (<program folder>/../lib/<multiarch>/vapora); the one beside it when neither exists.
    static std::filesystem::path Locate();

    // False with Error() set when the file cannot be loaded or lacks the exports.
    bool Load(const std::filesystem::path& file);
    // A new link object, or null (Error() then says so). The library keeps one at a time here.
    SerialLink* Create();
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    CreateClassInstanceFn create_ = nullptr;
    DestroyClassInstanceFn destroy_ = nullptr;
    SerialLink* link_ = nullptr;
    std::string error_;
};

} // namespace vapora::tool
