#pragma once
// The serial ports of this computer and whether the user may open one, told
// without opening it (opening a port can reset what hangs on it).

#include <filesystem>
#include <string>
#include <vector>

namespace sernox::wire {

struct SerialPortInfo {
    std::string path;        // what the link setting names: /dev/ttyUSB0, COM3
    std::string name;        // ttyUSB0, COM3
    std::string description; // maker and product of a USB adapter; empty for a port of the computer itself
    bool usb = false;
};

// The ports present, USB adapters first, then by name (ttyS2 before ttyS10).
// On Linux from sysRoot (/sys) with the device files in devRoot (/dev); a port
// the kernel knows but that has no hardware behind it is left out.
std::vector<SerialPortInfo> ListSerialPorts(const std::filesystem::path& sysRoot = "/sys",
                                            const std::filesystem::path& devRoot = "/dev");

struct PortCheck {
    enum class State { Usable, Missing, NoAccess };
    State state = State::Usable;
    std::string group;       // NoAccess: the group the device belongs to (dialout on Debian)
    std::string user;        // NoAccess: the user running this program
    bool loginPending = false; // NoAccess: the user is in the group, but this session started before
};

// On Linux: Missing when no such device file, NoAccess when this user may not
// read and write it. Elsewhere every port counts as usable until it is opened.
PortCheck CheckSerialPort(const std::string& port);

} // namespace sernox::wire
