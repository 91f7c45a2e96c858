// The pure arithmetic of the editor: marker positions, enrichment bands, the
// pressure peak hold, block modification and the acquisition line format.

#include "calib/AcquisitionFile.h"
#include "editor/BlockEdit.h"
#include "editor/LiveStripMath.h"

#include <QTemporaryDir>

#include <fstream>
#include <gtest/gtest.h>

namespace vapora::test {
namespace {

using namespace vapora::live;

std::vector<int> Speeds() { return {800, 1000, 1500, 2000}; }

TEST(Markers, MidpointsAndIndexes)
{
    const SpeedAxis axis = MakeSpeedAxis(Speeds());
    EXPECT_EQ(axis.mids, (std::vector<int>{0, 900, 1250, 1750, 2750}));
    const struct {
        int speed;
        int column;
    } cases[] = {{0, 0}, {899, 0}, {900, 1}, {1249, 1}, {1250, 2}, {2750, 3}, {2751, 3}, {9999, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(SpeedIndex(axis, c.speed), c.column) << c.speed;
    const LoadAxis load = MakeLoadAxis({0.5, 1.0, 2.0});
    EXPECT_DOUBLE_EQ(load.mids[3], 1.6);
    EXPECT_EQ(LoadIndex(load, 0.74), 0);
    EXPECT_EQ(LoadIndex(load, 0.75), 1);
    EXPECT_EQ(LoadIndex(load, 5.0), 2);
}

TEST(Markers, CentreIsTheBreakpointEdgesTheMidpoints)
{
    const SpeedAxis axis = MakeSpeedAxis(Speeds());
    const CellRect cell{100, 10, 140, 30}; // half width 20, half height 10
    EXPECT_EQ(MarkerX(axis, 1, 1000, cell), 120);
    EXPECT_EQ(MarkerX(axis, 1, 900, cell), 100);
    EXPECT_EQ(MarkerX(axis, 1, 1125, cell), 130);
    EXPECT_EQ(MarkerX(axis, 1, 950, cell), 110);
    EXPECT_EQ(MarkerX(axis, 3, 2751, cell), 140) << "beyond the last midpoint: the right edge";
    const LoadAxis load = MakeLoadAxis({0.5, 1.0, 2.0});
    EXPECT_EQ(MarkerY(load, 2, 5.0, cell), 30) << "beyond the last midpoint: the bottom edge";
    EXPECT_EQ(MarkerY(load, 1, 1.0, cell), 20);
}

TEST(Markers, EqualBreakpointsPutTheMarkerOnTheCentreInsteadOfDividingByZero)
{
    const SpeedAxis axis = MakeSpeedAxis({1000, 1000, 1000});
    const CellRect cell{0, 0, 40, 20};
    EXPECT_EQ(MarkerX(axis, SpeedIndex(axis, 1000), 1000, cell), 20);
}

TEST(Markers, RecomputedOnMovementOrAfterAHundredStillTicks)
{
    MapMarker m;
    EXPECT_TRUE(m.Due(0, 0)) << "the first tick after showing recomputes";
    int due = 0;
    for (int i = 0; i < 101; ++i)
        due += m.Due(0, 0);
    EXPECT_EQ(due, 1) << "once when the refresh counter has run out";
    EXPECT_TRUE(m.Due(850, 0));
    EXPECT_TRUE(m.Due(850, 0.5));
}

TEST(Bands, FromTheBandLimits)
{
    const std::array<int, 6> t{0, 700, 1500, 2500, 3500, 4500};
    const struct {
        int speed, band;
    } cases[] = {{0, -1}, {1, 0}, {700, 0}, {701, 1}, {4499, 4}, {4500, 5}, {8000, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(EnrichBand(t, c.speed), c.band) << c.speed;
}

TEST(PeakHold, HeldForTwentyTicksUnlessExceeded)
{
    PeakHold h;
    EXPECT_TRUE(h.Update(50).maxWritten);
    int rewrites = 0;
    for (int i = 0; i < 19; ++i)
        rewrites += h.Update(40).maxWritten;
    EXPECT_EQ(rewrites, 0);
    EXPECT_EQ(h.heldMax, 50);
    EXPECT_TRUE(h.Update(40).maxWritten) << "after 20 ticks the current value is taken";
    EXPECT_EQ(h.heldMax, 40);
    EXPECT_TRUE(h.Update(60).maxWritten) << "a higher value replaces it at once";
    EXPECT_EQ(h.heldMax, 60);
}

TEST(BlockEdit, ModesAsTheDialogApplies)
{
    const struct {
        int old, v, mode, expected;
    } cases[] = {{5, 7, kModAbsolute, 7},   {5, -10, kModLinear, -5},      {99, 10, kModPercentage, 108},
                 {40, 10, kModPercentage, 44}, {77, -100, kModPercentage, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(BlockValue(c.old, c.v, c.mode), c.expected) << c.old << " " << c.v << " " << c.mode;
    EXPECT_EQ(SecondsToShownMs(BlockSeconds(0.1, 10, kModPercentage)), 110);
    EXPECT_DOUBLE_EQ(BlockSeconds(0.1, 20, kModLinear), 0.12);
    EXPECT_DOUBLE_EQ(BlockSeconds(0.3, 250, kModAbsolute), 0.25);
}

TEST(Acquisition, LinesInTheGraphsFormat)
{
    RecordLine l;
    l.timeMs = 150;
    l.giri = 850;
    l.mapVolts = 120 * 5.0 / 255;
    l.cumulo = 3;
    l.tps = 25 * 5.0 / 255;
    l.lambda = 41 * 5.0 / 255;
    l.apertura = 400;
    l.arricchimento = 12;
    l.correttore = -3;
    l.flag1 = 2;
    l.flag2 = 24;
    l.pressione = 0;
    l.temperaturaRaw = 29;
    EXPECT_EQ(AcquisitionLine(l), "\r\n150\t850\t2.35\t3\t0.49\t0.8\t400\t12\t-3\t2\t24\t0\t29");
    l.pressione = 75;
    EXPECT_EQ(AcquisitionLine(l).substr(AcquisitionLine(l).rfind("\t0.75")), "\t0.75\t29");
    EXPECT_EQ(GeneralNumber(0.5), "0.5");
    EXPECT_EQ(GeneralNumber(1234567), "1.23457e+06");
    EXPECT_EQ(AcquisitionHeader("x"), "Acquisizione VAPORA, x\r\nTEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\t"
                                      "ARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP.");
}

TEST(Acquisition, TemporaryFilesTakeTheFirstFreeNumber)
{
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    for (int n : {0, 1, 2})
        std::ofstream(folder / ("__acqtmp" + std::to_string(n) + ".txt")) << "x";
    EXPECT_EQ(NextTemporaryAcquisition(folder).filename(), "__acqtmp3.txt");
}

} // namespace
} // namespace vapora::test
