// vapora-virtual-unit: serves the simulated unit over a serial line, by
// default on a new pseudo-terminal whose path it prints for the program.

#include "Scenarios.h"
#include "sim/SimUnit.h"
#include "wire/LineServer.h"
#include "wire/UnitServer.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <vector>
#include <termios.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop = true; }

const char kUsage[] =
    "usage: vapora-virtual-unit [options]\n"
    "  --port PATH          serve on this serial port instead of a new pseudo-terminal\n"
    "  --baud N             emulated line speed, bytes paced to it (default 57600; 0 = unpaced)\n"
    "  --scenario S         idle | drive | revs | rpm:throttle:map:steps;...  (default idle)\n"
    "  --id F,M,MODEL,VER   identification bytes (default 8,1,1,15)\n"
    "  --version N          software version (identification byte 4)\n"
    "  --petrol-blocked     report no room for the petrol map\n"
    "  --ready-after N      answer 'not ready' to the first N ready polls\n"
    "  --battery-low        refuse firmware for a low battery\n"
    "  --refuse-param N     refuse every write of parameter number N (repeatable)\n"
    "  --refuse-read N[:R]  refuse every read of parameter number N, or only of its\n"
    "                       table row R (repeatable)\n"
    "  --corrupt PCT        corrupt this percentage of bytes, each direction\n"
    "  --drop PCT           drop this percentage of bytes, each direction\n"
    "  --delay MS           wait this long before every answer\n"
    "  --silent-after MS    stop answering this long after the first request\n"
    "  --seed N             seed of the line faults\n";

bool ParseNumber(const char* text, double low, double high, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (!text[0] || *end || v < low || v > high)
        return false;
    out = v;
    return true;
}

speed_t SpeedFor(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B57600;
    }
}

// Raw bytes both ways: no echo, no line editing, no translation.
termios RawMode(int baud)
{
    termios t{};
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, SpeedFor(baud));
    cfsetospeed(&t, SpeedFor(baud));
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    sernox::SimConfig config;
    sernox::wire::LineOptions line;
    line.baud = 57600;
    std::string port;
    std::string scenario = "idle";
    bool batteryLow = false;
    std::vector<int> refusedParams;
    std::vector<std::pair<int, int>> refusedReads;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        double n = 0;
        auto number = [&](double low, double high) {
            if (!value || !ParseNumber(value, low, high, n)) {
                std::fprintf(stderr, "vapora-virtual-unit: bad value for %s\n%s", arg.c_str(), kUsage);
                std::exit(2);
            }
            ++i;
            return n;
        };
        if (arg == "--port" && value) {
            port = value;
            ++i;
        } else if (arg == "--baud") {
            line.baud = static_cast<int>(number(0, 4000000));
        } else if (arg == "--scenario" && value) {
            scenario = value;
            ++i;
        } else if (arg == "--id" && value) {
            unsigned b[4];
            if (std::sscanf(value, "%u,%u,%u,%u", &b[0], &b[1], &b[2], &b[3]) != 4 || b[0] > 255 || b[1] > 255
                || b[2] > 255 || b[3] > 255) {
                std::fprintf(stderr, "vapora-virtual-unit: bad --id\n");
                return 2;
            }
            for (int k = 0; k < 4; ++k)
                config.identification[k] = static_cast<uint8_t>(b[k]);
            ++i;
        } else if (arg == "--version") {
            config.identification[3] = static_cast<uint8_t>(number(0, 255));
        } else if (arg == "--petrol-blocked") {
            config.petrolMapBlocked = true;
        } else if (arg == "--ready-after") {
            config.readyAfterPolls = static_cast<int>(number(0, 1000000));
        } else if (arg == "--battery-low") {
            batteryLow = true;
        } else if (arg == "--refuse-param") {
            refusedParams.push_back(static_cast<int>(number(0, 255)));
        } else if (arg == "--refuse-read" && value) {
            // N or N:ROW, both 0..255
            auto part = [](const char*& p, long& out) {
                if (*p < '0' || *p > '9')
                    return false;
                char* end = nullptr;
                out = std::strtol(p, &end, 10);
                p = end;
                return out <= 255;
            };
            const char* p = value;
            long number = 0, row = -1;
            bool ok = part(p, number);
            if (ok && *p == ':')
                ok = part(++p, row);
            if (!ok || *p != '\0') {
                std::fprintf(stderr, "vapora-virtual-unit: bad value for --refuse-read\n%s", kUsage);
                return 2;
            }
            refusedReads.emplace_back(static_cast<int>(number), static_cast<int>(row));
            ++i;
        } else if (arg == "--corrupt") {
            line.faults.corrupt = number(0, 100) / 100;
        } else if (arg == "--drop") {
            line.faults.drop = number(0, 100) / 100;
        } else if (arg == "--delay") {
            line.faults.delayMs = static_cast<int>(number(0, 60000));
        } else if (arg == "--silent-after") {
            line.faults.silentAfterMs = static_cast<int>(number(0, 1e9));
        } else if (arg == "--seed") {
            line.faults.seed = static_cast<uint32_t>(number(0, 4294967295.0));
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "vapora-virtual-unit: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }

    const auto targets = vapora::virtualunit::ParseScenario(scenario);
    if (!targets) {
        std::fprintf(stderr, "vapora-virtual-unit: bad scenario '%s'\n", scenario.c_str());
        return 2;
    }

    sernox::SimUnit unit(config);
    unit.SetBatteryLow(batteryLow);
    for (int number : refusedParams)
        unit.RefuseWritesOf(number);
    for (const auto& [number, row] : refusedReads)
        unit.RefuseReadsOf(number, row);
    unit.engine().SetScenario(*targets);
    sernox::wire::UnitServer server(unit);

    termios mode = RawMode(line.baud);
    int fd = -1;
    int keepOpen = -1; // our own hold on the terminal, so a client closing it is no hang-up
    if (port.empty()) {
        char name[128] = {};
        if (::openpty(&fd, &keepOpen, name, &mode, nullptr) != 0) {
            std::perror("vapora-virtual-unit: openpty");
            return 1;
        }
        std::printf("%s\n", name);
    } else {
        fd = ::open(port.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0 || ::tcsetattr(fd, TCSANOW, &mode) != 0) {
            std::perror(("vapora-virtual-unit: " + port).c_str());
            return 1;
        }
        std::printf("%s\n", port.c_str());
    }
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    sernox::wire::LineServer(server, fd, line).Run(g_stop);

    ::close(fd);
    if (keepOpen >= 0)
        ::close(keepOpen);
    return 0;
}
