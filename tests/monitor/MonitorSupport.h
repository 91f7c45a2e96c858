#pragma once
// Links for the monitoring window tests: one that forwards to the simulated
// unit and logs every write in order, one that answers live blocks as scripted.

#include "services/AppContext.h"
#include "LinkObject.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <array>
#include <memory>
#include <vector>

namespace vapora::test {

struct LoggedWrite {
    int32_t id;
    int32_t index;
    int32_t value;
};

class LoggingLink final : public SerialLink {
public:
    explicit LoggingLink(sernox::LinkObject& inner) : inner_(inner) {}
    std::vector<LoggedWrite> writes;

    void Init(int32_t m) override { inner_.Init(m); }
    void Configure(int32_t o) override { inner_.Configure(o); }
    void AttachScreen(LinkScreen* s) override { inner_.AttachScreen(s); }
    int32_t IsConnected() override { return inner_.IsConnected(); }
    void Connect() override { inner_.Connect(); }
    void Disconnect() override { inner_.Disconnect(); }
    uint8_t GetStatusFlags() override { return inner_.GetStatusFlags(); }
    void EndProgramming() override { inner_.EndProgramming(); }
    void BeginProgramming() override { inner_.BeginProgramming(); }
    bool ReadParam(int32_t id, int32_t* d) override { return inner_.ReadParam(id, d); }
    bool ReadParamRow(int32_t id, int32_t* d, int32_t r) override { return inner_.ReadParamRow(id, d, r); }
    bool ReadLive(int32_t b, uint8_t* buf, int32_t* len) override { return inner_.ReadLive(b, buf, len); }
    bool WriteParam(int32_t id, const int32_t* s) override { return Log(id, -1, s[0]) && inner_.WriteParam(id, s); }
    bool WriteValue(int32_t id, int32_t v) override { return Log(id, -1, v) && inner_.WriteValue(id, v); }
    bool WriteElement(int32_t id, int32_t i, int32_t v) override
    {
        return Log(id, i, v) && inner_.WriteElement(id, i, v);
    }
    bool WriteCell(int32_t id, int32_t r, int32_t c, int32_t v) override { return inner_.WriteCell(id, r, c, v); }
    bool WriteParamRow(int32_t id, const int32_t* s, int32_t r) override { return inner_.WriteParamRow(id, s, r); }
    bool Identify(uint8_t* b) override { return inner_.Identify(b); }
    bool OpenLink() override { return inner_.OpenLink(); }
    int32_t ProgramFirmware(const char* p, int32_t a, int32_t b, int32_t c) override
    {
        return inner_.ProgramFirmware(p, a, b, c);
    }

private:
    bool Log(int32_t id, int32_t index, int32_t value)
    {
        writes.push_back({id, index, value});
        return true;
    }
    sernox::LinkObject& inner_;
};

// The simulated unit behind a logging link, a record read from it, and the context.
struct SimBench {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> object;
    std::unique_ptr<LoggingLink> link;
    FakeClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<ConfCar> car;
    AppContext ctx;

    SimBench()
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        object = std::make_unique<sernox::LinkObject>(std::move(sim));
        link = std::make_unique<LoggingLink>(*object);
        link->OpenLink();
        link->Connect();
        ctx.link = link.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
    }

    // Reads identification and configuration, as a connection does.
    ConfCar& Connect()
    {
        car = std::make_unique<ConfCar>("default.vap", link.get(), clock);
        car->ReadIdentification();
        car->ReadAll();
        car->WriteThrough = true;
        ctx.car = car.get();
        link->writes.clear();
        return *car;
    }
};

// Answers engine blocks as the test sets them; parameter reads fail, so the
// record keeps the values the test put in it.
class ScriptedLiveLink final : public SerialLink {
public:
    bool connected = true;
    bool failLive = false;
    std::array<uint8_t, kLiveBufferSize> block{};
    int32_t length = 12;
    int liveReads = 0;

    void Init(int32_t) override {}
    void Configure(int32_t) override {}
    void AttachScreen(LinkScreen*) override {}
    int32_t IsConnected() override { return connected ? 1 : 0; }
    void Connect() override { connected = true; }
    void Disconnect() override { connected = false; }
    uint8_t GetStatusFlags() override { return 0; }
    void EndProgramming() override {}
    void BeginProgramming() override {}
    bool ReadParam(int32_t, int32_t*) override { return false; }
    bool ReadParamRow(int32_t, int32_t*, int32_t) override { return false; }
    bool ReadLive(int32_t selector, uint8_t* buffer, int32_t* len) override
    {
        ++liveReads;
        if (failLive || selector != 0 || *len < length)
            return false;
        std::copy(block.begin(), block.begin() + length, buffer);
        *len = length;
        return true;
    }
    bool WriteParam(int32_t, const int32_t*) override { return true; }
    bool WriteValue(int32_t, int32_t) override { return true; }
    bool WriteElement(int32_t, int32_t, int32_t) override { return true; }
    bool WriteCell(int32_t, int32_t, int32_t, int32_t) override { return true; }
    bool WriteParamRow(int32_t, const int32_t*, int32_t) override { return true; }
    bool Identify(uint8_t*) override { return false; }
    bool OpenLink() override { return true; }
    int32_t ProgramFirmware(const char*, int32_t, int32_t, int32_t) override { return 2; }
};

} // namespace vapora::test
