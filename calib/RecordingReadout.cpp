#include "calib/RecordingReadout.h"

#include "model/Ntc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vapora {
namespace {

constexpr RecordingField kFields[kRecordingFields] = {
    {"TEMPO", "ms", true},   {"GIRI", "rpm", true},  {"MAP", "V", false},  {"CUMULO", "", true},
    {"TPS", "V", false},     {"LAMBDA", "V", false}, {"APERT.", "", true}, {"ARRIC.", "", true},
    {"CORRET.", "", true},   {"FLAG1", "", true},    {"FLAG2", "", true},  {"PRESS.", "bar", false},
    {"TEMP.", "", true},
};

// The factor each trace was drawn with, undone; 0 where the trace is the value itself.
constexpr double kUndo[kRecordingTraces] = {1000, 0, 100, 0, 0, 100, 10, 10, 0, 0};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Celsius(int32_t raw)
{
    if (raw <= 0 || raw >= 255)
        return kNaN; // the sensor gave no reading
    return NtcRawToCelsius(raw);
}

int64_t Ms(double seconds) { return std::llround(seconds * 1000.0); }

std::string WithDecimal(std::string text, char decimal)
{
    if (decimal != '.')
        std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

int MinDecimals(int trace)
{
    switch (UnitOfTrace(trace)) {
    case TraceUnit::Volt:
    case TraceUnit::Bar: return 2;
    case TraceUnit::Celsius: return 1;
    default: return 0;
    }
}

} // namespace

const RecordingField& RecordingFieldInfo(int field) { return kFields[std::clamp(field, 0, kRecordingFields - 1)]; }

int64_t RecordingTimeMs(const Recording& r, size_t row) { return Ms(r.time[row]); }

double RecordingFieldValue(const Recording& r, int field, size_t row)
{
    switch (field) {
    case 0: return static_cast<double>(RecordingTimeMs(r, row));
    case 1: return std::round(r.traces[0][row] * 1000);
    case 2: return r.traces[1][row];
    case 3: return std::round(r.traces[2][row] * 100);
    case 4: return r.traces[3][row];
    case 5: return r.traces[4][row];
    case 6: return std::round(r.traces[5][row] * 100);
    case 7: return std::round(r.traces[6][row] * 10);
    case 8: return std::round(r.traces[7][row] * 10);
    case 9: return r.flag1[row];
    case 10: return r.flag2[row];
    case 11: return r.traces[8][row];
    case 12: return r.temperatureRaw[row];
    default: return kNaN;
    }
}

TraceUnit UnitOfTrace(int trace)
{
    switch (trace) {
    case 0: return TraceUnit::Rpm;
    case 1:
    case 3:
    case 4: return TraceUnit::Volt;
    case 8: return TraceUnit::Bar;
    case 9: return TraceUnit::Celsius;
    default: return TraceUnit::None;
    }
}

double TraceValue(const Recording& r, int trace, size_t row)
{
    if (trace == 9)
        return Celsius(r.temperatureRaw[row]);
    const double drawn = r.traces[trace][row];
    return kUndo[trace] != 0 ? std::round(drawn * kUndo[trace]) : drawn;
}

size_t NearestSample(const Recording& r, double ms)
{
    const size_t n = r.size();
    if (n == 0)
        return kNoSample;
    const double t = ms / 1000.0;
    if (!r.timeSorted) {
        size_t best = 0;
        for (size_t i = 1; i < n; ++i)
            if (std::fabs(r.time[i] - t) < std::fabs(r.time[best] - t))
                best = i;
        return best;
    }
    const size_t at = static_cast<size_t>(std::lower_bound(r.time.begin(), r.time.end(), t) - r.time.begin());
    if (at == 0)
        return 0;
    if (at == n)
        return n - 1;
    // The earlier of two equally near lines; among equal times, the first.
    size_t before = at - 1;
    while (before > 0 && r.time[before - 1] == r.time[before])
        --before;
    return t - r.time[before] <= r.time[at] - t ? before : at;
}

RowSpan RowsBetween(const Recording& r, int64_t fromMs, int64_t toMs)
{
    if (fromMs > toMs)
        std::swap(fromMs, toMs);
    auto first = std::partition_point(r.time.begin(), r.time.end(), [fromMs](double t) { return Ms(t) < fromMs; });
    auto end = std::partition_point(first, r.time.end(), [toMs](double t) { return Ms(t) <= toMs; });
    return {static_cast<size_t>(first - r.time.begin()), static_cast<size_t>(end - r.time.begin())};
}

void RecordingStatistics::Build(const Recording& r)
{
    // One pass over the drawn columns. Undoing a factor and rounding keeps
    // the order of values, so a block's extremes are undone once at the end.
    static const auto celsius = [] {
        std::array<double, 256> table{};
        for (int raw = 0; raw < 256; ++raw)
            table[raw] = Celsius(raw);
        return table;
    }();
    rows_ = r.size();
    const size_t blocks = (rows_ + kBlock - 1) / kBlock;
    for (int trace = 0; trace < kRecordingTraces; ++trace) {
        auto& out = blocks_[trace];
        out.assign(blocks, Block{0, 0, 0, 0});
        for (size_t b = 0; b < blocks; ++b) {
            const size_t from = b * kBlock, to = std::min(rows_, from + kBlock);
            double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
            size_t count = 0;
            auto take = [&](double v) {
                if (std::isnan(v))
                    return;
                lo = std::min(lo, v);
                hi = std::max(hi, v);
                sum += v;
                ++count;
            };
            if (trace == 9) {
                for (size_t i = from; i < to; ++i) {
                    const int32_t raw = r.temperatureRaw[i];
                    take(raw > 0 && raw < 255 ? celsius[static_cast<size_t>(raw)] : kNaN);
                }
            } else {
                const std::vector<double>& drawn = r.traces[trace];
                for (size_t i = from; i < to; ++i)
                    take(drawn[i]);
                if (kUndo[trace] != 0 && count > 0) {
                    lo = std::round(lo * kUndo[trace]);
                    hi = std::round(hi * kUndo[trace]);
                    sum *= kUndo[trace];
                }
            }
            out[b] = {lo, hi, sum, count};
        }
    }
}

void RecordingStatistics::Add(const Recording& r, int trace, size_t from, size_t to, TraceStats& s,
                              double& sum) const
{
    for (size_t i = from; i < to; ++i) {
        const double v = TraceValue(r, trace, i);
        if (std::isnan(v))
            continue;
        if (s.count == 0 || v < s.min)
            s.min = v;
        if (s.count == 0 || v > s.max)
            s.max = v;
        sum += v;
        ++s.count;
    }
}

TraceStats RecordingStatistics::Between(const Recording& r, int trace, int64_t fromMs, int64_t toMs) const
{
    TraceStats s;
    if (trace < 0 || trace >= kRecordingTraces || r.size() == 0)
        return s;
    if (fromMs > toMs)
        std::swap(fromMs, toMs);
    double sum = 0;
    if (!r.timeSorted || rows_ != r.size()) {
        // No order to bisect: every line is looked at.
        for (size_t i = 0; i < r.size(); ++i) {
            const int64_t t = RecordingTimeMs(r, i);
            if (t >= fromMs && t <= toMs)
                Add(r, trace, i, i + 1, s, sum);
        }
    } else {
        const RowSpan span = RowsBetween(r, fromMs, toMs);
        size_t i = span.first;
        const size_t end = span.end;
        const size_t headEnd = std::min(end, (i + kBlock - 1) / kBlock * kBlock);
        Add(r, trace, i, headEnd, s, sum);
        i = headEnd;
        for (; i + kBlock <= end; i += kBlock) {
            const Block& b = blocks_[trace][i / kBlock];
            if (b.count == 0)
                continue;
            s.min = s.count == 0 ? b.min : std::min(s.min, b.min);
            s.max = s.count == 0 ? b.max : std::max(s.max, b.max);
            sum += b.sum;
            s.count += b.count;
        }
        Add(r, trace, i, end, s, sum);
    }
    if (s.count > 0)
        s.mean = sum / static_cast<double>(s.count);
    return s;
}

ReadoutColumn ReadoutAt(const Recording& r, double ms, bool withinSpan)
{
    ReadoutColumn c;
    c.values.fill(kNaN);
    const size_t row = NearestSample(r, ms);
    if (row == kNoSample)
        return c;
    if (withinSpan) {
        double first = r.time.front(), last = r.time.back();
        if (!r.timeSorted) {
            const auto [lo, hi] = std::minmax_element(r.time.begin(), r.time.end());
            first = *lo;
            last = *hi;
        }
        if (ms < static_cast<double>(Ms(first)) || ms > static_cast<double>(Ms(last)))
            return c;
    }
    c.row = row;
    c.timeMs = RecordingTimeMs(r, row);
    for (int trace = 0; trace < kRecordingTraces; ++trace)
        c.values[trace] = TraceValue(r, trace, row);
    return c;
}

int64_t OverlayOffsetMs(const Recording& first, const Recording& second, int64_t shiftMs)
{
    if (first.size() == 0 || second.size() == 0)
        return shiftMs;
    return RecordingTimeMs(first, 0) - RecordingTimeMs(second, 0) + shiftMs;
}

int64_t SampleStepMs(const Recording& r)
{
    const size_t n = r.size();
    if (n < 2)
        return 150;
    const int64_t span = RecordingTimeMs(r, n - 1) - RecordingTimeMs(r, 0);
    return std::max<int64_t>(1, std::llround(static_cast<double>(span) / static_cast<double>(n - 1)));
}

std::string ExactNumber(double value, int minDecimals, char decimal)
{
    if (!std::isfinite(value))
        return {};
    char buffer[400]; // room for any double in fixed notation
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of("eE") != std::string::npos) {
        // Far outside what a recorder writes; fixed notation keeps it readable.
        const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        text.assign(buffer, fixed.ptr);
    }
    const size_t dot = text.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
    if (decimals < minDecimals) {
        if (dot == std::string::npos)
            text += '.';
        text.append(static_cast<size_t>(minDecimals - decimals), '0');
    }
    return WithDecimal(text, decimal);
}

