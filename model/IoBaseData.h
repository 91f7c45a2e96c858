#pragma once
// Base of every data object bound to one configuration file: the bound file
// name, the "modified since last save/load" flag and the working INI copy.

#include "model/FileError.h"
#include "model/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vapora {

// Raised inside the file operations; carries why the file could not be used.
class FileFailure : public std::runtime_error {
public:
    explicit FileFailure(FileError reason) : std::runtime_error("Impossibile aprire il file"), Reason(reason) {}
    FileError Reason;
};

class IoBaseData {
public:
    explicit IoBaseData(std::string fileName) : FileName(std::move(fileName)) {}
    // Removes a working copy left open by an interrupted operation.
    virtual ~IoBaseData();
    IoBaseData(const IoBaseData&) = delete;
    IoBaseData& operator=(const IoBaseData&) = delete;

    // The path is kept whole: a cut path would name another file. Callers refuse paths
    // longer than kPathMax before binding them.
    void SetFileName(const std::string& path) { FileName = path; }

    // Opens a working copy in a new "_de" scratch file of the system's temporary folder; with
    // decode it holds the decoded FileName, otherwise it starts empty. Nothing happens when one
    // is open. Throws FileFailure (text "Impossibile aprire il file") with the cause when the
    // copy cannot be made; no scratch file is left behind then.
    void OpenIni(bool decode);
    // Closes the working copy and deletes its file. With encode the copy is first encoded over
    // FileName, which is replaced only when the whole encoded file is written. False when that
    // fails (FileName is then as it was, LastFileError says why); true otherwise, also when
    // nothing was open.
    bool CloseIni(bool encode);

    // Why the last failed load or save of this object failed.
    FileError LastFileError() const { return lastError_; }

    // Each read leaves `dest` as it was and answers false when the key is absent.
    bool ReadIntKey(int32_t& dest, std::string_view key, std::string_view section) const;
    bool ReadBoolKey(bool& dest, std::string_view key, std::string_view section) const;
    // A maxLen above 0 keeps at most maxLen - 1 characters (the room left by a terminator).
    bool ReadStringKey(std::string& dest, std::string_view key, std::string_view section,
                       std::size_t maxLen = 0) const;
    void WriteIntKey(int32_t value, std::string_view key, std::string_view section);
    void WriteBoolKey(bool value, std::string_view key, std::string_view section);
    void WriteStringKey(std::string_view text, std::string_view key, std::string_view section);

    std::string FileName;
    bool IniOpen = false;
    std::unique_ptr<IniFile> Ini;
    std::filesystem::path TempFileName; // the working copy's file while IniOpen
    bool Modified = false;

protected:
    FileError lastError_ = FileError::None;
};

} // namespace vapora
