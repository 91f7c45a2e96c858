#pragma once
// Base of every data object bound to one configuration file: the bound file
// name, the "modified since last save/load" flag and the working INI copy.

#include <string>

namespace vapora {

class IoBaseData {
public:
    explicit IoBaseData(std::string fileName) : FileName(std::move(fileName)) {}
    virtual ~IoBaseData() = default;
    IoBaseData(const IoBaseData&) = delete;
    IoBaseData& operator=(const IoBaseData&) = delete;

    // Keeps at most the 249 characters that the bound-name field holds.
    void SetFileName(const std::string& path) { FileName = path.substr(0, kFileNameMax); }

    static constexpr size_t kFileNameMax = 249;

    std::string FileName;
    bool IniOpen = false;
    bool Modified = false;
};

} // namespace vapora
