#include "RestoreCommands.h"

#include "model/Cp1252.h"
#include "model/MainFolder.h"
#include "model/PlatformFiles.h"

#include <ctime>
#include <iomanip>
#include <ostream>
#include <stdexcept>

namespace vapora::tool {

namespace fs = std::filesystem;

namespace {

std::string_view ReasonText(restore::Reason reason)
{
    switch (reason) {
    case restore::Reason::Read:
        return "read";
    case restore::Reason::FileLoad:
        return "file loaded";
    case restore::Reason::Reset:
        return "reset";
    case restore::Reason::FuelChange:
        return "fuel change";
    case restore::Reason::Calibration:
        return "calibration";
    case restore::Reason::BeforeProgramming:
        return "before programming";
    case restore::Reason::AfterProgramming:
        return "after programming";
    case restore::Reason::BeforeRestore:
        return "before restore";
    }
    return "";
}

// "20261209-143205" as "2026-12-09 14:32:05".
std::string DateTime(const std::string& stamp)
{
    if (stamp.size() != 15)
        return stamp;
    return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " + stamp.substr(9, 2) +
           ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

// Pads UTF-8 text to `width` characters (not bytes).
std::string Column(const std::string& utf8, std::size_t width)
{
    std::size_t characters = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    return utf8 + std::string(characters < width ? width - characters : 0, ' ');
}

} // namespace

fs::path RestoreHome(const std::optional<std::string>& home)
{
    std::error_code ec;
    if (home) {
        const fs::path folder = LocalPath(*home);
        if (home->empty() || !fs::is_directory(folder, ec))
            throw std::runtime_error("--home '" + *home + "' is not a folder");
        return folder;
    }
    const fs::path current = fs::current_path(ec);
    if (!ec && IsMainFolder(current))
        return current;
    const fs::path user = UserMainFolder();
    if (user.empty())
        throw std::runtime_error("no main folder for restore points: give --home DIR");
    return user;
}

std::string PointFileText(const fs::path& file)
{
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

const char* HistoryUsage() { return "       vapora-tool history [--home DIR] [--config NAME]\n"; }

int History(const std::vector<std::string>& args, std::ostream& out)
{
    std::optional<std::string> home, config;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--home" || a == "--config") && i + 1 < args.size())
            (a == "--home" ? home : config) = args[++i];
        else if (a == "--home" || a == "--config")
            throw std::runtime_error(a + " needs a value");
        else
            throw std::runtime_error("unknown option '" + a + "'");
    }
    const restore::Store store(RestoreHome(home));
    std::vector<restore::Point> points = store.List();
    if (config)
        std::erase_if(points, [&](const restore::Point& p) { return Cp1252ToUtf8(p.key.configName) != *config; });
    if (points.empty()) {
        out << "no restore points" << (config ? " of '" + *config + "'" : std::string()) << " in "
            << PointFileText(store.Folder()) << "\n";
        return 0;
    }
    out << Column("Date and time", 21) << Column("Reason", 20) << Column("Configuration", 20)
        << Column("Vehicle", 24) << Column("Software", 10) << Column("Fuel", 9) << "File\n";
    for (const restore::Point& p : points) {
        out << Column(DateTime(p.stamp), 21) << Column(std::string(ReasonText(p.reason)), 20)
            << Column(Cp1252ToUtf8(p.key.configName), 20) << Column(Cp1252ToUtf8(p.key.description), 24)
            << Column(p.software > 0 ? std::to_string(p.software) : "?", 10)
            << Column(p.methane ? "methane" : "LPG", 9) << PointFileText(p.file.filename())
            << (p.asFound ? "  (as found)" : "") << "\n";
    }
    return 0;
}

} // namespace vapora::tool
