#include "model/IniFile.h"

#include "model/SafeFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <type_traits>

namespace vapora {

namespace {

constexpr std::size_t npos = std::string::npos;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The lookup form of a section or key name: trimmed, ASCII letters in lower case.
std::string Folded(std::string_view name)
{
    std::string folded(Trim(name));
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

char FoldedChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name of a section line ("[name]"), or false for any other line. Without a closing ']'
// the line is not a header.
bool SectionName(std::string_view line, std::string_view& name)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    line.remove_prefix(1);
    const std::size_t close = line.rfind(']');
    if (close == npos)
        return false;
    name = Trim(line.substr(0, close));
    return true;
}

// Splits a "key=value" line of a section; comments and lines without '=' are not keys.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return false;
    const std::size_t equals = trimmed.find('=');
    if (equals == npos)
        return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
}

// A value between one pair of the same quotes, double or single, loses them on reading.
bool Quoted(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

std::string_view Unquoted(std::string_view value)
{
    return Quoted(value) ? value.substr(1, value.size() - 2) : value;
}

// Leading part of `text` as a number, as the profile functions read it.
template <typename Number>
bool ParseLeading(std::string_view text, Number& number)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '-')
        return false;
    if constexpr (std::is_floating_point_v<Number>) {
        if (std::from_chars(text.data(), text.data() + text.size(), number).ec != std::errc())
            return false;
        number = negative ? -number : number;
    } else {
        std::uint64_t magnitude = 0;
        std::size_t digits = 0;
        for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits)
            magnitude = std::min<std::uint64_t>(magnitude * 10 + (text[digits] - '0'), std::uint64_t{1} << 40);
        if (digits == 0)
            return false;
        // Out-of-range values saturate instead of wrapping into a value of the other sign.
        const std::int64_t signedValue = negative ? -static_cast<std::int64_t>(magnitude)
                                                  : static_cast<std::int64_t>(magnitude);
        number = static_cast<Number>(std::clamp<std::int64_t>(signedValue, INT_MIN, INT_MAX));
    }
    return true;
}

}  // namespace

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file))
{
    std::string bytes;
    if (ReadFileBytes(file_, bytes))
        Load(bytes);
}

IniFile IniFile::FromText(std::string_view text, std::filesystem::path file)
{
    IniFile ini;
    ini.file_ = std::move(file);
    ini.Load(text);
    return ini;
}

void IniFile::Load(std::string_view text)
{
    preamble_.clear();
    sections_.clear();
    sectionIndex_.clear();
    std::string_view name, key, value;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        text.remove_prefix(lf == npos ? text.size() : lf + 1);

        if (SectionName(line, name)) {
            sectionIndex_.emplace(Folded(name), sections_.size()); // the first of duplicates wins
            sections_.push_back(Section{std::string(line), {}, {}});
        } else if (sections_.empty()) {
            preamble_.emplace_back(line);
        } else {
            Section& section = sections_.back();
            if (KeyLine(line, key, value))
                section.keys.emplace(Folded(key), section.lines.size());
            section.lines.emplace_back(line);
        }
    }
}

std::size_t IniFile::FoldedHash::operator()(std::string_view name) const
{
    std::size_t hash = 14695981039346656037u; // FNV-1a
    for (char c : Trim(name)) {
        hash ^= static_cast<unsigned char>(FoldedChar(c));
        hash *= 1099511628211u;
    }
    return hash;
}

bool IniFile::FoldedEqual::operator()(std::string_view a, std::string_view b) const
{
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldedChar(x) == FoldedChar(y); });
}

const IniFile::Section* IniFile::Find(std::string_view section) const
{
    const auto it = sectionIndex_.find(section);
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

bool IniFile::FindValue(std::string_view section, std::string_view key, std::string& value) const
{
    const Section* s = Find(section);
    if (s == nullptr)
        return false;
    const auto it = s->keys.find(key);
    if (it == s->keys.end())
        return false;
    std::string_view name, found;
    const std::string& stored = s->lines[it->second];
    if (stored.find_first_of(std::string_view("\r\0", 2)) == npos) {
        KeyLine(stored, name, found);
        value.assign(Unquoted(found));
        return true;
    }
    // A CR or NUL inside a line reads as the blank a write turns it into, so that whatever
    // is read writes back and reads again the same.
    std::string line = stored;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\0'; }, ' ');
    KeyLine(line, name, found);
    value.assign(Unquoted(found));
    return true;
}

bool IniFile::SectionExists(std::string_view section) const
{
    return Find(section) != nullptr;
}

bool IniFile::KeyExists(std::string_view section, std::string_view key) const
{
    const Section* s = Find(section);
    return s != nullptr && s->keys.find(key) != s->keys.end();
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    std::string value;
    return FindValue(section, key, value) ? value : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    std::string text;
    int number = 0;
    return FindValue(section, key, text) && ParseLeading(text, number) ? number : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    std::string text;
    double number = 0;
    return FindValue(section, key, text) && ParseLeading(text, number) ? number : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    // One line per value: a line break or NUL inside a text would start a key of its own.
    auto oneLine = [](std::string_view text) {
        std::string line(text);
        for (char& c : line)
            if (c == '\r' || c == '\n' || c == '\0')
                c = ' ';
        return line;
    };
    std::string written = oneLine(value);
    // Reading trims blanks and takes one pair of enclosing quotes away: a value that would
    // lose either gets a pair of its own.
    if (Quoted(Trim(written)) || Trim(written).size() != written.size())
        written = '"' + written + '"';
    const std::string keyName = oneLine(Trim(key));

    const auto found = sectionIndex_.find(std::string_view(section));
    if (found == sectionIndex_.end()) {
        sectionIndex_.emplace(Folded(section), sections_.size());
        Section added{"[" + oneLine(Trim(section)) + "]", {keyName + "=" + written}, {}};
        added.keys.emplace(Folded(keyName), 0);
        sections_.push_back(std::move(added));
        return;
    }
    Section& s = sections_[found->second];
    const auto keyLine = s.keys.find(std::string_view(keyName));
    if (keyLine != s.keys.end()) {
        std::string_view storedKey, oldValue;
        KeyLine(s.lines[keyLine->second], storedKey, oldValue);
        s.lines[keyLine->second] = std::string(storedKey) + "=" + written;
        return;
    }
    // After the section's last non-blank line, so blank lines before the next section stay;
    // only blank lines move, so no key's line number changes.
    std::size_t insertAt = s.lines.size();
    while (insertAt > 0 && Trim(s.lines[insertAt - 1]).empty())
        --insertAt;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyName + "=" + written);
    s.keys.emplace(Folded(keyName), insertAt);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    // Shortest text that reads back to the same value, always with '.'.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    WriteString(section, key, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::string IniFile::Text() const
{
    std::string text;
    auto add = [&text](const std::string& line) {
        text += line;
        text += "\r\n";
    };
    for (const std::string& line : preamble_)
        add(line);
    for (const Section& section : sections_) {
        add(section.header);
        for (const std::string& line : section.lines)
            add(line);
    }
    return text;
}

bool IniFile::Flush() const
{
    return WriteFileReplacing(file_, Text());
}

}  // namespace vapora
