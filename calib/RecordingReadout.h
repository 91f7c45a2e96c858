#pragma once
// Reading values off a recording: every field of a line as the file has it,
// the line nearest a moment, the traces' minimum, maximum and mean between two
// moments, a second recording laid over the first, and lines exported as CSV.
// Moments are whole milliseconds of the file's TEMPO column wherever a range
// is compared, so a line on a cursor is always inside that cursor's range.

#include "calib/Recording.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vapora {

constexpr int kRecordingFields = 13;

struct RecordingField {
    const char* name; // the header word of the file
    const char* unit; // empty where the file gives none
    bool integer;
};
// Fields in file order: TEMPO ... FLAG1, FLAG2, PRESS., TEMP.
const RecordingField& RecordingFieldInfo(int field);

// Field 0..12 of a line exactly as written in the file. The drawn traces keep
// scaled values; integer fields are rounded back, which is exact in their range.
double RecordingFieldValue(const Recording& r, int field, size_t row);
int64_t RecordingTimeMs(const Recording& r, size_t row);

enum class TraceUnit { None, Rpm, Volt, Bar, Celsius };
TraceUnit UnitOfTrace(int trace);

// A trace's value in its own unit, without the chart's factor: rpm, volts,
// bar, the reducer in degrees Celsius. NaN where the line has no reading
// (a temperature byte of 0 or 255).
double TraceValue(const Recording& r, int trace, size_t row);

constexpr size_t kNoSample = static_cast<size_t>(-1);
// The line whose time is nearest; the earlier one on a tie. kNoSample when empty.
size_t NearestSample(const Recording& r, double ms);

// First and one-past-last line of the time-ordered span a recording covers
// between two moments (inclusive, either order); only for sorted recordings.
struct RowSpan {
    size_t first = 0;
    size_t end = 0;
};
RowSpan RowsBetween(const Recording& r, int64_t fromMs, int64_t toMs);

struct TraceStats {
    double min = 0;
    double max = 0;
    double mean = 0;
    size_t count = 0; // lines with a reading; the rest is meaningless at 0
};

// Trace statistics between two moments. Summaries of fixed blocks of lines,
// made once, keep a query over millions of lines to a few thousand values.
class RecordingStatistics {
public:
    void Build(const Recording& r);
    // Lines whose time lies between the two moments, both included, either order.
    TraceStats Between(const Recording& r, int trace, int64_t fromMs, int64_t toMs) const;

    static constexpr size_t kBlock = 1024;

private:
    struct Block {
        double min;
        double max;
        double sum;
        size_t count;
    };
    void Add(const Recording& r, int trace, size_t from, size_t to, TraceStats& s, double& sum) const;
    std::array<std::vector<Block>, kRecordingTraces> blocks_;
    size_t rows_ = 0;
};

// What the readout shows of one recording at the cursor.
struct ReadoutColumn {
    size_t row = kNoSample;  // the nearest line, kNoSample when none
    int64_t timeMs = 0;      // that line's time, on the recording's own clock
    std::array<double, kRecordingTraces> values{};
};
// The nearest line to `ms` (on the recording's own clock). With `withinSpan`
// a moment before the first line or after the last gives no line, so a
// shorter second recording shows nothing where it has no data.
ReadoutColumn ReadoutAt(const Recording& r, double ms, bool withinSpan);

// A second recording's clock laid over the first: both start together, then
// the second moves by shiftMs. Add the result to the second's times.
int64_t OverlayOffsetMs(const Recording& first, const Recording& second, int64_t shiftMs);
// A recording's step from line to line in whole milliseconds: its mean
// interval, or 150 (the recorder's tick) with fewer than two lines.
int64_t SampleStepMs(const Recording& r);

// Number texts. The shortest text that reads back as the same number, padded
// to at least minDecimals; fixed decimals; milliseconds as seconds.
std::string ExactNumber(double value, int minDecimals, char decimal = '.');
std::string FixedNumber(double value, int decimals, char decimal = '.');
std::string SecondsText(int64_t ms, char decimal = '.');
// A trace's value as the readout shows it, without its unit: whole numbers,
// volts and bar with at least two decimals, degrees with one. Empty for NaN.
std::string TraceValueText(int trace, double value, char decimal = '.');
// A mean carries one decimal more than the values.
std::string TraceMeanText(int trace, double mean, char decimal = '.');

struct CsvFormat {
    char separator = ';';
    char decimal = ',';
};
// The header line with the field names and their units, then one line per
// line of the recording between the two moments (both included) in file
// order, each with all 13 fields as the file has them. CR LF line breaks.
std::string CsvExport(const Recording& r, int64_t fromMs, int64_t toMs, const CsvFormat& format,
                      size_t* lines = nullptr);

} // namespace vapora