std::string FixedNumber(double value, int decimals, char decimal)
{
    if (!std::isfinite(value))
        return {};
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    // A small negative mean rounded to nothing reads as zero.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return WithDecimal(text, decimal);
}

std::string SecondsText(int64_t ms, char decimal)
{
    const bool negative = ms < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ms) : static_cast<uint64_t>(ms);
    std::string fraction = std::to_string(magnitude % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / 1000) + decimal + fraction;
}

std::string TraceValueText(int trace, double value, char decimal)
{
    if (UnitOfTrace(trace) == TraceUnit::Celsius)
        return FixedNumber(value, 1, decimal); // worked out from the sensor curve, not in the file
    return ExactNumber(value, MinDecimals(trace), decimal);
}

std::string TraceMeanText(int trace, double mean, char decimal)
{
    return FixedNumber(mean, MinDecimals(trace) + 1, decimal);
}

std::string CsvExport(const Recording& r, int64_t fromMs, int64_t toMs, const CsvFormat& format, size_t* lines)
{
    if (fromMs > toMs)
        std::swap(fromMs, toMs);
    std::string out;
    for (int f = 0; f < kRecordingFields; ++f) {
        if (f > 0)
            out += format.separator;
        out += kFields[f].name;
        if (kFields[f].unit[0] != '\0')
            out += std::string(" (") + kFields[f].unit + ')';
    }
    out += "\r\n";

    size_t from = 0, end = r.size();
    if (r.timeSorted) {
        const RowSpan span = RowsBetween(r, fromMs, toMs);
        from = span.first;
        end = span.end;
    }
    size_t count = 0;
    out.reserve(out.size() + (end - from) * 60);
    for (size_t row = from; row < end; ++row) {
        const int64_t t = RecordingTimeMs(r, row);
        if (t < fromMs || t > toMs)
            continue;
        for (int f = 0; f < kRecordingFields; ++f) {
            if (f > 0)
                out += format.separator;
            const double v = RecordingFieldValue(r, f, row);
            if (kFields[f].integer)
                out += std::to_string(static_cast<int64_t>(v));
            else
                out += ExactNumber(v, 0, format.decimal);
        }
        out += "\r\n";
        ++count;
    }
    if (lines != nullptr)
        *lines = count;
    return out;
}

} // namespace vapora
