// The recording reader on any text, then the graph's thinning of every trace
// over a span and a width the input chooses: the thinned points are points of
// the trace in their original order, and every pixel column keeps the lowest
// and the highest value the trace has there, so no spike is lost.

#include "calib/Recording.h"
#include "fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace vapora;

namespace {

void CheckThinning(const std::vector<double>& x, const std::vector<double>& y, bool sorted, double xMin, double xMax,
                   int columns)
{
    std::vector<XY> out;
    DecimateMinMax(x, y, sorted, xMin, xMax, columns, out);

    // Each point drawn is a sample; on a time-ordered trace, later than the one before it.
    std::vector<size_t> drawn;
    size_t from = 0;
    for (const XY& p : out) {
        size_t i = from;
        while (i < x.size() && !(x[i] == p.x && (y[i] == p.y || (std::isnan(y[i]) && std::isnan(p.y)))))
            ++i;
        FUZZ_CHECK(i < x.size());
        drawn.push_back(i);
        from = sorted ? i + 1 : 0;
    }
    if (!(xMax > xMin))
        return;
    // Per pixel column of the span, the extremes of the values (a line without a reading, NaN, has none).
    const double width = (xMax - xMin) / columns;
    auto column = [&](double v) { return std::min<size_t>(static_cast<size_t>((v - xMin) / width), columns - 1); };
    std::vector<double> low(columns, NAN), high(columns, NAN);
    std::vector<double> drawnLow(columns, NAN), drawnHigh(columns, NAN);
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i] < xMin || x[i] > xMax || std::isnan(y[i]))
            continue;
        const size_t c = column(x[i]);
        low[c] = std::isnan(low[c]) ? y[i] : std::min(low[c], y[i]);
        high[c] = std::isnan(high[c]) ? y[i] : std::max(high[c], y[i]);
    }
    for (size_t i : drawn) {
        if (x[i] < xMin || x[i] > xMax || std::isnan(y[i]))
            continue;
        const size_t c = column(x[i]);
        drawnLow[c] = std::isnan(drawnLow[c]) ? y[i] : std::min(drawnLow[c], y[i]);
        drawnHigh[c] = std::isnan(drawnHigh[c]) ? y[i] : std::max(drawnHigh[c], y[i]);
    }
    // NaN marks a column without values in both.
    auto same = [](const std::vector<double>& a, const std::vector<double>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](double u, double v) { return u == v || (std::isnan(u) && std::isnan(v)); });
    };
    FUZZ_CHECK(same(drawnLow, low));
    FUZZ_CHECK(same(drawnHigh, high));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int columns = in.ConsumeIntegralInRange<int>(1, 64);
    const double from = in.ConsumeProbability<double>();
    const double to = in.ConsumeProbability<double>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    Recording r;
    const RecordingResult result = ParseRecording(text, r);
    if (result.status != RecordingStatus::Ok) {
        FUZZ_CHECK(r.size() == 0);
        FUZZ_CHECK(result.badLine >= 3);
        return 0;
    }
    for (const auto& trace : r.traces)
        FUZZ_CHECK(trace.size() == r.size());
    FUZZ_CHECK(r.flag1.size() == r.size() && r.flag2.size() == r.size() && r.temperatureRaw.size() == r.size());
    FUZZ_CHECK(r.timeSorted == std::is_sorted(r.time.begin(), r.time.end()));
    if (r.size() == 0)
        return 0;
    const auto [lo, hi] = std::minmax_element(r.time.begin(), r.time.end());
    const double xMin = *lo + (*hi - *lo) * std::min(from, to);
    const double xMax = *lo + (*hi - *lo) * std::max(from, to);
    for (const auto& trace : r.traces)
        CheckThinning(r.time, trace, r.timeSorted, xMin, xMax, columns);
    return 0;
}
