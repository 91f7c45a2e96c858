// Values read off a recording against the file's own text: seeded random
// recordings, every field of every line, random cursor pairs and exports.

#include "calib/RecordingReadout.h"

#include "model/Ntc.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>

using namespace vapora;

namespace {

// A recording's text and its lines split into the 13 tokens as written.
struct Generated {
    std::string text;
    std::vector<std::vector<std::string>> lines;
    std::vector<double> times; // TEMPO of each line, in ms
};

std::string Real(std::mt19937& rng, int whole, bool negative)
{
    const int decimals = std::uniform_int_distribution<int>(0, 4)(rng);
    int scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    int value = std::uniform_int_distribution<int>(0, whole * scale)(rng);
    if (negative && rng() % 4 == 0)
        value = -value;
    std::ostringstream out;
    out << (value < 0 ? "-" : "") << std::abs(value) / scale;
    if (decimals > 0) {
        std::string fraction = std::to_string(std::abs(value) % scale);
        out << '.' << std::string(static_cast<size_t>(decimals) - fraction.size(), '0') << fraction;
    }
    return out.str();
}

Generated Generate(uint32_t seed, int count, bool sorted = true)
{
    std::mt19937 rng(seed);
    auto integer = [&rng](int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    Generated g;
    g.text = "Acquisizione VAPORA, oggi\r\nTEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2"
             "\tPRESS.\tTEMP.";
    int time = std::uniform_int_distribution<int>(0, 5000)(rng);
    for (int i = 0; i < count; ++i) {
        // Mostly the recorder's pace, sometimes two lines in the same millisecond.
        time += rng() % 20 == 0 ? 0 : std::uniform_int_distribution<int>(140, 160)(rng);
        const int t = sorted ? time : std::uniform_int_distribution<int>(0, 100000)(rng);
        const int temperature = rng() % 10 == 0 ? (rng() % 2 ? 0 : 255) : std::uniform_int_distribution<int>(1, 254)(rng);
        std::vector<std::string> f = {std::to_string(t), integer(0, 8000), Real(rng, 5, false), integer(0, 255),
                                      Real(rng, 5, false), Real(rng, 1, false), integer(0, 65535), integer(0, 255),
                                      integer(-128, 127), integer(0, 255), integer(0, 255), Real(rng, 3, true),
                                      std::to_string(temperature)};
        g.text += "\r\n";
        for (size_t k = 0; k < f.size(); ++k)
            g.text += (k > 0 ? (rng() % 3 ? "\t" : "  ") : "") + f[k];
        g.times.push_back(t);
        g.lines.push_back(std::move(f));
    }
    return g;
}

double Number(const std::string& token) { return std::strtod(token.c_str(), nullptr); }

// The readout's value of a trace from the file's tokens, computed the long way.
double Expected(const std::vector<std::string>& f, int trace)
{
    static const int kField[kRecordingTraces] = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12};
    const double v = Number(f[kField[trace]]);
    if (trace == 9)
        return v <= 0 || v >= 255 ? NAN : NtcRawToCelsius(static_cast<int32_t>(v));
    return v;
}

std::vector<std::string> Split(const std::string& text, const std::string& by)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        const size_t next = text.find(by, at);
        out.push_back(text.substr(at, next - at));
        if (next == std::string::npos)
            return out;
        at = next + by.size();
    }
}

} // namespace

TEST(RecordingReadout, EveryFieldOfEveryLineIsTheFilesValue)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        const Generated g = Generate(seed, 3000);
        Recording r;
        ASSERT_EQ(ParseRecording(g.text, r).status, RecordingStatus::Ok);
        ASSERT_EQ(r.size(), g.lines.size());
        for (size_t row = 0; row < r.size(); ++row) {
            for (int field = 0; field < kRecordingFields; ++field)
                ASSERT_EQ(RecordingFieldValue(r, field, row), Number(g.lines[row][field]))
                    << "seed " << seed << " line " << row << " field " << RecordingFieldInfo(field).name;
            for (int trace = 0; trace < kRecordingTraces; ++trace) {
                const double want = Expected(g.lines[row], trace);
                const double got = TraceValue(r, trace, row);
                if (std::isnan(want))
                    EXPECT_TRUE(std::isnan(got));
                else
                    ASSERT_EQ(got, want) << "line " << row << " trace " << trace;
            }
        }
    }
}

