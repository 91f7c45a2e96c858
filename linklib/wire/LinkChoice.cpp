#include "LinkChoice.h"

#include "LinkSetting.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace sernox::wire {

namespace {

namespace fs = std::filesystem;

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A string value as the settings file writes it: quoted when it holds a comma,
// a semicolon or an equals sign, backslash escapes, raw UTF-8 otherwise.
std::string UnescapeIniValue(std::string_view raw)
{
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c == ';')
            break; // a comment
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const char e = raw[++i];
        switch (e) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            unsigned code = 0;
            while (i + 1 < raw.size() && HexDigit(raw[i + 1]) >= 0)
                code = code * 16 + static_cast<unsigned>(HexDigit(raw[++i]));
            AppendUtf8(out, code);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned code = static_cast<unsigned>(e - '0');
                while (i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7')
                    code = code * 8 + static_cast<unsigned>(raw[++i] - '0');
                AppendUtf8(out, code);
            } else {
                out += e; // \" \\ \' \? and anything unknown: the character itself
            }
        }
    }
    // Unquoted values lose their trailing blanks, as the reader of the file does.
    return std::string(Trim(out));
}

// The value of `key` in the [General] section of an INI text.
std::string IniGeneralValue(std::string_view text, std::string_view key)
{
    std::istringstream lines{std::string(text)};
    std::string line;
    bool general = false;
    std::string value;
    while (std::getline(lines, line)) {
        const std::string_view l = Trim(line);
        if (l.empty() || l[0] == ';' || l[0] == '#')
            continue;
        if (l.front() == '[') {
            general = l == "[General]";
            continue;
        }
        const auto eq = l.find('=');
        if (general && eq != std::string_view::npos && Trim(l.substr(0, eq)) == key)
            value = UnescapeIniValue(Trim(l.substr(eq + 1)));
    }
    return value;
}

#if defined(_WIN32)
std::string RegistryChoice()
{
    wchar_t buffer[512];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Murazzoni\\Vapora", L"Link", RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string text(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer, -1, text.data(), length, nullptr, nullptr);
    return text;
}
#endif

} // namespace

fs::path UserSettingsFile()
{
#if defined(_WIN32)
    return {};
#else
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        config = fs::path(home) / ".config";
    else
        return {};
    return config / "Murazzoni" / "Vapora.conf";
#endif
}

std::string ReadUserLinkChoice(const fs::path& settingsFile)
{
#if defined(_WIN32)
    if (settingsFile.empty())
        return std::string(Trim(RegistryChoice()));
#endif
    if (settingsFile.empty())
        return {};
    return IniGeneralValue(ReadText(settingsFile), kUserLinkValue);
}

ResolvedLink ResolveLinkSetting(const fs::path& libraryDir, const fs::path& settingsFile)
{
    if (const char* env = std::getenv("VAPORA_LINK"); env != nullptr && !Trim(env).empty())
        return {std::string(Trim(env)), LinkSource::Environment};
    const std::string conf = libraryDir.empty() ? std::string() : ReadText(libraryDir / "SerNoxDL.conf");
    if (std::string fixed = LinkFromConfText(conf, "link"); !fixed.empty())
        return {fixed, LinkSource::LibraryFile};
    if (std::string chosen = ReadUserLinkChoice(settingsFile); !chosen.empty())
        return {chosen, LinkSource::UserChoice};
    if (std::string fallback = LinkFromConfText(conf, "default"); !fallback.empty())
        return {fallback, LinkSource::LibraryDefault};
    return {"sim", LinkSource::BuiltIn};
}

} // namespace sernox::wire
