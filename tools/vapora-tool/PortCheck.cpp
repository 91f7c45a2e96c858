#include "PortCheck.h"

#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vapora::tool {

bool PortOpens(const std::string& port, std::string& why)
{
#if defined(_WIN32)
    // COM10 and above open only through the device namespace; it works for every port.
    const std::string device = port.rfind("\\\\.\\", 0) == 0 ? port : "\\\\.\\" + port;
    const HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        why = std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    CloseHandle(handle);
    return true;
#else
    // Non-blocking: a port without carrier must not hang the open.
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::generic_category().message(errno);
        return false;
    }
    ::close(fd);
    return true;
#endif
}

} // namespace vapora::tool