TEST(RecordingReadout, NearestLineAndReadoutMatchABruteForceSearch)
{
    for (bool sorted : {true, false}) {
        const Generated g = Generate(7, 2500, sorted);
        Recording r;
        ASSERT_EQ(ParseRecording(g.text, r).status, RecordingStatus::Ok);
        ASSERT_EQ(r.timeSorted, sorted);
        std::mt19937 rng(11);
        const double last = RecordingTimeMs(r, r.size() - 1);
        for (int i = 0; i < 2000; ++i) {
            const double ms = std::uniform_real_distribution<double>(-500, sorted ? last + 500 : 101000)(rng);
            size_t best = 0;
            for (size_t k = 1; k < r.size(); ++k)
                if (std::fabs(g.times[k] - ms) < std::fabs(g.times[best] - ms))
                    best = k;
            const size_t got = NearestSample(r, ms);
            ASSERT_NE(got, kNoSample);
            // Either the same line or one at the same distance.
            ASSERT_EQ(std::fabs(g.times[got] - ms), std::fabs(g.times[best] - ms)) << "at " << ms;
            const ReadoutColumn c = ReadoutAt(r, ms, false);
            ASSERT_EQ(c.row, got);
            EXPECT_EQ(c.timeMs, static_cast<int64_t>(Number(g.lines[got][0])));
            EXPECT_EQ(c.values[0], Number(g.lines[got][1]));
        }
    }
    Recording empty;
    EXPECT_EQ(NearestSample(empty, 100), kNoSample);
    EXPECT_EQ(ReadoutAt(empty, 100, false).row, kNoSample);
}

TEST(RecordingReadout, StatisticsBetweenCursorsEqualADirectComputation)
{
    for (bool sorted : {true, false}) {
        const Generated g = Generate(sorted ? 21 : 22, 5000, sorted);
        Recording r;
        ASSERT_EQ(ParseRecording(g.text, r).status, RecordingStatus::Ok);
        RecordingStatistics stats;
        stats.Build(r);
        std::vector<std::array<double, kRecordingTraces>> values(g.lines.size());
        for (size_t k = 0; k < g.lines.size(); ++k)
            for (int trace = 0; trace < kRecordingTraces; ++trace)
                values[k][trace] = Expected(g.lines[k], trace);
        std::mt19937 rng(5);
        for (int q = 0; q < 120; ++q) {
            // Cursors sit on lines; now and then a span of one line, or the whole recording.
            size_t a = rng() % r.size(), b = rng() % r.size();
            if (q % 40 == 0)
                b = a;
            if (q % 40 == 1)
                a = 0, b = r.size() - 1;
            const auto from = static_cast<int64_t>(g.times[a]);
            const auto to = static_cast<int64_t>(g.times[b]);
            for (int trace = 0; trace < kRecordingTraces; ++trace) {
                double lo = INFINITY, hi = -INFINITY, sum = 0;
                size_t count = 0;
                for (size_t k = 0; k < g.lines.size(); ++k) {
                    const double t = g.times[k];
                    const double v = values[k][trace];
                    if (t < std::min(from, to) || t > std::max(from, to) || std::isnan(v))
                        continue;
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                    sum += v;
                    ++count;
                }
                const TraceStats s = stats.Between(r, trace, from, to);
                ASSERT_EQ(s.count, count) << "trace " << trace << " from " << from << " to " << to;
                if (count == 0)
                    continue;
                EXPECT_EQ(s.min, lo);
                EXPECT_EQ(s.max, hi);
                EXPECT_NEAR(s.mean, sum / count, 1e-9 * std::max(1.0, std::fabs(sum / count)));
            }
        }
    }
}

