#pragma once
// Acquisition (recording) files: a title line, a column header line, then one
// tab-separated record per line. The graph reads them in one pass into one
// column per trace, and draws each trace thinned to the visible pixel columns.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vapora {

constexpr int kRecordingTraces = 10;

// Trace order: 0 speed x 0.001, 1 MAP V, 2 throttle variation x 0.01, 3 TPS V,
// 4 lambda V, 5 opening x 0.01, 6 enrichment x 0.1, 7 correction x 0.1,
// 8 pressure bar, 9 reducer temperature C x 0.1 (raw 0 plotted as -10).
struct Recording {
    std::vector<double> time; // seconds
    std::array<std::vector<double>, kRecordingTraces> traces;
    // What the traces do not carry: the two flag bytes and the raw temperature
    // byte, so every field of a line can be given back as the file has it.
    std::vector<int32_t> flag1;
    std::vector<int32_t> flag2;
    std::vector<int32_t> temperatureRaw;
    bool timeSorted = true;   // lets the drawing find the visible span by bisection

    size_t size() const { return time.size(); }
    void clear();
};

enum class RecordingStatus { Ok, Missing, CannotOpen, BadFormat };

struct RecordingResult {
    RecordingStatus status = RecordingStatus::Ok;
    size_t badLine = 0; // 1-based line of the file that did not give 11 values
};

// Parses the whole text. Lines of any length; the last record needs no line
// break. A line that does not give the 11 values stops with BadFormat and
// leaves `out` empty.
RecordingResult ParseRecording(std::string_view text, Recording& out);
RecordingResult ReadRecording(const std::string& path, Recording& out);

// Plotted temperature for a raw reducer byte.
double RecordingTemperature(int raw);

// One line as the live strip writes it.
struct RecordLine {
    uint32_t timeMs = 0;
    int giri = 0;
    double mapVolts = 0;
    int cumulo = 0;
    double tps = 0;
    double lambda = 0;
    int apertura = 0;
    int arricchimento = 0;
    int correttore = 0;
    int flag1 = 0;
    int flag2 = 0;
    int pressione = 0; // hundredths of a bar
    int temperaturaRaw = 0;
};
// The title and header lines (no line break after the header).
void AppendRecordingHeader(std::string& out, const std::string& dateTime);
// A CR LF, then the 13 fields separated by tabs.
void AppendRecordLine(std::string& out, const RecordLine& line);

struct XY {
    double x = 0;
    double y = 0;
};

// The points that draw trace y over [xMin, xMax] on `columns` pixel columns:
// when there are more than two per column, each column keeps only its lowest
// and highest point, in their original order, so spikes survive. The nearest
// points outside the span are kept so the line runs to the edges.
void DecimateMinMax(const std::vector<double>& x, const std::vector<double>& y, bool xSorted, double xMin,
                    double xMax, int columns, std::vector<XY>& out);

struct ValueRange {
    double min = 0;
    double max = 0;
    bool valid = false;
};
// Range of the finite values of a column.
ValueRange RangeOf(const std::vector<double>& values);

struct AxisTicks {
    double step = 1;   // 1, 2 or 5 times a power of ten
    double anchor = 0; // the first tick: the lowest multiple of step in range
    int decimals = 0;  // the decimals the step has, for the labels
};
// Round ticks for an axis over [min, max] with about `intervals` intervals,
// so that labels read 4, 5, 6 rather than 3.33, 4.16, 4.99 after a zoom.
AxisTicks RoundTicks(double min, double max, int intervals);

} // namespace vapora
