#include "calib/Recording.h"

#include "model/Ntc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

namespace vapora {
namespace {

// Field order of a record: the scanner mirrors "%d %d %f %d %f %f %d %d %d %*d %*d %f %d".
enum class Field { Int, Real };
constexpr Field kPattern[] = {Field::Int, Field::Int,  Field::Real, Field::Int, Field::Real, Field::Real, Field::Int,
                              Field::Int, Field::Int,  Field::Int,  Field::Int, Field::Real, Field::Int};
constexpr int kFields = 13;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

const char* SkipSpace(const char* p, const char* end)
{
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

// Decimal integer with an optional sign, as %d takes it; false past int's range.
bool ScanInt(const char*& p, const char* end, double& value)
{
    p = SkipSpace(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p >= end || *p < '0' || *p > '9')
        return false;
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p++ - '0');
        if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<double>(v);
    return true;
}

bool ScanReal(const char*& p, const char* end, double& value)
{
    p = SkipSpace(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    // from_chars takes no sign of its own here; it is handled above.
    if (p >= end || *p == '+' || *p == '-')
        return false;
    const auto [next, ec] = std::from_chars(p, end, value, std::chars_format::general);
    if (ec != std::errc())
        return false;
    p = next;
    if (negative)
        value = -value;
    return true;
}

// The 13 fields of one line, or false at the first that is not there.
bool ScanLine(const char* p, const char* end, double (&fields)[kFields])
{
    for (int i = 0; i < kFields; ++i) {
        const bool ok = kPattern[i] == Field::Int ? ScanInt(p, end, fields[i]) : ScanReal(p, end, fields[i]);
        if (!ok)
            return false;
    }
    return true; // anything after the last field is ignored, as the pattern does
}

struct TemperatureTable {
    double values[256];
    TemperatureTable()
    {
        for (int raw = 0; raw < 256; ++raw)
            values[raw] = raw == 0 ? -10.0 : NtcRawToCelsius(raw) * 0.1;
    }
};

} // namespace

void Recording::clear()
{
    time.clear();
    for (auto& t : traces)
        t.clear();
    flag1.clear();
    flag2.clear();
    temperatureRaw.clear();
    timeSorted = true;
}

double RecordingTemperature(int raw)
{
    static const TemperatureTable table;
    if (raw >= 0 && raw < 256)
        return table.values[raw];
    return NtcRawToCelsius(raw) * 0.1;
}

RecordingResult ParseRecording(std::string_view text, Recording& out)
{
    out.clear();
    const char* p = text.data();
    const char* const end = p + text.size();

    // Two header lines, whatever their length.
    for (int i = 0; i < 2 && p < end; ++i) {
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
        p = nl != nullptr ? static_cast<const char*>(nl) + 1 : end;
    }

    const size_t estimate = static_cast<size_t>(end - p) / 48 + 1;
    out.time.reserve(estimate);
    for (auto& t : out.traces)
        t.reserve(estimate);
    out.flag1.reserve(estimate);
    out.flag2.reserve(estimate);
    out.temperatureRaw.reserve(estimate);

    size_t lineNumber = 2;
    double f[kFields];
    double lastTime = -std::numeric_limits<double>::infinity();
    while (p < end) {
        ++lineNumber;
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
        const char* lineEnd = nl != nullptr ? static_cast<const char*>(nl) : end;
        if (!ScanLine(p, lineEnd, f)) {
            out.clear();
            return {RecordingStatus::BadFormat, lineNumber};
        }
        p = nl != nullptr ? lineEnd + 1 : end;

        const double t = f[0] / 1000.0;
        if (t < lastTime)
            out.timeSorted = false;
        lastTime = t;
        out.time.push_back(t);
        out.traces[0].push_back(f[1] * 0.001);
        out.traces[1].push_back(f[2]);
        out.traces[2].push_back(f[3] * 0.01);
        out.traces[3].push_back(f[4]);
        out.traces[4].push_back(f[5]);
        out.traces[5].push_back(f[6] * 0.01);
        out.traces[6].push_back(f[7] * 0.1);
        out.traces[7].push_back(f[8] * 0.1);
        out.traces[8].push_back(f[11]);
        out.traces[9].push_back(RecordingTemperature(static_cast<int>(f[12])));
        // The flag bytes are not drawn; kept for the export.
        out.flag1.push_back(static_cast<int32_t>(f[9]));
        out.flag2.push_back(static_cast<int32_t>(f[10]));
        out.temperatureRaw.push_back(static_cast<int32_t>(f[12]));
    }
    return {};
}

RecordingResult ReadRecording(const std::string& path, Recording& out)
{
    out.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return {RecordingStatus::Missing, 0};
    if (!std::filesystem::is_regular_file(status))
        return {RecordingStatus::CannotOpen, 0};

    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {RecordingStatus::CannotOpen, 0};
    std::string text;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        text.reserve(static_cast<size_t>(size) + 1);
    char chunk[1 << 16];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return {RecordingStatus::CannotOpen, 0};
    return ParseRecording(text, out);
}

void AppendRecordingHeader(std::string& out, const std::string& dateTime)
{
    out += "Acquisizione VAPORA, ";
    out += dateTime;
    out += "\r\nTEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP.";
}

void AppendRecordLine(std::string& out, const RecordLine& l)
{
    auto hundredths = [](double v) { return std::trunc(v * 100) * 0.01; };
    char line[256];
    std::snprintf(line, sizeof line, "\r\n%u\t%d\t%g\t%d\t%g\t%g\t%d\t%d\t%d\t%d\t%d\t%g\t%d", l.timeMs, l.giri,
                  hundredths(l.mapVolts), l.cumulo, hundredths(l.tps), hundredths(l.lambda), l.apertura,
                  l.arricchimento, l.correttore, l.flag1, l.flag2, l.pressione * 0.01, l.temperaturaRaw);
    out += line;
}

void DecimateMinMax(const std::vector<double>& x, const std::vector<double>& y, bool xSorted, double xMin,
                    double xMax, int columns, std::vector<XY>& out)
{
    out.clear();
    const size_t n = std::min(x.size(), y.size());
    if (n == 0)
        return;
    columns = std::max(columns, 1);

    size_t lo = 0;
    size_t hi = n;
    if (xSorted) {
        lo = static_cast<size_t>(std::lower_bound(x.begin(), x.begin() + n, xMin) - x.begin());
        hi = static_cast<size_t>(std::upper_bound(x.begin(), x.begin() + n, xMax) - x.begin());
        // The neighbours outside the view carry the line to its edges.
        if (lo > 0)
            --lo;
        if (hi < n)
            ++hi;
        if (hi - lo <= static_cast<size_t>(2 * columns)) {
            out.reserve(hi - lo);
            for (size_t i = lo; i < hi; ++i)
                out.push_back({x[i], y[i]});
            return;
        }
    }

    const double width = xMax > xMin ? (xMax - xMin) / columns : 0;
    constexpr size_t kNone = std::numeric_limits<size_t>::max();
    struct Bin {
        size_t lowest = kNone;
        size_t highest = kNone;
    };
    std::vector<Bin> bins(static_cast<size_t>(columns));
    size_t before = kNone; // sorted data: the points just outside the view
    size_t after = kNone;
    for (size_t i = lo; i < hi; ++i) {
        const double xi = x[i];
        if (xi < xMin) {
            before = i;
            continue;
        }
        if (xi > xMax) {
            if (after == kNone)
                after = i;
            continue;
        }
        size_t col = width > 0 ? static_cast<size_t>((xi - xMin) / width) : 0;
        col = std::min(col, bins.size() - 1);
        Bin& b = bins[col];
        // A line without a reading (NaN) compares false with everything: kept first, it would
        // hide the column's real extremes, so any value takes its place.
        if (b.lowest == kNone || std::isnan(y[b.lowest]) || y[i] < y[b.lowest])
            b.lowest = i;
        if (b.highest == kNone || std::isnan(y[b.highest]) || y[i] > y[b.highest])
            b.highest = i;
    }
    if (!xSorted)
        before = after = kNone; // no line order to continue

    out.reserve(2 * bins.size() + 2);
    if (before != kNone)
        out.push_back({x[before], y[before]});
    for (const Bin& b : bins) {
        if (b.lowest == kNone)
            continue;
        const size_t first = std::min(b.lowest, b.highest);
        const size_t second = std::max(b.lowest, b.highest);
        out.push_back({x[first], y[first]});
        if (second != first)
            out.push_back({x[second], y[second]});
    }
    if (after != kNone)
        out.push_back({x[after], y[after]});
}

ValueRange RangeOf(const std::vector<double>& values)
{
    ValueRange r;
    for (double v : values) {
        if (!std::isfinite(v))
            continue;
        if (!r.valid) {
            r = {v, v, true};
            continue;
        }
        r.min = std::min(r.min, v);
        r.max = std::max(r.max, v);
    }
    return r;
}

AxisTicks RoundTicks(double min, double max, int intervals)
{
    AxisTicks t;
    t.anchor = std::isfinite(min) ? min : 0;
    const double span = max - min;
    if (!std::isfinite(span) || span <= 0 || intervals < 1)
        return t;
    const double raw = span / intervals;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double r = raw / magnitude;
    t.step = (r <= 1 ? 1 : r <= 2 ? 2 : r <= 5 ? 5 : 10) * magnitude;
    // A hair of tolerance so a range that starts on a tick keeps it.
    t.anchor = std::ceil(min / t.step - 1e-9) * t.step;
    t.decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(t.step) - 1e-9)));
    return t;
}

} // namespace vapora
