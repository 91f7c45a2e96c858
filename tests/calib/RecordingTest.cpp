#include "calib/Recording.h"

#include "model/Ntc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace vapora;

namespace {

const std::string kHeader = "Acquisizione VAPORA, venerdi 3 maggio 2002 10:11:12\r\n"
                            "TEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP.";

Recording Parse(const std::string& text, RecordingStatus expected = RecordingStatus::Ok)
{
    Recording r;
    EXPECT_EQ(ParseRecording(text, r).status, expected);
    return r;
}

} // namespace

TEST(RecordingRead, HeaderOnlyGivesNoPoints)
{
    EXPECT_EQ(Parse(kHeader).size(), 0u);
    EXPECT_EQ(Parse(kHeader + "\r\n").size(), 0u);
    EXPECT_EQ(Parse("").size(), 0u);
}

TEST(RecordingRead, RecordsAreScaledPerTrace)
{
    const Recording r = Parse(kHeader + "\r\n1500\t2300\t2.35\t40\t0.49\t0.8\t250\t12\t-3\t1\t24\t0.75\t128");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_DOUBLE_EQ(r.time[0], 1.5);
    EXPECT_DOUBLE_EQ(r.traces[0][0], 2.3);
    EXPECT_DOUBLE_EQ(r.traces[1][0], 2.35);
    EXPECT_DOUBLE_EQ(r.traces[2][0], 0.4);
    EXPECT_DOUBLE_EQ(r.traces[3][0], 0.49);
    EXPECT_DOUBLE_EQ(r.traces[4][0], 0.8);
    EXPECT_DOUBLE_EQ(r.traces[5][0], 2.5);
    EXPECT_DOUBLE_EQ(r.traces[6][0], 1.2);
    EXPECT_DOUBLE_EQ(r.traces[7][0], -0.3);
    EXPECT_DOUBLE_EQ(r.traces[8][0], 0.75);
    EXPECT_NEAR(r.traces[9][0], 2.484, 0.005);
}

TEST(RecordingRead, TemperatureRawZeroIsMinusTen)
{
    const Recording r = Parse(kHeader + "\r\n0 0 0 0 0 0 0 0 0 0 0 0 0\r\n150 0 0 0 0 0 0 0 0 0 0 0 255");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r.traces[9][0], -10.0);
    EXPECT_DOUBLE_EQ(r.traces[9][1], NtcRawToCelsius(255) * 0.1);
}

TEST(RecordingRead, LastRecordNeedsNoLineBreakAndATrailingOneIsHarmless)
{
    const std::string two = kHeader + "\r\n0 1000 1 1 1 1 1 1 1 0 0 0 40\r\n150 2000 1 1 1 1 1 1 1 0 0 0 40";
    EXPECT_EQ(Parse(two).size(), 2u);
    EXPECT_EQ(Parse(two + "\r\n").size(), 2u);
    EXPECT_EQ(Parse(two + "\n").size(), 2u);
}

TEST(RecordingRead, ALineWithTenValuesIsABadFormat)
{
    Recording r;
    const auto result = ParseRecording(kHeader + "\r\n0 1000 1 1 1 1 1 1 1 0 0 0 40\r\n150 2000 1 1 1 1 1 1 1 0 0", r);
    EXPECT_EQ(result.status, RecordingStatus::BadFormat);
    EXPECT_EQ(result.badLine, 4u);
    EXPECT_EQ(r.size(), 0u);
    // A blank line in the middle, or a decimal comma, too.
    Parse(kHeader + "\r\n\r\n0 1000 1 1 1 1 1 1 1 0 0 0 40", RecordingStatus::BadFormat);
    Parse(kHeader + "\r\n0 1000 1,5 1 1 1 1 1 1 0 0 0 40", RecordingStatus::BadFormat);
    Parse(kHeader + "\r\nabc", RecordingStatus::BadFormat);
}

