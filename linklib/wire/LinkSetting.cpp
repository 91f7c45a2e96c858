#include "LinkSetting.h"

#include <charconv>
#include <sstream>

namespace sernox::wire {

namespace {

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool ToInt(std::string_view s, int low, int high, int& out)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < low || v > high)
        return false;
    out = v;
    return true;
}

LinkSetting Invalid(std::string why)
{
    LinkSetting s;
    s.kind = LinkSetting::Kind::Invalid;
    s.error = std::move(why);
    return s;
}

} // namespace

LinkSetting ParseLinkSetting(std::string_view text)
{
    text = Trim(text);
    if (text.empty() || text == "sim")
        return {};
    if (text == "none") {
        LinkSetting none;
        none.kind = LinkSetting::Kind::None;
        return none;
    }
    constexpr std::string_view kSerial = "serial:";
    if (text.substr(0, kSerial.size()) != kSerial)
        return Invalid("unknown link kind");
    text.remove_prefix(kSerial.size());

    LinkSetting s;
    s.kind = LinkSetting::Kind::Serial;
    const auto comma = text.find(',');
    std::string_view target = text.substr(0, comma);
    std::string_view options = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);

    const auto at = target.rfind('@');
    if (at != std::string_view::npos) {
        if (!ToInt(target.substr(at + 1), 50, 4000000, s.timing.baud))
            return Invalid("bad baud rate");
        target = target.substr(0, at);
    }
    if (target.empty())
        return Invalid("no port name");
    s.port = std::string(target);

    while (!options.empty()) {
        const auto next = options.find(',');
        const std::string_view option = options.substr(0, next);
        options = next == std::string_view::npos ? std::string_view() : options.substr(next + 1);
        const auto eq = option.find('=');
        if (eq == std::string_view::npos)
            return Invalid("option without value");
        const std::string_view key = option.substr(0, eq);
        const std::string_view value = option.substr(eq + 1);
        bool ok = false;
        if (key == "answer")
            ok = ToInt(value, 1, 60000, s.timing.answerMs);
        else if (key == "gap")
            ok = ToInt(value, 1, 10000, s.timing.gapMs);
        else if (key == "attempts")
            ok = ToInt(value, 1, 100, s.timing.maxAttempts);
        else if (key == "silent")
            ok = ToInt(value, 1, 100, s.timing.maxSilentAttempts);
        if (!ok)
            return Invalid("bad option " + std::string(key));
    }
    return s;
}

std::string LinkFromConfText(std::string_view confText, std::string_view key)
{
    std::istringstream lines{std::string(confText)};
    std::string line;
    std::string link;
    while (std::getline(lines, line)) {
        const std::string_view l = Trim(line);
        if (l.empty() || l[0] == '#' || l[0] == ';')
            continue;
        const auto eq = l.find('=');
        if (eq != std::string_view::npos && Trim(l.substr(0, eq)) == key)
            link = std::string(Trim(l.substr(eq + 1)));
    }
    return link;
}

} // namespace sernox::wire
