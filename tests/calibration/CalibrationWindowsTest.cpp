// The calibration windows on the simulated unit: what they write, what they
// refuse, and what they put back.

#include "SimCar.h"
#include "calib/forms/RunCalibration.h"
#include "calib/forms/TFormCalibra2.h"
#include "calib/forms/TFormCalibraStrada.h"
#include "calib/forms/TFormCalibrazione.h"
#include "calib/forms/TFormParCalStrada.h"
#include "calib/forms/TFormSceltaCal.h"
#include "widgets/TNumericEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>


namespace vapora::test {
namespace {

using Map = std::vector<int>;

Map GasMap(const ConfCar& car)
{
    Map m;
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            m.push_back(car.GetGasMapCell(r, c));
    return m;
}

TEST(GuidedWindow, WithoutAUnitSaysSoAndIsNotShown)
{
    SimCar sim(false);
    TFormCalibrazione w(sim.ctx, true, QStringLiteral("/nonexistent"));
    EXPECT_TRUE(w.ModalResultPreset());
    ASSERT_EQ(sim.dialogs.messages.size(), 1u);
    EXPECT_EQ(sim.dialogs.messages[0].text,
              QStringLiteral("Centralina non connessa: impossibile eseguire la calibrazione!"));
    EXPECT_EQ(sim.dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_FALSE(w.timer()->isActive());
}

TEST(GuidedWindow, EntryPointShowsTheCalibrationOnlyAfterOk)
{
    SimCar sim;
    sim.dialogs.windows.push_back([](QDialog*) { return QDialog::Rejected; });
    RunCalibration(sim.ctx, nullptr);
    EXPECT_EQ(sim.dialogs.execTitles.size(), 1u);

    sim.dialogs.windows.push_back([](QDialog* d) {
        auto* choice = static_cast<TFormSceltaCal*>(d);
        EXPECT_TRUE(choice->IdleOnly()) << "idle only is the default";
        return QDialog::Accepted;
    });
    bool idleOnlyShown = false;
    sim.dialogs.windows.push_back([&](QDialog* d) {
        idleOnlyShown = d->findChild<QPushButton*>(QStringLiteral("ButtonNext"))->isHidden();
        return QDialog::Rejected;
    });
    RunCalibration(sim.ctx, nullptr);
    EXPECT_EQ(sim.dialogs.execTitles.size(), 3u);
    EXPECT_TRUE(idleOnlyShown);
}

TEST(GuidedWindow, FullFormOpensTheIntegralLimitsAndPutsThemBack)
{
    SimCar sim;
    const int before[] = {static_cast<int>(sim.car->GetParam(1062)), static_cast<int>(sim.car->GetParam(1063)),
                          static_cast<int>(sim.car->GetParam(1064)), static_cast<int>(sim.car->GetParam(1065))};
    {
        TFormCalibrazione w(sim.ctx, false, QStringLiteral("/nonexistent"));
        EXPECT_EQ(sim.unit->StoredElement(38), 127);
        EXPECT_EQ(sim.unit->StoredElement(39), -127);
        w.done(QDialog::Rejected);
    }
    EXPECT_EQ(sim.unit->StoredElement(38), before[0]);
    EXPECT_EQ(static_cast<int>(sim.car->GetParam(1063)), before[1]);
    EXPECT_EQ(static_cast<int>(sim.car->GetParam(1064)), before[2]);
    EXPECT_EQ(static_cast<int>(sim.car->GetParam(1065)), before[3]);

    TFormCalibrazione idleOnly(sim.ctx, true, QStringLiteral("/nonexistent"));
    EXPECT_EQ(sim.unit->StoredElement(38), before[0]) << "the idle-only form leaves them alone";
}

TEST(GuidedWindow, NewDisplacementWithoutBaseMapsClosesAndKeepsTheMap)
{
    SimCar sim;
    sim.car->SetClimateEffect(4);
    const Map map = GasMap(*sim.car);
    TFormCalibrazione w(sim.ctx, false, QStringLiteral("/nonexistent"));
    w.findChild<QLineEdit*>(QStringLiteral("EditCilindrata"))->setText(QStringLiteral("2000"));
    w.EditCilindrataEnter();
    ASSERT_EQ(sim.dialogs.messages.size(), 1u);
    EXPECT_EQ(sim.dialogs.messages[0].text, QStringLiteral("Nessun file mappa trovato!"));
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(sim.car->GetParam(75), 2000) << "the displacement stays";
    EXPECT_EQ(sim.car->GetClimateEffect(), 0);
    Map shifted = map;
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < 2; ++c)
            shifted[r * ConfCar::kMapCols + c] -= 4;
    EXPECT_EQ(GasMap(*sim.car), shifted) << "only the climate reset moved the map";
}

TEST(GuidedWindow, EnterIsIgnoredUntilTheCarIdlesOnGas)
{
    SimCar sim;
    sim.engine().SetTarget(1200, 60, 40); // still on petrol: never past the changeover speed
    TFormCalibrazione w(sim.ctx, true, QStringLiteral("/nonexistent"));
    for (int i = 0; i < 20; ++i)
        w.Tick();
    EXPECT_TRUE(w.FormKeyDown(Qt::Key_Return)) << "consumed";
    EXPECT_EQ(w.machine().step(), 0);
}

class IdleReturnPage : public ::testing::Test {
protected:
    QCheckBox* Box(TFormCalibra2& page, const char* name) { return page.findChild<QCheckBox*>(QString::fromLatin1(name)); }
    QLineEdit* Edit(TFormCalibra2& page, const char* name)
    {
        return page.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    SimCar sim;
};

TEST_F(IdleReturnPage, OffAtHundredOpensUntickedAndTickingWritesZero)
{
    sim.car->SetParam(1097, 100);
    TFormCalibra2 page(sim.ctx);
    EXPECT_FALSE(Box(page, "CheckRientroMin")->isChecked());
    EXPECT_TRUE(Edit(page, "EditRientroMinimo")->isHidden());
    EXPECT_EQ(sim.car->GetParam(1097), 100) << "opening writes nothing";
    Box(page, "CheckRientroMin")->click();
    EXPECT_EQ(sim.car->GetParam(1097), 0);
    EXPECT_FALSE(Edit(page, "EditRientroMinimo")->isHidden());
}

TEST_F(IdleReturnPage, UntickRemembersAndTickWritesBack)
{
    sim.car->SetParam(1097, -6);
    TFormCalibra2 page(sim.ctx);
    ASSERT_TRUE(Box(page, "CheckRientroMin")->isChecked());
    EXPECT_EQ(Edit(page, "EditRientroMinimo")->text(), QStringLiteral("-6"));
    Box(page, "CheckRientroMin")->click();
    EXPECT_EQ(sim.car->GetParam(1097), 100);
    Box(page, "CheckRientroMin")->click();
    EXPECT_EQ(sim.car->GetParam(1097), -6);
}

TEST_F(IdleReturnPage, UntickingTheClimateShiftsColumnsZeroAndOneBack)
{
    const Map map = GasMap(*sim.car);
    sim.car->SetClimateEffect(5);
    TFormCalibra2 page(sim.ctx);
    ASSERT_TRUE(Box(page, "CheckClima")->isChecked());
    Box(page, "CheckClima")->click();
    EXPECT_EQ(sim.car->GetClimateEffect(), 0);
    EXPECT_EQ(GasMap(*sim.car), map);
    Box(page, "CheckClima")->click();
    EXPECT_EQ(sim.car->GetClimateEffect(), 5);
}

TEST_F(IdleReturnPage, EntriesWriteOnEnterClampedToMinusTenToTen)
{
    sim.car->SetParam(1097, 2);
    sim.car->SetClimateEffect(3);
    TFormCalibra2 page(sim.ctx);
    auto* idle = Edit(page, "EditRientroMinimo");
    auto* clima = Edit(page, "EditClima");
    ASSERT_NE(qobject_cast<TNumericEdit*>(idle), nullptr);
    ASSERT_NE(qobject_cast<TNumericEdit*>(clima), nullptr);
    EXPECT_EQ(qobject_cast<TNumericEdit*>(idle)->DataCode(), 1097);

    const struct {
        const char* typed;
        int written;
    } cases[] = {{"15", 10}, {"-15", -10}, {"-7", -7}, {"1234", 10} /* 123 kept */, {"4x", 4}, {"0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        for (QLineEdit* edit : {idle, clima}) {
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(c.typed));
            EXPECT_LE(edit->text().size(), 3);
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_EQ(edit->text(), QString::number(c.written)) << "the entry shows what was written";
        }
        EXPECT_EQ(sim.car->GetParam(1097), c.written);
        EXPECT_EQ(sim.car->GetClimateEffect(), c.written);
    }

