// What a restore point adds to a connect: the whole read (ReadAll) from a unit that paces its
// bytes to 57600 baud over a pseudo-terminal, and beside it the time Take needs for the
// configuration just read, into an empty Storico and into one that already holds years of
// points (of this car and of others). The record's fixed pause after a transfer is left out:
// its clock does not sleep here.

#include "LinkObject.h"
#include "model/ConfCar.h"
#include "model/RestorePoints.h"
#include "sim/SimUnit.h"
#include "wire/LineServer.h"
#include "wire/QtSerialChannel.h"
#include "wire/SerialUnit.h"
#include "wire/UnitServer.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <pty.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vapora;

namespace {

constexpr int kBaud = 57600;

class NoPauseClock final : public Clock {
public:
    uint32_t TickCount() override
    {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    void Sleep(uint32_t) override {}
};

template <class Work>
double Milliseconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median time of `runs` points of `car` (each a little different, so each is written).
double TakeTime(restore::Store& store, ConfCar& car, int runs, restore::TakeStatus& status)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        car.MappaCarburazione[7][19] = (car.MappaCarburazione[7][19] + 1) % 200;
        times.push_back(Milliseconds([&] { status = store.Take(car, restore::Reason::Read).status; }));
        if (status != restore::TakeStatus::Taken)
            return -1;
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    termios raw{};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    sernox::SimUnit remote;
    sernox::wire::UnitServer server(remote);
    sernox::wire::LineOptions options;
    options.baud = kBaud;
    std::atomic<bool> stop{false};
    std::thread serving([&] { sernox::wire::LineServer(server, master, options).Run(stop); });

    sernox::wire::WireTiming timing;
    timing.baud = kBaud;
    sernox::LinkObject link(
        std::make_unique<sernox::wire::SerialUnit>(std::make_unique<sernox::wire::QtSerialChannel>(name, kBaud), timing));
    int status = 1;
    const fs::path home = fs::temp_directory_path() / ("vapora-restore-bench-" + std::to_string(getpid()));
    if (link.OpenLink()) {
        link.Connect();
        NoPauseClock clock;
        ConfCar car("bench.vap", &link, clock);
        const double read = Milliseconds([&] { car.ReadAll(); });
        std::printf("connect (ReadAll at %d baud)        %8.1f ms\n", kBaud, read);

        restore::TakeStatus taken = restore::TakeStatus::Failed;
        fs::create_directories(home);
        restore::Store store(home);
        const double first = Milliseconds([&] { taken = store.Take(car, restore::Reason::Read).status; });
        std::printf("Take, first point of the car           %8.2f ms\n", first);
        const double unchanged = Milliseconds([&] { taken = store.Take(car, restore::Reason::Read).status; });
        std::printf("Take, an identical read (none written) %8.2f ms\n", unchanged);
        const double empty = TakeTime(store, car, 21, taken);
        std::printf("Take, median of 21 in a young Storico  %8.2f ms\n", empty);

        // Years of use: 3000 points of 300 other cars and 200 of this one, spread over time.
        std::mt19937 random(57600);
        const auto now = std::chrono::system_clock::now();
        const std::string own = car.GetConfigName();
        for (int i = 0; i < 3200; ++i) {
            restore::Store past(home, [&] { return now - std::chrono::hours(random() % (5 * 365 * 24)); });
            car.SetConfigName(i < 3000 ? "Auto" + std::to_string(i % 300) : own);
            car.MappaCarburazione[0][0] = i % 200;
            past.Take(car, restore::Reason::FileLoad);
        }
        car.SetConfigName(own);
        const double full = TakeTime(store, car, 21, taken);
        std::printf("Take, median of 21 among 3200 points   %8.2f ms\n", full);
        const double list = Milliseconds([&] { (void)store.List(); });
        std::printf("List of %zu points                    %8.1f ms\n", store.List().size(), list);
        const double thin = Milliseconds([&] { (void)store.Thin(); });
        std::printf("Thin                                   %8.1f ms\n", thin);
        std::printf("Take adds %.1f%% to a connect (goal: under 50 ms)\n", 100.0 * std::max(empty, full) / read);
        status = taken == restore::TakeStatus::Taken && std::max(empty, full) >= 0 ? 0 : 1;
        link.Disconnect();
    } else {
        std::fprintf(stderr, "no answer at %d baud\n", kBaud);
    }
    std::error_code ec;
    fs::remove_all(home, ec);
    stop = true;
    serving.join();
    ::close(master);
    ::close(slave);
    return status;
}
