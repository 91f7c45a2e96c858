// The diagnosis window against the simulated unit.

#include "MonitorSupport.h"
#include "calib/forms/TFormDiagnosi.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vapora;

namespace {

constexpr int kStato = 57, kAbilitazione = 58, kTempoGas = 59, kTempoBenzina = 60;
constexpr int32_t kStatoElem = 569, kAbilitazioneElem = 570;

struct Diagnosis : ::testing::Test {
    test::SimBench bench;
    std::unique_ptr<TFormDiagnosi> form;

    void SetUp() override
    {
        bench.unit->StoreElement(kStato, 0, 0x0012);        // checks 2 and 5 in error
        bench.unit->StoreElement(kAbilitazione, 0, 0x007F); // checks 1-7 enabled
    }

    TFormDiagnosi& Open()
    {
        bench.Connect();
        form = std::make_unique<TFormDiagnosi>(bench.ctx);
        return *form;
    }

    QCheckBox* Check(int n) const { return form->findChild<QCheckBox*>(QStringLiteral("CheckDiagn%1").arg(n)); }
    QLabel* State(int n) const { return form->findChild<QLabel*>(QStringLiteral("LabelStato%1").arg(n)); }
    QString Text(const char* name) const { return form->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    QColor StateColor(int n) const { return State(n)->palette().color(QPalette::WindowText); }
};

} // namespace

TEST_F(Diagnosis, ShowsTheUnitsErrorsAndEnabledChecks)
{
    Open();
    EXPECT_EQ(State(2)->text(), "ERRORE");
    EXPECT_EQ(StateColor(2), QColor(255, 0, 0));
    EXPECT_EQ(State(5)->text(), "ERRORE");
    EXPECT_EQ(State(1)->text(), "OK");
    EXPECT_EQ(StateColor(1), QColor(0, 120, 0));
    for (int n = 1; n <= 7; ++n)
        EXPECT_TRUE(Check(n)->isChecked()) << n;
}

TEST_F(Diagnosis, UntickingClearsTheErrorBitBeforeTheEnableBit)
{
    Open();
    Check(5)->click();
    const auto& w = bench.link->writes;
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].id, kStatoElem);
    EXPECT_EQ(w[0].value, 0x0002);
    EXPECT_EQ(w[1].id, kAbilitazioneElem);
    EXPECT_EQ(w[1].value, 0x006F);
    EXPECT_EQ(bench.unit->StoredElement(kStato, 0), 0x0002);
    EXPECT_EQ(bench.unit->StoredElement(kAbilitazione, 0), 0x006F);
    EXPECT_EQ(State(5)->text(), "OK"); // refreshed after the change
    EXPECT_EQ(State(2)->text(), "ERRORE");
}

TEST_F(Diagnosis, TickingLeavesTheErrorWordAlone)
{
    bench.unit->StoreElement(kAbilitazione, 0, 0x006F);
    Open();
    ASSERT_FALSE(Check(5)->isChecked());
    Check(5)->click();
    ASSERT_EQ(bench.link->writes.size(), 1u);
    EXPECT_EQ(bench.link->writes[0].id, kAbilitazioneElem);
    EXPECT_EQ(bench.unit->StoredElement(kAbilitazione, 0), 0x007F);
    EXPECT_EQ(bench.unit->StoredElement(kStato, 0), 0x0012);
}

TEST_F(Diagnosis, EnterOnAFocusedCheckTogglesIt)
{
    Open();
    QTest::keyClick(Check(3), Qt::Key_Return);
    EXPECT_FALSE(Check(3)->isChecked());
    EXPECT_EQ(bench.unit->StoredElement(kAbilitazione, 0), 0x007B);
}

TEST_F(Diagnosis, SevenChecksSpreadEvenlyForModel1WithOneProbe)
{
    bench.unit->StoreElement(3, 0, bench.unit->StoredElement(3, 0) | 4); // Flag1 bit 2: one probe
    Open();
    ASSERT_FALSE(bench.car->HasTwoProbes());
    std::vector<int> tops;
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(Check(n)->isVisibleTo(form.get()), n <= 7) << n;
        EXPECT_EQ(State(n)->isVisibleTo(form.get()), n <= 7) << n;
        if (n <= 7) {
            tops.push_back(Check(n)->y());
            EXPECT_EQ(State(n)->y(), Check(n)->y());
        }
    }
    const int step = tops[1] - tops[0];
    EXPECT_GT(step, Check(1)->height());
    for (size_t i = 1; i < tops.size(); ++i)
        EXPECT_EQ(tops[i] - tops[i - 1], step);
}

