// Times a full ReadAll and WriteAll over a pseudo-terminal to a unit that
// paces its bytes to 19200, 57600 and 115200 baud, and sets each time beside
// the line time of the bytes that crossed (payload and framing, both ways).
// The record's fixed 400 ms pause after a transfer is left out: its clock
// does not sleep here.

#include "LinkObject.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "wire/LineServer.h"
#include "wire/QtSerialChannel.h"
#include "wire/SerialUnit.h"
#include "wire/UnitServer.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

class NoPauseClock final : public vapora::Clock {
public:
    uint32_t TickCount() override
    {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    void Sleep(uint32_t) override {}
};

struct Figures {
    double seconds = 0;
    uint64_t bytes = 0;
    uint64_t retries = 0;
};

template <class Transfer>
Figures Measure(const sernox::wire::SerialUnit& unit, Transfer transfer)
{
    const auto& client = unit.client();
    const uint64_t before = client.BytesSent() + client.BytesReceived();
    const uint64_t retriesBefore = client.Retries();
    const auto start = std::chrono::steady_clock::now();
    transfer();
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.bytes = client.BytesSent() + client.BytesReceived() - before;
    f.retries = client.Retries() - retriesBefore;
    return f;
}

void Print(const char* what, int baud, const Figures& f)
{
    const double wire = static_cast<double>(f.bytes) * 10.0 / baud;
    std::printf("%-9s %7d  %6llu bytes  wire %7.3f s  measured %7.3f s  ratio %.2f  retries %llu\n", what, baud,
                static_cast<unsigned long long>(f.bytes), wire, f.seconds, f.seconds / wire,
                static_cast<unsigned long long>(f.retries));
}

bool RunAt(int baud)
{
    termios raw{};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::perror("openpty");
        return false;
    }
    sernox::SimUnit remote;
    sernox::wire::UnitServer server(remote);
    sernox::wire::LineOptions options;
    options.baud = baud;
    std::atomic<bool> stop{false};
    std::thread serving([&] { sernox::wire::LineServer(server, master, options).Run(stop); });

    sernox::wire::WireTiming timing;
    timing.baud = baud;
    auto owned = std::make_unique<sernox::wire::SerialUnit>(
        std::make_unique<sernox::wire::QtSerialChannel>(QString::fromLatin1(name), baud), timing);
    const sernox::wire::SerialUnit& unit = *owned;
    sernox::LinkObject link(std::move(owned));
    bool ok = link.OpenLink();
    if (ok) {
        link.Connect();
        NoPauseClock clock;
        vapora::ConfCar car("bench.mur", &link, clock);
        Print("ReadAll", baud, Measure(unit, [&] { car.ReadAll(); }));
        Print("WriteAll", baud, Measure(unit, [&] { car.WriteAll(); }));
        ok = link.IsConnected() == 1;
        link.Disconnect();
    } else {
        std::fprintf(stderr, "no answer at %d baud\n", baud);
    }
    stop = true;
    serving.join();
    ::close(master);
    ::close(slave);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bool ok = true;
    for (int baud : {19200, 57600, 115200})
        ok = RunAt(baud) && ok;
    return ok ? 0 : 1;
}
