#include "editor/MapPaste.h"

#include <charconv>

namespace vapora {
namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string JoinCells(const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r > 0)
            out += "\r\n";
        for (size_t c = 0; c < rows[r].size(); ++c) {
            if (c > 0)
                out += '\t';
            out += rows[r][c];
        }
    }
    return out;
}

PasteText SplitPasteText(const std::string& text)
{
    PasteText result;
    std::string line;
    bool pending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            result.lines.push_back(line);
            line.clear();
            pending = false;
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += ch;
            pending = true;
        }
    }
    if (pending)
        result.lines.push_back(line);
    if (!result.lines.empty()) {
        int tabs = 0;
        for (char ch : result.lines.front())
            tabs += ch == '\t';
        result.columns = 1 + tabs;
    }
    return result;
}

std::vector<std::string> LineCells(std::string line, int columns)
{
    std::vector<std::string> cells;
    for (int k = 0; k < columns; ++k) {
        if (k == columns - 1) {
            cells.push_back(line);
            break;
        }
        const auto tab = line.find('\t');
        if (tab == std::string::npos) {
            cells.emplace_back();
            continue;
        }
        cells.push_back(line.substr(0, tab));
        line.erase(0, tab + 1);
    }
    return cells;
}

int ParseCellInt(const std::string& text)
{
    std::string t = Trimmed(text);
    if (!t.empty() && t.front() == '+')
        t.erase(0, 1);
    int value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return 0;
    return value;
}

double ParseCellDecimal(const std::string& text, char separator)
{
    std::string t = Trimmed(text);
    if (!t.empty() && t.front() == '+')
        t.erase(0, 1);
    if (separator != '.') {
        if (t.find('.') != std::string::npos)
            return 0;
        for (char& ch : t)
            if (ch == separator)
                ch = '.';
    }
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return 0;
    return value;
}

std::string FormatCellMs(double ms, char separator)
{
    char buffer[64];
    // to_chars ignores the C locale, so the separator is always ours.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, ms, std::chars_format::fixed, 2);
    std::string out(buffer, result.ptr);
    if (separator != '.')
        for (char& ch : out)
            if (ch == '.')
                ch = separator;
    return out;
}

} // namespace vapora
