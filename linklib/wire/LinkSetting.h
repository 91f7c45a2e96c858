#pragma once
// Which unit the library talks to. The setting comes from the environment
// variable VAPORA_LINK, else from the line "link=..." of SerNoxDL.conf beside
// the library; without either, the in-process simulated unit.
//
//   sim
//   serial:PORT[@BAUD][,answer=MS][,attempts=N][,silent=N][,gap=MS]

#include "WireClient.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace sernox::wire {

struct LinkSetting {
    enum class Kind { Simulated, Serial, Invalid };
    Kind kind = Kind::Simulated;
    std::string port;
    WireTiming timing;
    std::string error; // what was wrong with an invalid setting
};

LinkSetting ParseLinkSetting(std::string_view text);

// The "link" value of a SerNoxDL.conf text; empty when it has none.
std::string LinkFromConfText(std::string_view confText);

// The setting's text from the environment or the file in libraryDir; empty
// means the default.
std::string FindLinkSettingText(const std::filesystem::path& libraryDir);

} // namespace sernox::wire