TEST(RecordingReadout, CsvExportReadsBackAsTheFilesLinesInTheRange)
{
    const Generated g = Generate(31, 1200);
    Recording r;
    ASSERT_EQ(ParseRecording(g.text, r).status, RecordingStatus::Ok);
    struct Language {
        CsvFormat format;
        const char* header;
    };
    const Language languages[] = {
        {{';', ','}, "TEMPO (ms);GIRI (rpm);MAP (V);CUMULO;TPS (V);LAMBDA (V);APERT.;ARRIC.;CORRET.;FLAG1;FLAG2;"
                     "PRESS. (bar);TEMP."},
        {{',', '.'}, "TEMPO (ms),GIRI (rpm),MAP (V),CUMULO,TPS (V),LAMBDA (V),APERT.,ARRIC.,CORRET.,FLAG1,FLAG2,"
                     "PRESS. (bar),TEMP."},
    };
    std::mt19937 rng(3);
    for (const Language& language : languages) {
        for (int q = 0; q < 20; ++q) {
            const size_t a = rng() % r.size(), b = rng() % r.size();
            const int64_t from = static_cast<int64_t>(Number(g.lines[a][0]));
            const int64_t to = static_cast<int64_t>(Number(g.lines[b][0]));
            size_t count = 0;
            const std::string csv = CsvExport(r, from, to, language.format, &count);
            ASSERT_EQ(csv.substr(csv.size() - 2), "\r\n");
            const auto rows = Split(csv.substr(0, csv.size() - 2), "\r\n");
            ASSERT_EQ(rows[0], language.header);
            std::vector<const std::vector<std::string>*> expected;
            for (const auto& line : g.lines) {
                const double t = Number(line[0]);
                if (t >= std::min(from, to) && t <= std::max(from, to))
                    expected.push_back(&line);
            }
            ASSERT_EQ(count, expected.size());
            ASSERT_EQ(rows.size(), expected.size() + 1);
            for (size_t i = 0; i < expected.size(); ++i) {
                const auto cells = Split(rows[i + 1], std::string(1, language.format.separator));
                ASSERT_EQ(cells.size(), 13u) << rows[i + 1];
                for (size_t f = 0; f < 13; ++f) {
                    std::string cell = cells[f];
                    std::replace(cell.begin(), cell.end(), language.format.decimal, '.');
                    ASSERT_EQ(Number(cell), Number((*expected[i])[f])) << rows[i + 1];
                }
            }
        }
    }
    // Nothing in range: the header alone.
    size_t count = 99;
    EXPECT_EQ(Split(CsvExport(r, -100, -50, {}, &count), "\r\n").size(), 2u);
    EXPECT_EQ(count, 0u);
}

TEST(RecordingReadout, NumberTexts)
{
    struct Case {
        std::string got, want;
    };
    const Case cases[] = {
        {ExactNumber(2.35, 2), "2.35"},       {ExactNumber(0.5, 2), "0.50"},
        {ExactNumber(0, 2), "0.00"},          {ExactNumber(2.3456, 2, ','), "2,3456"},
        {ExactNumber(-0.03, 0), "-0.03"},     {ExactNumber(2300, 0), "2300"},
        {ExactNumber(1e22, 0), "10000000000000000000000"},
        {FixedNumber(2310.44, 1), "2310.4"},  {FixedNumber(-0.0001, 3, ','), "0,000"},
        {SecondsText(12345), "12.345"},       {SecondsText(7, ','), "0,007"},
        {SecondsText(-1500), "-1.500"},       {SecondsText(0), "0.000"},
        {TraceValueText(0, 2300), "2300"},    {TraceValueText(1, 2.35), "2.35"},
        {TraceValueText(8, 0.7), "0.70"},     {TraceValueText(9, 84.96), "85.0"},
        {TraceValueText(7, -3), "-3"},        {TraceValueText(9, NAN), ""},
        {TraceMeanText(0, 2310.44), "2310.4"}, {TraceMeanText(3, 0.4949), "0.495"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(RecordingReadout, OverlayStartsWithTheFirstAndMovesByWholeSteps)
{
    Recording first, second, empty;
    ASSERT_EQ(ParseRecording(Generate(41, 10).text, first).status, RecordingStatus::Ok);
    ASSERT_EQ(ParseRecording(Generate(42, 400).text, second).status, RecordingStatus::Ok);
    const int64_t offset = OverlayOffsetMs(first, second, 0);
    EXPECT_EQ(RecordingTimeMs(second, 0) + offset, RecordingTimeMs(first, 0));
    EXPECT_EQ(OverlayOffsetMs(first, second, -450), offset - 450);
    EXPECT_EQ(OverlayOffsetMs(empty, second, 30), 30);

    const int64_t step = SampleStepMs(second);
    EXPECT_GE(step, 140);
    EXPECT_LE(step, 160);
    EXPECT_EQ(SampleStepMs(empty), 150);

    // Outside its own span a second recording reads nothing; inside, its nearest line.
    const int64_t start = RecordingTimeMs(second, 0), end = RecordingTimeMs(second, second.size() - 1);
    EXPECT_EQ(ReadoutAt(second, start - 1, true).row, kNoSample);
    EXPECT_EQ(ReadoutAt(second, end + 1, true).row, kNoSample);
    EXPECT_EQ(ReadoutAt(second, start, true).row, 0u);
    EXPECT_EQ(ReadoutAt(second, end, true).row, second.size() - 1);
    EXPECT_EQ(ReadoutAt(second, end + 1, false).row, second.size() - 1);
}