TEST_F(Diagnosis, TwoProbesShowTheSecondProbesChecks)
{
    bench.unit->StoreElement(3, 0, bench.unit->StoredElement(3, 0) & ~4);
    Open();
    ASSERT_TRUE(bench.car->HasTwoProbes());
    EXPECT_FALSE(Check(8)->isVisibleTo(form.get()));
    for (int n = 9; n <= 11; ++n)
        EXPECT_TRUE(Check(n)->isVisibleTo(form.get())) << n;
}

TEST_F(Diagnosis, OperatingTimesInHoursAndMinutes)
{
    bench.unit->StoreElement(kTempoGas, 0, 7);     // 140 minutes
    bench.unit->StoreElement(kTempoBenzina, 0, 2); // 40 minutes
    Open();
    EXPECT_EQ(Text("LabelTGas"), "2 ore, 20 minuti");
    EXPECT_EQ(Text("LabelTBenz"), "0 ore, 40 minuti");
}

TEST_F(Diagnosis, ClearingErrorsShowsOkWithoutAskingUntilTheNextRefresh)
{
    Open();
    form->ButtonAzzeraErroriClick();
    EXPECT_TRUE(bench.dialogs.messages.empty());
    EXPECT_EQ(bench.unit->StoredElement(kStato, 0), 0);
    EXPECT_EQ(bench.unit->StoredElement(kStato, 1), 0);
    bench.unit->StoreElement(kStato, 0, 0x0004); // the fault comes back
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(State(n)->text(), "OK") << n;
        EXPECT_EQ(StateColor(n), QColor(0, 120, 0)) << n;
    }
    form->Timer1Timer();
    EXPECT_EQ(State(3)->text(), "ERRORE");
}

TEST_F(Diagnosis, ClearingTimesAsksFirst)
{
    bench.unit->StoreElement(kTempoGas, 0, 7);
    bench.unit->StoreElement(kTempoBenzina, 0, 2);
    Open();
    bench.dialogs.answers = {MsgResult::No};
    form->ButtonAzzeraTempiClick();
    ASSERT_EQ(bench.dialogs.messages.size(), 1u);
    const auto& m = bench.dialogs.messages[0];
    EXPECT_EQ(m.text, "Sei sicuro di voler azzerare i tempi di funzionamento?");
    EXPECT_EQ(m.title, form->windowTitle());
    EXPECT_EQ(m.icon, MsgIcon::Warning);
    EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    EXPECT_EQ(bench.unit->StoredElement(kTempoGas, 0), 7);
    EXPECT_EQ(Text("LabelTGas"), "2 ore, 20 minuti");

    bench.dialogs.answers = {MsgResult::Yes};
    form->ButtonAzzeraTempiClick();
    EXPECT_EQ(bench.unit->StoredElement(kTempoGas, 0), 0);
    EXPECT_EQ(bench.unit->StoredElement(kTempoBenzina, 0), 0);
    EXPECT_EQ(Text("LabelTGas"), "0 ore, 0 minuti");
    EXPECT_EQ(Text("LabelTBenz"), "0 ore, 0 minuti");
}

TEST_F(Diagnosis, TimerRefreshesOnlyWhileConnected)
{
    Open();
    bench.unit->StoreElement(kStato, 0, 0x0001);
    bench.link->Disconnect();
    form->Timer1Timer();
    EXPECT_EQ(State(1)->text(), "OK");
    EXPECT_EQ(State(2)->text(), "ERRORE");
    bench.link->Connect();
    form->Timer1Timer();
    EXPECT_EQ(State(1)->text(), "ERRORE");
    EXPECT_EQ(State(2)->text(), "OK");
    EXPECT_EQ(form->Timer1()->interval(), 5000);
    EXPECT_TRUE(form->Timer1()->isActive());
}

TEST_F(Diagnosis, FocusedCheckTurnsBoldAndBlue)
{
    Open();
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(Check(4), &in);
    EXPECT_TRUE(Check(4)->font().bold());
    EXPECT_EQ(Check(4)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(Check(4), &out);
    EXPECT_FALSE(Check(4)->font().bold());
    EXPECT_NE(Check(4)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}
