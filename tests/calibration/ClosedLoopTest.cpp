// The calibrations against the simulated engine, end to end through their
// windows: afterwards the unit needs much less lambda correction at the
// points that were calibrated.

#include "SimCar.h"
#include "calib/forms/TFormCalibra2.h"
#include "calib/forms/TFormCalibraStrada.h"
#include "calib/forms/TFormCalibrazione.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

namespace vapora::test {
namespace {

struct Point {
    int rpm, throttle, map;
};

constexpr Point kIdle{850, 30, 28};
constexpr Point kAt1600{1600, 60, 28};
constexpr Point kRoad[] = {{1850, 80, 43}, {2450, 95, 43}, {3100, 110, 57}, {2150, 85, 43}};

double Mean(SimCar& sim, std::initializer_list<Point> points)
{
    double sum = 0;
    for (const Point& p : points)
        sum += sim.MeanAbsCorrection(p.rpm, p.throttle, p.map);
    return sum / static_cast<double>(points.size());
}

// Pictures for the record when a folder is given.
void Snapshot(QWidget& window, const char* name)
{
    const QString folder = qEnvironmentVariable("VAPORA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window.show();
    window.grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
}

template <class Window>
bool TickUntil(Window& w, const std::function<bool()>& done, int limit)
{
    for (int i = 0; i < limit && !done(); ++i)
        w.Tick();
    return done();
}

TEST(ClosedLoop, GuidedCalibrationLeavesLittleCorrectionAtIdleAnd1600)
{
    SimCar sim;
    sim.StartOnGas();
    const double before = Mean(sim, {kIdle, kAt1600});

    sim.DriveTo(kIdle.rpm, kIdle.throttle, kIdle.map);
    TFormCalibrazione w(sim.ctx, false, QStringLiteral("/nonexistent"));
    ASSERT_FALSE(w.ModalResultPreset());
    w.show(); // the installer's window: active, so the focus shows
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.EditCilindrataEnter(); // the displacement stays: no base map
    ASSERT_EQ(w.machine().step(), 0);
    TickUntil(w, [&] { return w.machine().onGas(); }, 4);
    ASSERT_TRUE(w.FormKeyDown(Qt::Key_Return));
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().step() == 2; }, 40));
    w.Tick();
    Snapshot(w, "calibrazione-pressione.png");
    ASSERT_TRUE(w.FormKeyDown(Qt::Key_Return));
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().switchCount() == 3; }, 400));
    Snapshot(w, "calibrazione-minimo.png");
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().step() == 4; }, 400));

    sim.engine().SetTarget(kAt1600.rpm, kAt1600.throttle, kAt1600.map);
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().step() == 6; }, 800));
    Snapshot(w, "calibrazione-fine.png");
    // The button Enter presses shows it: it has the focus, drawn as a keyboard
    // focus, and is the default button.
    auto* next = w.findChild<QPushButton*>(QStringLiteral("ButtonNext"));
    auto* exit = w.findChild<QPushButton*>(QStringLiteral("ButtonEsci"));
    EXPECT_EQ(w.focusWidget(), next);
    EXPECT_TRUE(next->isDefault());
    EXPECT_FALSE(exit->isDefault());
    EXPECT_TRUE(w.testAttribute(Qt::WA_KeyboardFocusChange)) << "the focus frame is drawn";

    sim.dialogs.windows.push_back([](QDialog* d) {
        auto* page = static_cast<TFormCalibra2*>(d);
        page->findChild<QCheckBox*>(QStringLiteral("CheckRientroMin"))->click();
        page->findChild<QLineEdit*>(QStringLiteral("EditRientroMinimo"))->setText(QStringLiteral("-2"));
        page->EditRientroMinimoEnter();
        page->findChild<QCheckBox*>(QStringLiteral("CheckClima"))->click();
        for (int i = 0; i < 5; ++i)
            page->Tick();
        Snapshot(*page, "calibra2.png");
        return QDialog::Accepted;
    });
    // At the end Enter moves on to the next page as its button does.
    ASSERT_TRUE(w.FormKeyDown(Qt::Key_Return));
    EXPECT_TRUE(sim.dialogs.windows.empty()) << "Enter opened the next page";
    w.done(QDialog::Rejected);

    const double after = Mean(sim, {kIdle, kAt1600});
    std::cout << "guided: mean |correction| at idle and 1600 rpm before " << before << ", after " << after
              << " (idle c1 " << w.machine().idleCorrection() << " at " << w.machine().idleSpeed() << " rpm, c2 "
              << w.machine().secondCorrection() << " at " << w.machine().secondSpeed() << " rpm)\n";
    ::testing::Test::RecordProperty("before", std::to_string(before));
    ::testing::Test::RecordProperty("after", std::to_string(after));
    EXPECT_GT(before, 8);
    EXPECT_LT(after, before / 4);
}

TEST(ClosedLoop, RoadCalibrationLeavesLittleCorrectionOnTheDrivenColumns)
{
    SimCar sim;
    sim.StartOnGas();
    std::initializer_list<Point> driven{kRoad[0], kRoad[1], kRoad[2], kRoad[3]};
    const double before = Mean(sim, driven);

    sim.DriveTo(kRoad[0].rpm, kRoad[0].throttle, kRoad[0].map, 20);
    TFormCalibraStrada w(sim.ctx);
    w.resize(800, 600);
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().phase() == 1; }, 5));
    for (const Point& p : driven) {
        sim.engine().SetTarget(p.rpm, p.throttle, p.map);
        for (int i = 0; i < 250; ++i)
            w.Tick();
    }
    Snapshot(w, "calibrastrada.png");
    sim.engine().SetTarget(kIdle.rpm, kIdle.throttle, kIdle.map);
    for (int i = 0; i < 40; ++i)
        w.Tick();
    w.ButtonConfermaClick();
    ASSERT_EQ(w.machine().phase(), 2);
    ASSERT_TRUE(TickUntil(w, [&] { return w.machine().phase() == 3; }, 300));
    ASSERT_FALSE(w.summary().isEmpty());
    EXPECT_EQ(w.result(), TFormCalibraStrada::kModalDone);

    const double after = Mean(sim, driven);
    std::cout << "road: mean |correction| at 1850, 2450, 3100 and 2150 rpm before " << before << ", after " << after
              << "\n" << w.summary().toStdString();
    ::testing::Test::RecordProperty("before", std::to_string(before));
    ::testing::Test::RecordProperty("after", std::to_string(after));
    EXPECT_GT(before, 8);
    EXPECT_LT(after, before / 4);
}

} // namespace
} // namespace vapora::test
