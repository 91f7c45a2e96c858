#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vapora {

// A Windows INI text with the behaviour of the profile functions the configuration files were
// written with: names compare without regard to (ASCII) case, the first of duplicate sections
// or keys wins, blanks around names and values are ignored on reading, one pair of enclosing
// double or single quotes is removed from a value on reading, a line starting with '[' is a
// section header only when it has a closing ']', an existing key is updated in place, a new
// key goes to the end of its section and a new section to the end of the text. Unlike those
// functions it keeps blank lines and comments, keeps long values whole and gives the default
// for a value that is not a number. Texts are raw bytes (Windows-1252 in practice) and are
// never re-encoded. The text is parsed once, so lookups do not grow with the file.
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

    // A value is written on one line: CR, LF and NUL become blanks (and read as blanks where a
    // file has them). A value that reading would take out of its enclosing quotes or trim
    // gets one more pair, so that it reads back as written.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
    void WriteFloat(std::string_view section, std::string_view key, double value);

    // The whole text as it would be written: every line ended by CR LF.
    std::string Text() const;

    // Writes Text() to the bound file through a temporary file renamed over it.
    bool Flush() const;

private:
    // Names are stored folded (trimmed, lower case); a lookup folds the name it is given as it
    // hashes and compares, so that reading a key makes no copy of its name.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using NameIndex = std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual>;

    struct Section {
        std::string header;             // the header line as written
        std::vector<std::string> lines; // up to the next header, without line ends
        NameIndex keys;                 // folded name -> its first key line
    };

    IniFile() = default;
    void Load(std::string_view text);
    const Section* Find(std::string_view section) const;
    // The value of a key as read: trimmed, one pair of enclosing quotes removed.
    bool FindValue(std::string_view section, std::string_view key, std::string& value) const;

    std::filesystem::path file_;
    std::vector<std::string> preamble_; // lines before the first section
    std::vector<Section> sections_;     // in file order, duplicates included
    NameIndex sectionIndex_;            // folded name -> first section
};

}  // namespace vapora
