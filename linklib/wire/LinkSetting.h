#pragma once
// Which unit the library talks to (see LinkChoice.h for where the setting
// comes from):
//
//   sim                  the in-process simulated unit
//   none                 no unit: the link never opens
//   serial:PORT[@BAUD][,answer=MS][,attempts=N][,silent=N][,gap=MS]

#include "WireClient.h"

#include <string>
#include <string_view>

namespace sernox::wire {

struct LinkSetting {
    enum class Kind { Simulated, Serial, None, Invalid };
    Kind kind = Kind::Simulated;
    std::string port;
    WireTiming timing;
    std::string error; // what was wrong with an invalid setting
};

LinkSetting ParseLinkSetting(std::string_view text);

// The value of `key` ("link" or "default") in a SerNoxDL.conf text; empty when it has none.
std::string LinkFromConfText(std::string_view confText, std::string_view key = "link");

} // namespace sernox::wire
