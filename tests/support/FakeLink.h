#pragma once
// A link that records every call and answers as the test says.

#include "link/SerialLink.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vapora::test {

struct LinkCall {
    std::string op;
    int32_t id = 0;
    int32_t a = 0; // index or row
    int32_t b = 0; // column
    int32_t value = 0;
};

class FakeLink final : public SerialLink {
public:
    bool connected = false;
    bool refuseAll = false;
    std::set<int32_t> refusedIds;        // identifiers whose writes are refused
    std::map<int32_t, int32_t> values;   // what single reads answer
    uint8_t statusFlags = 0;
    std::vector<LinkCall> calls;

    void Init(int32_t) override {}
    void Configure(int32_t) override {}
    void AttachScreen(LinkScreen*) override {}
    int32_t IsConnected() override { return connected ? 1 : 0; }
    void Connect() override { connected = true; }
    void Disconnect() override { connected = false; }
    uint8_t GetStatusFlags() override { return statusFlags; }
    void EndProgramming() override {}
    void BeginProgramming() override {}
    bool ReadParam(int32_t id, int32_t* dest) override
    {
        calls.push_back({"read", id});
        auto it = values.find(id);
        if (!connected || it == values.end())
            return false;
        *dest = it->second;
        return true;
    }
    bool ReadParamRow(int32_t id, int32_t*, int32_t row) override
    {
        calls.push_back({"readRow", id, row});
        return false;
    }
    bool ReadLive(int32_t, uint8_t*, int32_t*) override { return false; }
    bool WriteParam(int32_t id, const int32_t* src) override { return Record({"block", id, 0, 0, src[0]}); }
    bool WriteValue(int32_t id, int32_t v) override { return Record({"value", id, 0, 0, v}); }
    bool WriteElement(int32_t id, int32_t i, int32_t v) override { return Record({"element", id, i, 0, v}); }
    bool WriteCell(int32_t id, int32_t r, int32_t c, int32_t v) override { return Record({"cell", id, r, c, v}); }
    bool WriteParamRow(int32_t id, const int32_t* src, int32_t row) override
    {
        return Record({"row", id, row, 0, src[0]});
    }
    bool Identify(uint8_t*) override { return false; }
    bool OpenLink() override { return true; }
    int32_t ProgramFirmware(const char*, int32_t, int32_t, int32_t) override { return 2; }

    size_t WritesTo(int32_t id) const
    {
        size_t n = 0;
        for (const LinkCall& c : calls)
            if (c.id == id && c.op != "read" && c.op != "readRow")
                ++n;
        return n;
    }

private:
    bool Record(const LinkCall& call)
    {
        calls.push_back(call);
        return !refuseAll && refusedIds.count(call.id) == 0;
    }
};

} // namespace vapora::test
