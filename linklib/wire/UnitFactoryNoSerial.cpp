// The choice of unit in a build without the serial transport (no Qt): the
// simulated unit works as everywhere; a serial setting, like an unreadable
// one, gives a unit whose port never opens, so the program reports no unit
// instead of quietly working on a simulation.
#include "UnitFactory.h"

#include "ConfiguredUnit.h"
#include "LibraryDir.h"
#include "LinkChoice.h"
#include "SerialUnit.h"
#include "sim/SimUnit.h"

namespace sernox::wire {

namespace {

class NoPort final : public Channel {
public:
    bool Open() override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool Write(const uint8_t*, size_t) override { return false; }
    int Read(uint8_t*, size_t, int) override { return -1; }
};

} // namespace

std::unique_ptr<Unit> MakeUnit(const LinkSetting& setting)
{
    if (setting.kind == LinkSetting::Kind::Simulated)
        return std::make_unique<SimUnit>();
    return std::make_unique<SerialUnit>(std::make_unique<NoPort>(), setting.timing);
}

std::unique_ptr<Unit> MakeConfiguredUnit()
{
    const std::filesystem::path libraryDir = LibraryDir();
    return std::make_unique<ConfiguredUnit>(
        [libraryDir] { return ResolveLinkSetting(libraryDir, UserSettingsFile()).text; },
        [](const std::string& text) { return MakeUnit(ParseLinkSetting(text)); });
}

} // namespace sernox::wire
