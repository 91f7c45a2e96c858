#include "model/Clock.h"

#include <chrono>
#include <thread>

namespace vapora {
namespace {

class SteadyClock final : public Clock {
public:
    uint32_t TickCount() override
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start_).count());
    }
    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

Clock& SystemClock()
{
    static SteadyClock clock;
    return clock;
}

} // namespace vapora
