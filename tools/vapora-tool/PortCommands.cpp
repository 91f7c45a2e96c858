#include "PortCommands.h"

#include "wire/LinkChoice.h"
#include "wire/LinkSetting.h"
#include "wire/SerialPorts.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

namespace vapora::tool {
namespace {

using namespace sernox::wire;

const char* SourceName(LinkSource source)
{
    switch (source) {
    case LinkSource::Environment: return "VAPORA_LINK";
    case LinkSource::LibraryFile: return "link= in SerNoxDL.conf";
    case LinkSource::UserChoice: return "the user's choice in the program";
    case LinkSource::LibraryDefault: return "default= in SerNoxDL.conf";
    case LinkSource::BuiltIn: break;
    }
    return "built in";
}

} // namespace

bool ItalianLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return std::string(value).rfind("it", 0) == 0;
    }
    return false;
}

int ListPorts(const std::filesystem::path& libraryDir, std::ostream& out)
{
    const auto ports = ListSerialPorts();
    size_t width = 4;
    for (const SerialPortInfo& p : ports)
        width = std::max(width, p.path.size());
    auto row = [&](const std::string& port, const std::string& description) {
        out << port << std::string(width + 2 - std::min(width, port.size()), ' ') << description << "\n";
    };
    for (const SerialPortInfo& p : ports)
        row(p.path, p.description.empty() ? "serial port of the computer" : p.description);
    row("sim", "simulated unit (demonstration)");
    const ResolvedLink link = ResolveLinkSetting(libraryDir, UserSettingsFile());
    out << "link in use: " << link.text << " (" << SourceName(link.source) << ")\n";
    return 0;
}

std::optional<std::string> PortProblem(const std::filesystem::path& libraryDir, bool italian)
{
    const LinkSetting setting = ParseLinkSetting(ResolveLinkSetting(libraryDir, UserSettingsFile()).text);
    if (setting.kind == LinkSetting::Kind::None)
        return italian ? "nessuna porta seriale scelta: sceglierla nel programma (Impostazioni > Porta Seriale) "
                         "o indicarla con --link serial:PORTA ('vapora-tool unit ports' elenca le porte presenti)"
                       : "no serial port is chosen: choose one in the program (Settings > Serial port) or give "
                         "--link serial:PORT ('vapora-tool unit ports' lists the ports present)";
    if (setting.kind != LinkSetting::Kind::Serial)
        return std::nullopt;
    const std::string& port = setting.port;
    const PortCheck check = CheckSerialPort(port);
    switch (check.state) {
    case PortCheck::State::Usable:
        return std::nullopt;
    case PortCheck::State::Missing:
        return italian ? "la porta seriale " + port + " non esiste: l'adattatore è collegato? "
                             "('vapora-tool unit ports' elenca le porte presenti)"
                       : "the serial port " + port + " does not exist: is the adapter plugged in? "
                             "('vapora-tool unit ports' lists the ports present)";
    case PortCheck::State::NoAccess:
        break;
    }
    const std::string group = check.group.empty() ? "dialout" : check.group;
    const std::string user = check.user.empty() ? "$USER" : check.user;
    if (check.loginPending)
        return italian ? "l'utente " + user + " fa parte del gruppo " + group +
                             " ma questa sessione è iniziata prima: uscire dalla sessione e rientrare per aprire " +
                             port
                       : "user " + user + " is in the group " + group +
                             " but this session started before: log out and log in again to open " + port;
    return italian ? "l'utente " + user + " non può aprire la porta seriale " + port + ": deve far parte del gruppo " +
                         group + ". Per aggiungerlo: sudo adduser " + user + " " + group +
                         ", poi uscire dalla sessione e rientrare"
                   : "user " + user + " may not open the serial port " + port + ": the user must be in the group " +
                         group + ". To join it: sudo adduser " + user + " " + group + ", then log out and log in again";
}

} // namespace vapora::tool