    // The handlers called directly (as the calibration sequence does) clamp too.
    idle->setText(QStringLiteral("11"));
    page.EditRientroMinimoEnter();
    EXPECT_EQ(sim.car->GetParam(1097), 10);
    EXPECT_EQ(idle->text(), QStringLiteral("10"));
}

class RoadWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.StartOnGas();
        sim.engine().SetTarget(2450, 95, 43);
    }
    SimCar sim;
};

TEST_F(RoadWindow, ConfirmationRepeatsWhileAboveIdleAndCancelKeepsTheRoadPhase)
{
    TFormCalibraStrada w(sim.ctx);
    auto* conferma = w.findChild<QPushButton*>(QStringLiteral("ButtonConferma"));
    EXPECT_FALSE(conferma->isEnabled());
    w.Tick();
    ASSERT_EQ(w.machine().phase(), 1);
    EXPECT_TRUE(conferma->isEnabled());
    sim.dialogs.answers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Cancel};
    sim.clock.sleeps.clear();
    w.ButtonConfermaClick();
    EXPECT_EQ(sim.dialogs.messages.size(), 3u);
    EXPECT_EQ(sim.clock.sleeps, (std::vector<uint32_t>{300, 300}));
    EXPECT_EQ(w.machine().phase(), 1);

    // Slowing to idle while the prompt repeats ends the loop.
    sim.engine().SetTarget(850, 30, 28);
    w.ButtonConfermaClick();
    EXPECT_EQ(w.machine().phase(), 2);
    EXPECT_FALSE(conferma->isEnabled());
    const size_t shown = sim.dialogs.messages.size();
    w.ButtonConfermaClick();
    EXPECT_EQ(sim.dialogs.messages.size(), shown) << "a second press does nothing";
}