TEST(RecordingRead, LongLinesAreNeitherSplitNorCut)
{
    // Padding pushes fields past any 200-character buffer; the values still belong to one record.
    const std::string pad(300, ' ');
    const std::string line = "1500" + pad + "2300\t2.35\t40\t0.49\t0.8\t250\t12\t-3" + pad + "1\t24\t0.75\t128" +
                             std::string(5000, ' ') + "trailing words";
    const Recording r = Parse(kHeader + "\r\n" + line + "\r\n3000 1 1 1 1 1 1 1 1 1 1 1 1");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r.traces[0][0], 2.3);
    EXPECT_DOUBLE_EQ(r.traces[8][0], 0.75);
    EXPECT_DOUBLE_EQ(r.time[1], 3.0);
    // A long title line is skipped whole rather than read as a record.
    EXPECT_EQ(Parse(std::string(1000, 'x') + "\r\nTEMPO\r\n1 1 1 1 1 1 1 1 1 1 1 1 1").size(), 1u);
}

TEST(RecordingRead, RecorderOutputReadsBackWithTheSameValues)
{
    std::string text;
    AppendRecordingHeader(text, "venerdi 3 maggio 2002 10:11:12");
    RecordLine a{0, 850, 120 * 5.0 / 255, 7, 25 * 5.0 / 255, 41 * 5.0 / 255, 312, 9, -3, 3, 24, 75, 29};
    RecordLine b{150, 6010, 4.99, 255, 5.0, 0.0, 65535, 255, 127, 255, 255, 0, 0};
    AppendRecordLine(text, a);
    AppendRecordLine(text, b);
    EXPECT_EQ(text.substr(text.size() - 2), "\t0"); // no line break after the last record
    EXPECT_NE(text.find("\r\n0\t850\t2.35\t7\t0.49\t0.8\t312\t9\t-3\t3\t24\t0.75\t29"), std::string::npos);

    const auto path = std::filesystem::temp_directory_path() / "vapora_recorder_roundtrip.txt";
    std::ofstream(path, std::ios::binary) << text;
    Recording r;
    ASSERT_EQ(ReadRecording(path.string(), r).status, RecordingStatus::Ok);
    std::filesystem::remove(path);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r.time[1], 0.15);
    EXPECT_DOUBLE_EQ(r.traces[0][0], 0.85);
    EXPECT_DOUBLE_EQ(r.traces[1][0], 2.35);
    EXPECT_DOUBLE_EQ(r.traces[3][0], 0.49);
    EXPECT_DOUBLE_EQ(r.traces[5][1], 655.35);
    EXPECT_DOUBLE_EQ(r.traces[7][0], -0.3);
    EXPECT_DOUBLE_EQ(r.traces[8][0], 0.75);
    EXPECT_DOUBLE_EQ(r.traces[8][1], 0.0);
    EXPECT_DOUBLE_EQ(r.traces[9][1], -10.0);
}

TEST(RecordingRead, MissingAndUnreadableFiles)
{
    Recording r;
    EXPECT_EQ(ReadRecording("/nonexistent/vapora/none.txt", r).status, RecordingStatus::Missing);
    EXPECT_EQ(ReadRecording(std::filesystem::temp_directory_path().string(), r).status,
              RecordingStatus::CannotOpen);
}

TEST(RecordingRead, TimeGoingBackIsNoticed)
{
    EXPECT_TRUE(Parse(kHeader + "\r\n0 1 1 1 1 1 1 1 1 1 1 1 1\r\n150 1 1 1 1 1 1 1 1 1 1 1 1").timeSorted);
    EXPECT_FALSE(Parse(kHeader + "\r\n150 1 1 1 1 1 1 1 1 1 1 1 1\r\n0 1 1 1 1 1 1 1 1 1 1 1 1").timeSorted);
}

namespace {

struct Series {
    std::vector<double> x, y;
    explicit Series(size_t n)
    {
        for (size_t i = 0; i < n; ++i) {
            x.push_back(i * 0.15);
            y.push_back(std::sin(i * 0.01));
        }
    }
};

} // namespace

TEST(RecordingDecimation, FewPointsPassUnchanged)
{
    Series s(100);
    std::vector<XY> out;
    DecimateMinMax(s.x, s.y, true, 0, 15, 800, out);
    ASSERT_EQ(out.size(), 100u);
    EXPECT_DOUBLE_EQ(out[42].y, s.y[42]);
}

