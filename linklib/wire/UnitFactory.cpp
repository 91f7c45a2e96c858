#include "UnitFactory.h"

#include "ConfiguredUnit.h"
#include "LibraryDir.h"
#include "LinkChoice.h"
#include "QtSerialChannel.h"
#include "SerialUnit.h"
#include "sim/SimUnit.h"

namespace sernox::wire {

// No unit, or a setting that cannot be understood, gives a port that never
// opens: the program then reports no unit rather than quietly working on a
// simulation.
std::unique_ptr<Unit> MakeUnit(const LinkSetting& setting)
{
    switch (setting.kind) {
    case LinkSetting::Kind::Simulated:
        return std::make_unique<SimUnit>();
    case LinkSetting::Kind::Serial:
        return std::make_unique<SerialUnit>(
            std::make_unique<QtSerialChannel>(QString::fromStdString(setting.port), setting.timing.baud),
            setting.timing);
    case LinkSetting::Kind::None:
    case LinkSetting::Kind::Invalid:
        break;
    }
    return std::make_unique<SerialUnit>(std::make_unique<QtSerialChannel>(QString(), 0), setting.timing);
}

std::unique_ptr<Unit> MakeConfiguredUnit()
{
    const std::filesystem::path libraryDir = LibraryDir();
    return std::make_unique<ConfiguredUnit>(
        [libraryDir] { return ResolveLinkSetting(libraryDir, UserSettingsFile()).text; },
        [](const std::string& text) { return MakeUnit(ParseLinkSetting(text)); });
}

} // namespace sernox::wire
