#include "SerialPorts.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sernox::wire {

namespace {

namespace fs = std::filesystem;

// ttyS2 before ttyS10: digit runs compare by value.
bool NaturalLess(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            const std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            const std::string ta = na.substr(std::min(na.find_first_not_of('0'), na.size()));
            const std::string tb = nb.substr(std::min(nb.find_first_not_of('0'), nb.size()));
            if (ta.size() != tb.size())
                return ta.size() < tb.size();
            if (ta != tb)
                return ta < tb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void Sort(std::vector<SerialPortInfo>& ports)
{
    std::sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        if (a.usb != b.usb)
            return a.usb;
        return NaturalLess(a.name, b.name);
    });
}

#if !defined(_WIN32)
std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

// The USB device above a tty's device in sysfs: the folder with idVendor.
fs::path UsbDevice(const fs::path& device)
{
    std::error_code ec;
    fs::path at = fs::canonical(device, ec);
    if (ec)
        return {};
    for (int depth = 0; depth < 8 && !at.empty() && at != at.root_path(); ++depth, at = at.parent_path()) {
        if (fs::is_regular_file(at / "idVendor", ec))
            return at;
    }
    return {};
}

std::string UsbDescription(const fs::path& usb)
{
    std::string text = FirstLine(usb / "manufacturer");
    const std::string product = FirstLine(usb / "product");
    if (!product.empty())
        text += (text.empty() ? "" : " ") + product;
    const std::string ids = FirstLine(usb / "idVendor") + ":" + FirstLine(usb / "idProduct");
    return text.empty() ? "USB " + ids : text + " (" + ids + ")";
}
#endif

} // namespace

std::vector<SerialPortInfo> ListSerialPorts(const fs::path& sysRoot, const fs::path& devRoot)
{
    std::vector<SerialPortInfo> ports;
#if defined(_WIN32)
    (void)sysRoot;
    (void)devRoot;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[64];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                          &dataSize) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        auto narrow = [](const wchar_t* w) {
            std::string s;
            for (; *w; ++w)
                s += *w < 128 ? static_cast<char>(*w) : '?';
            return s;
        };
        SerialPortInfo port;
        port.name = narrow(data);
        port.path = port.name;
        const std::string device = narrow(valueName);
        port.usb = device.find("VCP") != std::string::npos || device.find("USB") != std::string::npos;
        port.description = port.usb ? device : std::string();
        ports.push_back(port);
    }
    RegCloseKey(key);
#else
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysRoot / "class" / "tty", ec)) {
        const fs::path tty = entry.path();
        const std::string name = tty.filename().string();
        // Consoles and pseudo-terminals have no device behind them.
        if (!fs::exists(tty / "device", ec))
            continue;
        // A built-in port the kernel reserves without hardware has type 0 (unknown).
        if (fs::exists(tty / "type", ec) && FirstLine(tty / "type") == "0")
            continue;
        SerialPortInfo port;
        port.name = name;
        port.path = (devRoot / name).string();
        const fs::path usb = UsbDevice(tty / "device");
        port.usb = !usb.empty();
        if (port.usb)
            port.description = UsbDescription(usb);
        ports.push_back(port);
    }
#endif
    Sort(ports);
    return ports;
}

PortCheck CheckSerialPort(const std::string& port)
{
    PortCheck check;
#if defined(_WIN32)
    (void)port;
#else
    struct stat st {};
    if (stat(port.c_str(), &st) != 0) {
        check.state = PortCheck::State::Missing;
        return check;
    }
    if (access(port.c_str(), R_OK | W_OK) == 0)
        return check;
    check.state = PortCheck::State::NoAccess;
    if (const group* g = getgrgid(st.st_gid); g != nullptr)
        check.group = g->gr_name;
    if (const passwd* p = getpwuid(getuid()); p != nullptr) {
        check.user = p->pw_name;
        // In the group database but not in this session: a new login is all it takes.
        int count = 64;
        std::vector<gid_t> groups(static_cast<size_t>(count));
        int found = getgrouplist(p->pw_name, p->pw_gid, groups.data(), &count);
        if (found < 0 && count > 64) { // more groups than room: count now says how many
            groups.resize(static_cast<size_t>(count));
            found = getgrouplist(p->pw_name, p->pw_gid, groups.data(), &count);
        }
        if (found >= 0) {
            groups.resize(static_cast<size_t>(count));
            const bool member = std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
            std::vector<gid_t> session(static_cast<size_t>(std::max(0, getgroups(0, nullptr))));
            const int have = session.empty() ? 0 : getgroups(static_cast<int>(session.size()), session.data());
            session.resize(static_cast<size_t>(std::max(0, have)));
            const bool active = getgid() == st.st_gid ||
                                std::find(session.begin(), session.end(), st.st_gid) != session.end();
            check.loginPending = member && !active;
        }
    }
#endif
    return check;
}

} // namespace sernox::wire