TEST(RecordingDecimation, ManyPointsAreCappedAtTwoPerColumnAndKeepSpikes)
{
    Series s(200000);
    s.y[123456] = 50;  // a spike
    s.y[7777] = -50;   // and a drop
    std::vector<XY> out;
    DecimateMinMax(s.x, s.y, true, 0, s.x.back(), 1000, out);
    EXPECT_LE(out.size(), 2000u + 2);
    EXPECT_GT(out.size(), 1000u);
    double hi = -1e9, lo = 1e9;
    for (size_t i = 0; i < out.size(); ++i) {
        hi = std::max(hi, out[i].y);
        lo = std::min(lo, out[i].y);
        if (i > 0) {
            EXPECT_LE(out[i - 1].x, out[i].x) << "points out of order at " << i;
        }
    }
    EXPECT_EQ(hi, 50);
    EXPECT_EQ(lo, -50);
}

TEST(RecordingDecimation, ZoomedViewUsesOnlyItsSpanPlusOneNeighbourEachSide)
{
    Series s(200000);
    std::vector<XY> out;
    const double from = s.x[100000], to = s.x[100000 + 5000];
    DecimateMinMax(s.x, s.y, true, from, to, 1000, out);
    ASSERT_FALSE(out.empty());
    EXPECT_DOUBLE_EQ(out.front().x, s.x[99999]);
    EXPECT_DOUBLE_EQ(out.back().x, s.x[105001]);
    EXPECT_LE(out.size(), 2002u);

    // Deep zoom: raw points again.
    DecimateMinMax(s.x, s.y, true, s.x[500], s.x[510], 1000, out);
    EXPECT_EQ(out.size(), 13u);
}

TEST(RecordingDecimation, DegenerateInputs)
{
    std::vector<XY> out;
    DecimateMinMax({}, {}, true, 0, 1, 100, out);
    EXPECT_TRUE(out.empty());
    Series s(10000);
    // Zero columns and an empty span must not divide by zero.
    DecimateMinMax(s.x, s.y, true, 0, s.x.back(), 0, out);
    EXPECT_LE(out.size(), 4u);
    DecimateMinMax(s.x, s.y, true, 3, 3, 100, out);
    EXPECT_LE(out.size(), 202u);
    // Unsorted time still keeps the extremes within the cap.
    std::swap(s.x[10], s.x[9000]);
    DecimateMinMax(s.x, s.y, false, 0, s.x[9999], 100, out);
    EXPECT_LE(out.size(), 200u);
}

TEST(RecordingDecimation, LinesWithoutAReadingDoNotHideAColumnsExtremes)
{
    Series s(1000);
    s.y[0] = std::nan("");
    s.y[500] = 40;
    s.y[501] = std::nan("");
    s.y[700] = -40;
    std::vector<XY> out;
    DecimateMinMax(s.x, s.y, true, 0, s.x.back(), 1, out);
    double hi = -1e9, lo = 1e9;
    for (const XY& p : out) {
        hi = std::max(hi, p.y);
        lo = std::min(lo, p.y);
    }
    EXPECT_EQ(hi, 40);
    EXPECT_EQ(lo, -40);
}

TEST(RecordingDecimation, RangeIgnoresNonFiniteValues)
{
    const ValueRange r = RangeOf({3, -2, NAN, INFINITY, 7});
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.min, -2);
    EXPECT_EQ(r.max, 7);
    EXPECT_FALSE(RangeOf({}).valid);
}

TEST(RoundTicks, StepsAreOneTwoOrFiveTimesAPowerOfTenAndLabelsCarryItsDecimals)
{
    const struct {
        double min, max;
        int intervals;
        double step, anchor;
        int decimals;
    } cases[] = {
        {3.33, 6.66425, 5, 1, 4, 0},      // the zoomed value axis of a recording
        {0.0123, 0.0456, 5, 0.01, 0.02, 2},
        {-7.3, 12.9, 5, 5, -5, 0},
        {0, 100, 5, 20, 0, 0},              // starts on a tick: keeps it
        {601.23, 603.71, 8, 0.5, 601.5, 1},
        {1200, 1200, 5, 1, 1200, 0},        // empty span: no division by zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.min);
        const AxisTicks t = RoundTicks(c.min, c.max, c.intervals);
        EXPECT_DOUBLE_EQ(t.step, c.step);
        EXPECT_NEAR(t.anchor, c.anchor, 1e-12);
        EXPECT_EQ(t.decimals, c.decimals);
    }
    const AxisTicks nan = RoundTicks(std::nan(""), 1, 5);
    EXPECT_TRUE(std::isfinite(nan.step) && std::isfinite(nan.anchor));
}
