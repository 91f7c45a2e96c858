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

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

// The name of a section line ("[name]"), or false for any other line.
bool SectionName(std::string_view line, std::string_view& name)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    line.remove_prefix(1);
    const std::size_t close = line.rfind(']');
    name = Trim(close == npos ? line : line.substr(0, close));
    return true;
}

// Splits a "key=value" line; comments, section lines and lines without '=' are not keys.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '[' || trimmed.front() == ';')
        return false;
    const std::size_t equals = trimmed.find('=');
    if (equals == npos)
        return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
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
    lines_.clear();
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.emplace_back(line);
        text.remove_prefix(lf == npos ? text.size() : lf + 1);
    }
}

std::size_t IniFile::FindSection(std::string_view section) const
{
    std::string_view name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i], name) && EqualNoCase(name, Trim(section)))
            return i;
    return npos;
}

std::size_t IniFile::SectionEnd(std::size_t sectionLine) const
{
    std::string_view name;
    std::size_t i = sectionLine + 1;
    while (i < lines_.size() && !SectionName(lines_[i], name))
        ++i;
    return i;
}

std::size_t IniFile::FindKey(std::size_t sectionLine, std::string_view key) const
{
    std::string_view name, value;
    const std::size_t end = SectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i)
        if (KeyLine(lines_[i], name, value) && EqualNoCase(name, Trim(key)))
            return i;
    return npos;
}

bool IniFile::FindValue(std::string_view section, std::string_view key, std::string& value) const
{
    const std::size_t sectionLine = FindSection(section);
    if (sectionLine == npos)
        return false;
    const std::size_t keyLine = FindKey(sectionLine, key);
    if (keyLine == npos)
        return false;
    std::string_view name, found;
    KeyLine(lines_[keyLine], name, found);
    value.assign(found);
    return true;
}

bool IniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != npos;
}

bool IniFile::KeyExists(std::string_view section, std::string_view key) const
{
    std::string value;
    return FindValue(section, key, value);
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
    const std::string keyValue = std::string(Trim(key)) + "=" + std::string(value);
    const std::size_t sectionLine = FindSection(section);
    if (sectionLine == npos) {
        lines_.push_back("[" + std::string(Trim(section)) + "]");
        lines_.push_back(keyValue);
        return;
    }
    const std::size_t keyLine = FindKey(sectionLine, key);
    if (keyLine != npos) {
        std::string_view storedKey, oldValue;
        KeyLine(lines_[keyLine], storedKey, oldValue);
        lines_[keyLine] = std::string(storedKey) + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, so blank lines before the next section stay.
    std::size_t insertAt = SectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && Trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), keyValue);
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
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool IniFile::Flush() const
{
    return WriteFileReplacing(file_, Text());
}

}  // namespace vapora
