#pragma once
// Time as the record sees it: a millisecond tick count and a sleep. Tests pass a
// fake clock so that the transfer pause and the ready polling cost no real time.

#include <cstdint>

namespace vapora {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// The real clock (steady time since the first call).
Clock& SystemClock();

} // namespace vapora
