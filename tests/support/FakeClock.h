#pragma once

#include "model/Clock.h"

#include <vector>

namespace vapora::test {

// Time moves only when the code under test sleeps.
class FakeClock final : public Clock {
public:
    uint32_t now = 0;
    std::vector<uint32_t> sleeps;
    uint32_t TickCount() override { return now; }
    void Sleep(uint32_t ms) override
    {
        sleeps.push_back(ms);
        now += ms;
    }
};

} // namespace vapora::test
