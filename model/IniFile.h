#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vapora {

// A Windows INI text with the behaviour of the profile functions the configuration files were
// written with: names compare without regard to (ASCII) case, the first of duplicate sections
// or keys wins, blanks around names and values are ignored on reading, an existing key is
// updated in place, a new key goes to the end of its section and a new section to the end of
// the text. Texts are raw bytes (Windows-1252 in practice) and are never re-encoded.
class IniFile {
public:
    // Loads the file's bytes; a missing or unreadable file gives an empty INI bound to it.
    explicit IniFile(std::filesystem::path file);

    // An INI holding `text`, bound to `file` for Flush (nothing is read).
    static IniFile FromText(std::string_view text, std::filesystem::path file = {});

    const std::filesystem::path& FileName() const { return file_; }

    bool SectionExists(std::string_view section) const;
    bool KeyExists(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal with an optional sign; trailing garbage is ignored ("12abc" is 12), a value that
    // does not start with a number gives `def`.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // Any nonzero integer is true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    // Decimal with '.', whatever the locale; trailing garbage ignored as for integers.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
    void WriteFloat(std::string_view section, std::string_view key, double value);

    // The whole text as it would be written: every line ended by CR LF.
    std::string Text() const;

    // Writes Text() to the bound file through a temporary file renamed over it.
    bool Flush() const;

private:
    IniFile() = default;
    void Load(std::string_view text);
    // Index of the first section line with that name, or npos.
    std::size_t FindSection(std::string_view section) const;
    // End of the section starting at `sectionLine`: the next section line or the end.
    std::size_t SectionEnd(std::size_t sectionLine) const;
    // Index of the first key line of that name in the section, or npos.
    std::size_t FindKey(std::size_t sectionLine, std::string_view key) const;
    bool FindValue(std::string_view section, std::string_view key, std::string& value) const;

    std::filesystem::path file_;
    std::vector<std::string> lines_;  // without line ends
};

}  // namespace vapora