TEST_F(RoadWindow, CancelOnTheFinalQuestionLeavesTheMapUntouched)
{
    const Map map = GasMap(*sim.car);
    TFormCalibraStrada w(sim.ctx);
    for (int i = 0; i < 200; ++i)
        w.Tick();
    ASSERT_GT(w.machine().count(10), 5);
    sim.engine().SetTarget(850, 30, 28);
    for (int i = 0; i < 40; ++i)
        w.Tick();
    w.ButtonConfermaClick();
    sim.dialogs.answers = {MsgResult::Cancel};
    for (int i = 0; i < 300 && w.machine().phase() != 3; ++i)
        w.Tick();
    ASSERT_EQ(w.machine().phase(), 3);
    EXPECT_EQ(sim.dialogs.messages.back().icon, MsgIcon::Warning);
    EXPECT_EQ(w.result(), TFormCalibraStrada::kModalDone);
    EXPECT_EQ(GasMap(*sim.car), map);
}

TEST_F(RoadWindow, ParametersRebuildTheGridAndColourItsCells)
{
    TFormCalibraStrada w(sim.ctx);
    EXPECT_EQ(w.grid()->shownColumns(), 12) << "columns 5 to 16";
    sim.dialogs.windows.push_back([](QDialog* d) {
        auto* params = static_cast<TFormParCalStrada*>(d);
        params->findChild<QSpinBox*>(QStringLiteral("EditColonneMin"))->setValue(3);
        params->chooseColour = [](const QColor&, QWidget*) { return QColor(0, 0, 0); };
        params->BoxColorGridClick();
        return QDialog::Accepted;
    });
    w.ButtonModificaClick();
    EXPECT_TRUE(w.timer()->isActive());
    EXPECT_EQ(w.machine().tuning().idleColumns, 3);
    EXPECT_EQ(w.grid()->shownColumns(), 17) << "columns 3 to 19";
    EXPECT_EQ(w.grid()->CellColour(12), QColor(0, 0, 0));
    for (int i = 0; i < 40 && w.machine().count(10) < 5; ++i)
        w.Tick();
    ASSERT_EQ(w.machine().count(10), 5);
    // Black to white in tenths: 5 x 25 per byte.
    EXPECT_EQ(w.grid()->CellColour(10), QColor(125, 125, 125));
}

} // namespace
} // namespace vapora::test
