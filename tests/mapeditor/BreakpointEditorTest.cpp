// The breakpoint editors: order checks, what is written and when, limits on
// leaving an edit, the petrol dialog's fixed load axis.

#include "mapeditor/MapSupport.h"

#include "editor/TFormCentriCelle.h"
#include "editor/TFormCentriCelleBenz.h"
#include "widgets/TNumericEdit.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

void SetSpeeds(BreakpointEditor& d, int first)
{
    for (int i = 0; i < d.SpeedCount(); ++i)
        d.SpeedEdit(i)->setText(QString::number(first + 300 * i));
}

TEST(BreakpointEditor, EqualSpeedsStopWithTheSpeedMessageAndWriteNothing)
{
    MapWindow w;
    const int before = w.car->GetRpmRef(1);
    TFormCentriCelle d(w.ctx);
    SetSpeeds(d, 700);
    d.SpeedEdit(0)->setText(QStringLiteral("1000"));
    d.SpeedEdit(1)->setText(QStringLiteral("1000"));
    d.SpeedEdit(5)->setText(QStringLiteral("7000")); // a later error is not reached
    d.show();
    d.ButtonOkClick();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Attenzione: i riferimenti GIRI non sono corretti!"));
    EXPECT_EQ(w.dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(w.dialogs.messages[0].title, QStringLiteral("Centri celle mappa di carburazione"));
    EXPECT_EQ(d.focusWidget(), d.SpeedEdit(0));
    EXPECT_EQ(w.car->GetRpmRef(1), before);
    EXPECT_TRUE(d.isVisible());
}

TEST(BreakpointEditor, LoadErrorComesAfterTheSpeedsWereWritten)
{
    MapWindow w;
    w.car->IdUnita[2] = 2; // pressure rows
    TFormCentriCelle d(w.ctx);
    EXPECT_EQ(d.GroupRifMap()->title(), QStringLiteral("Righe del MAP (volt)"));
    SetSpeeds(d, 700);
    d.LoadEdit(0)->setText(QStringLiteral("0.50"));
    d.LoadEdit(1)->setText(QStringLiteral("0.40"));
    const int mapBefore = w.car->RifMAP[0];
    d.ButtonOkClick();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Attenzione: i riferimenti MAP non sono corretti!"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(w.car->GetRpmRef(i), 700 + 300 * i);
    EXPECT_EQ(w.car->RifMAP[0], mapBefore);
    EXPECT_EQ(d.result(), 0);
}

TEST(BreakpointEditor, InvertedThrottleAcceptsEqualNeighboursAndStoresFiveMinus)
{
    MapWindow w;
    w.car->IdUnita[2] = 1;
    w.car->TipoDiTps = 1;
    TFormCentriCelle d(w.ctx);
    EXPECT_TRUE(d.InvertedDisplay());
    EXPECT_EQ(d.GroupRifMap()->title(), QStringLiteral("Righe del TPS (volt)"));
    EXPECT_NEAR(d.LoadEdit(0)->GetDouble(), 5 - w.car->GetMapRef(0), 0.006);
    SetSpeeds(d, 700);
    const double shown[8] = {4.50, 4.50, 4.00, 3.50, 3.00, 2.00, 1.00, 0.50};
    for (int i = 0; i < 8; ++i)
        d.LoadEdit(i)->setText(QString::number(shown[i], 'f', 2));
    d.ButtonOkClick();
    EXPECT_TRUE(w.dialogs.messages.empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_NEAR(w.car->GetMapRef(0), 0.50, 0.01);
    EXPECT_NEAR(w.car->GetMapRef(1), 0.50, 0.01);
    EXPECT_NEAR(w.car->GetMapRef(2), 1.00, 0.01);
    EXPECT_NEAR(w.car->GetMapRef(7), 4.50, 0.01);
}

TEST(BreakpointEditor, LeavingASpeedEditAppliesTheLimits)
{
    MapWindow w;
    TFormCentriCelle d(w.ctx);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.SpeedEdit(0)->setFocus();
    d.SpeedEdit(0)->setText(QStringLiteral("9000"));
    d.SpeedEdit(1)->setFocus();
    EXPECT_EQ(d.SpeedEdit(0)->text(), QStringLiteral("8000"));
    d.SpeedEdit(1)->setText(QStringLiteral("150"));
    d.SpeedEdit(2)->setFocus();
    EXPECT_EQ(d.SpeedEdit(1)->text(), QStringLiteral("200"));
    // Enter walks the edits in order and goes from the last speed to the first load.
    d.SpeedEdit(19)->setFocus();
    QTest::keyClick(d.SpeedEdit(19), Qt::Key_Return);
    EXPECT_EQ(d.focusWidget(), d.LoadEdit(0));
}

TEST(BreakpointEditor, PetrolDialogNeverInvertsAndWritesThePetrolAxes)
{
    MapWindow w;
    w.car->IdUnita[2] = 1;
    w.car->TipoDiTps = 1;
    TFormCentriCelleBenz d(w.ctx);
    EXPECT_FALSE(d.InvertedDisplay());
    EXPECT_EQ(d.SpeedCount(), 12);
    EXPECT_EQ(d.LoadCount(), 12);
    EXPECT_EQ(d.GroupRifMap()->title(), QStringLiteral("Righe del MAP (volt)"));
    SetSpeeds(d, 900);
    for (int i = 0; i < 12; ++i)
        d.LoadEdit(i)->setText(QString::number(0.3 + 0.4 * i, 'f', 2));
    const int gasBefore = w.car->GetRpmRef(0);
    d.ButtonOkClick();
    EXPECT_EQ(w.car->GetPetrolRpmRef(11), 900 + 300 * 11);
    EXPECT_NEAR(w.car->GetPetrolMapRef(0), 0.3, 0.01);
    EXPECT_EQ(w.car->GetRpmRef(0), gasBefore);
}

TEST(BreakpointEditor, PageButtonRunsTheDialogWithTheTimerStopped)
{
    MapWindow w;
    int runningDuringDialog = -1;
    w.dialogs.windows.push_back([&](QDialog* d) {
        runningDuringDialog = w.live.running;
        EXPECT_NE(dynamic_cast<TFormCentriCelle*>(d), nullptr);
        return QDialog::Rejected;
    });
    w.gas->ButtonCentriCelle()->click();
    EXPECT_EQ(runningDuringDialog, 0);
    EXPECT_TRUE(w.live.running);
    EXPECT_EQ(w.live.midpoints, 1);
}

} // namespace
} // namespace vapora::test
