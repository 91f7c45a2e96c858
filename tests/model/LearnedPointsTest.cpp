#include "model/ConfCar.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace vapora;

namespace {

constexpr const char* kHeader = "n.\tGiri\tMap\tnGiri\tnMap\tIniezione\r\n";

class LearnedPoints : public test::FileTest {
protected:
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};

    std::vector<std::array<int32_t, 5>> Points() const // Giri, Map, nGiri, nMap, Iniezione
    {
        std::vector<std::array<int32_t, 5>> points;
        for (const auto& p : car.PuntiAppresi)
            points.push_back({p->Giri, p->Map, p->nGiri, p->nMap, p->Iniezione});
        return points;
    }
};

} // namespace

TEST_F(LearnedPoints, ExportWritesWindowsLinesAndLoadGivesTheValuesBackWithNewNumbers)
{
    EXPECT_FALSE(car.ExportLearnedPoints((root / "empty.txt").string()));
    EXPECT_FALSE(std::filesystem::exists(root / "empty.txt"));

    car.AddLearnedPoint(2500, 1.234, 3.5, 4, 3, 17);
    car.AddLearnedPoint(1000, 0.5, 12.004, 1, 0, 40);
    const std::string file = (root / "points.txt").string();
    ASSERT_TRUE(car.ExportLearnedPoints(file));
    EXPECT_EQ(Get(file), std::string(kHeader) + "17\t2500\t1234\t4\t3\t3500\r\n40\t1000\t500\t1\t0\t12004\r\n");

    const auto exported = Points();
    car.AddLearnedPoint(9000, 4, 4, 11, 11, 0); // dropped by a load that does not merge
    ASSERT_TRUE(car.LoadLearnedPoints(file, false));
    EXPECT_EQ(Points(), exported);
    EXPECT_EQ(car.PuntiAppresi[0]->n, 1);
    EXPECT_EQ(car.PuntiAppresi[1]->n, 2);
    EXPECT_TRUE(car.IsCellLearned(3, 4));
    EXPECT_FALSE(car.IsCellLearned(11, 11));

    // Merging the same file again updates the points in place.
    ASSERT_TRUE(car.LoadLearnedPoints(file, true));
    EXPECT_EQ(Points(), exported);
    EXPECT_EQ(car.PuntiAppresi[0]->n, 3);
}

TEST_F(LearnedPoints, ReadingRules)
{
    struct Case {
        const char* name;
        std::string body; // after the column names
        bool result;
        std::vector<int32_t> giri; // points loaded, in order
    };
    const std::vector<Case> cases = {
        {"lf only", "1\t800\t100\t0\t0\t2000\n2\t900\t200\t1\t1\t2100\n", true, {800, 900}},
        {"blanks between", " 1  800 100\t0 0   2000 trailing\r\n", true, {800}},
        {"last line without line end", "1\t800\t100\t0\t0\t2000\r\n2\t900\t200\t1\t1\t2100", true, {800}},
        {"header only", "", false, {}},
        {"bad line", "1\t800\t100\t0\t0\t2000\r\n2\t900\tx\t1\t1\t2100\r\n3\t950\t1\t1\t1\t1\r\n", false, {800}},
        {"five numbers", "1\t800\t100\t0\t0\r\n", false, {}},
        {"number too large", "1\t800\t100\t0\t0\t99999999999\r\n", false, {}},
        {"cells out of range", "1\t800\t100\t-5\t40\t2000\r\n", true, {800}},
        // A line is taken in pieces of 99 characters: the rest of a long line reads as the next.
        {"long line", "1\t800\t100\t0\t0\t2000" + std::string(120, ' ') + "7 7 7 7 7 7\r\n", true, {800, 7}},
    };
    for (const Case& c : cases) {
        car.ClearLearnedPoints();
        car.AddLearnedPoint(123, 1, 1, 0, 0, 0); // dropped by every load
        const std::string file = Put("case.txt", kHeader + c.body);
        EXPECT_EQ(car.LoadLearnedPoints(file, false), c.result) << c.name;
        std::vector<int32_t> giri;
        for (const auto& p : car.PuntiAppresi)
            giri.push_back(p->Giri);
        EXPECT_EQ(giri, c.giri) << c.name;
    }

    EXPECT_FALSE(car.LoadLearnedPoints(Put("empty.txt", ""), true));
    car.AddLearnedPoint(500, 1, 1, 0, 0, 0);
    EXPECT_FALSE(car.LoadLearnedPoints((root / "missing.txt").string(), false));
    EXPECT_FALSE(car.LoadLearnedPoints(root.string(), false));
    EXPECT_FALSE(car.NoLearnedPoints()); // an unreadable file leaves the list alone
}

TEST_F(LearnedPoints, AnyBytesLoadWithoutHarm)
{
    std::mt19937 generator(7);
    const std::string alphabet("0123456789-+ \t\r\n\nx\0\xff", 20);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(generator() % 400, ' ');
        for (char& b : bytes)
            b = alphabet[generator() % alphabet.size()];
        car.LoadLearnedPoints(Put("noise.txt", bytes), round % 2 == 0);
        for (const auto& p : car.PuntiAppresi)
            ASSERT_NE(p, nullptr);
    }
}

TEST_F(LearnedPoints, SaveThenLoadIsTheIdentity)
{
    std::mt19937 random(4242);
    auto between = [&](int lo, int hi) { return lo + static_cast<int>(random() % static_cast<unsigned>(hi - lo + 1)); };
    const std::string file = (root / "fuzz.acq").string();
    for (int round = 0; round < 50; ++round) {
        car.ClearLearnedPoints();
        for (int i = between(1, 40); i > 0; --i)
            car.AddLearnedPoint(between(-9000, 9000), between(-99999, 99999) / 1000.0, between(-99999, 99999) / 1000.0,
                                between(-2, 13), between(-2, 13), 0);
        const auto saved = Points();
        ASSERT_TRUE(car.ExportLearnedPoints(file));
        // Several cycles: a drift would grow with each.
        for (int cycle = 0; cycle < 3; ++cycle) {
            ASSERT_TRUE(car.LoadLearnedPoints(file, false));
            ASSERT_EQ(Points(), saved) << "round " << round << " cycle " << cycle;
            ASSERT_TRUE(car.ExportLearnedPoints(file));
        }
    }
    // Values are kept to the nearest thousandth, halves away from zero.
    car.ClearLearnedPoints();
    car.AddLearnedPoint(1, -1.234, -0.0005, 0, 0, 0);
    car.AddLearnedPoint(2, 1.2345, 0.0004, 0, 0, 0);
    EXPECT_EQ(Points(), (std::vector<std::array<int32_t, 5>>{{1, -1234, 0, 0, -1}, {2, 1235, 0, 0, 0}}));
}
