#pragma once
// A simulated unit served on a thread over a real pseudo-terminal, and a link
// object that reaches it through the serial port, as the program would.

#include "LinkObject.h"
#include "sim/SimUnit.h"
#include "wire/LineServer.h"
#include "wire/QtSerialChannel.h"
#include "wire/SerialUnit.h"
#include "wire/UnitServer.h"

#include <atomic>
#include <map>
#include <pty.h>
#include <random>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace sernox::test {

// Short waits so a silent unit is given up in under half a second, with
// room for a busy test machine before a slow answer counts as silence.
inline wire::WireTiming QuickTiming()
{
    wire::WireTiming t;
    t.baud = 115200;
    t.answerMs = 80;
    t.gapMs = 5;
    t.maxSilentAttempts = 4;
    return t;
}

class VirtualLine {
public:
    explicit VirtualLine(Unit& unit, const wire::LineOptions& options = {})
        : server_(unit)
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
            return;
        path_ = name;
        thread_ = std::thread([this, options] {
            wire::LineServer line(server_, master_, options);
            line.Run(stop_);
        });
    }

    ~VirtualLine()
    {
        Stop();
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }

    void Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    const std::string& path() const { return path_; }
    wire::UnitServer& server() { return server_; }

private:
    wire::UnitServer server_;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

inline std::unique_ptr<wire::SerialUnit> SerialUnitOn(const std::string& path,
                                                      const wire::WireTiming& timing = QuickTiming())
{
    return std::make_unique<wire::SerialUnit>(
        std::make_unique<wire::QtSerialChannel>(QString::fromStdString(path), timing.baud), timing);
}

// Every parameter the program can change, filled with in-range values.
inline void FillRandomly(ParamStore& store, uint32_t seed)
{
    std::mt19937 random(seed);
    for (const ParamDef& def : ParamTable()) {
        if (def.readOnly)
            continue;
        std::uniform_int_distribution<int32_t> value(def.minValue(), def.maxValue());
        for (int i = 0; i < def.count(); ++i)
            store.Set(def.number, i, value(random));
    }
}

// The unit's memory but for the ready status, which changes as it is polled.
inline std::map<int, std::vector<int32_t>> Snapshot(const ParamStore& store)
{
    std::map<int, std::vector<int32_t>> out;
    for (const ParamDef& def : ParamTable()) {
        if (def.number == 2)
            continue;
        for (int i = 0; i < def.count(); ++i)
            out[def.number].push_back(store.Get(def.number, i));
    }
    return out;
}

} // namespace sernox::test
