#pragma once
// Recordings made by code: a drive of any length in the live strip's format,
// for the graph tests, the benchmark and the screenshots.

#include "calib/Recording.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace vapora::test {

// A day of driving squeezed into `lines` records 150 ms apart: idle, pulls
// through the gears, cruising, the probe switching, the reducer warming up.
inline std::string DriveRecording(int lines)
{
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 52 + 200);
    AppendRecordingHeader(text, "venerdi 3 maggio 2002 10:11:12");
    uint32_t seed = 12345;
    auto noise = [&seed](int span) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(span));
    };
    for (int i = 0; i < lines; ++i) {
        const double t = i * 0.15;
        const double cycle = std::fmod(t, 120.0); // two-minute pattern
        double rpm = 850;
        if (cycle > 10 && cycle < 100)
            rpm = 1800 + 1400 * std::sin((cycle - 10) * 0.11) * std::sin((cycle - 10) * 0.035) +
                  900 * std::fabs(std::sin(cycle * 0.02));
        rpm += noise(60);
        const double load = std::clamp((rpm - 700) / 4200.0, 0.05, 1.0);
        RecordLine l;
        l.timeMs = static_cast<uint32_t>(i * 150 + noise(4));
        l.giri = static_cast<int>(rpm);
        l.mapVolts = 0.8 + 3.2 * load;
        l.cumulo = cycle > 10 && std::fmod(cycle, 17.0) < 1.5 ? 80 + noise(60) : noise(5);
        l.tps = 0.55 + 3.5 * load;
        l.lambda = ((i / 6) % 2) ? 0.78 + noise(8) * 0.01 : 0.08 + noise(6) * 0.01;
        l.apertura = static_cast<int>(250 + 300 * load) + noise(10);
        l.arricchimento = l.cumulo > 60 ? 20 + noise(10) : 0;
        l.correttore = static_cast<int>(12 * std::sin(t * 0.05)) + noise(5) - 2;
        l.flag1 = rpm < 900 ? 1 : 2;
        l.flag2 = 24;
        l.pressione = 95 + noise(12) - static_cast<int>(10 * load);
        l.temperaturaRaw = std::max(29, 128 - i / 40);
        AppendRecordLine(text, l);
    }
    return text;
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace vapora::test
