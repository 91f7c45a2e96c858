#pragma once
// Whether a serial port can be opened at all, without talking to what is behind it.

#include <string>

namespace vapora::tool {

// True when `port` opens for reading and writing; otherwise `why` holds the system's reason.
// The port is closed again at once.
bool PortOpens(const std::string& port, std::string& why);

} // namespace vapora::tool
