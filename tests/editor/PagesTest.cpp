// The parameter pages on the simulated unit: every bound control writes and
// loads its parameter, and the pages' own rules.

#include "EditorFixture.h"
#include "editor/BlockEdit.h"
#include "editor/EnrichGrid.h"
#include "editor/StepGrid.h"
#include "editor/TFormModMappa.h"
#include "model/ParamIds.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vapora::test {
namespace {

using Pages = EditorTest;

struct Binding {
    const char* control;
    int page;
    const char* typed;
    int32_t id;
    double expected;
};

TEST_F(Pages, EveryBoundEditWritesAndLoadsItsParameter)
{
    using F = TFormConfig;
    const Binding table[] = {
        {"EditGiriCambio", F::kTabCambio, "2050", ids::kGiriPerCambio, 2050},
        {"EditTempCambio", F::kTabCambio, "30", ids::kTemperaturaCambio, 30},
        {"EditRitMin", F::kTabCambio, "20", ids::kRitardoMinimoCambio, 20},
        {"EditTempoSovrap", F::kTabCambio, "1.5", ids::kTempoSovrapposizione, 1.5},
        {"EditFuoriGiri", F::kTabCambio, "6000", ids::kFuoriGiri, 6000},
        {"EditFasciaMin", F::kTabCambio, "3", ids::kFasciaGiriMinimo, 3},
        {"EditRitardoLbd", F::kTabLambda, "9", ids::kRitardoLetturaSonda, 9},
        {"EditRifLambda", F::kTabLambda, "0.45", ids::kRifLambda, 0.45},
        {"EditRifSupFredda", F::kTabLambda, "0.6", ids::kRifSupSondaFredda, 0.6},
        {"EditRifInfFredda", F::kTabLambda, "0.3", ids::kRifInfSondaFredda, 0.3},
        {"EditRifSupCalda", F::kTabLambda, "0.7", ids::kRifSupSondaCalda, 0.7},
        {"EditRifInfCalda", F::kTabLambda, "0.2", ids::kRifInfSondaCalda, 0.2},
        {"EditSondaFredda", F::kTabLambda, "40", ids::kTempoSondaFredda, 40},
        {"EditIstTps", F::kTabTps, "0.2", ids::kIsteresi, 0.2},
        {"EditTpsMoltoFMin", F::kTabTps, "1.5", ids::kTpsMoltoFuori, 1.5},
        {"EditRitornoBenzina", F::kTabSensore, "30", ids::kTempoRitBenzina, 30},
        {"EditLivEmulAlto", F::kTabSensore, "0.8", ids::kLivelloAlto, 0.8},
        {"EditLivEmulBasso", F::kTabSensore, "0.1", ids::kLivelloBasso, 0.1},
        {"EditCfTot", F::kTabCutoff, "2500", ids::kGiriCutoff, 2500},
        {"EditRitCutoff", F::kTabCutoff, "1.2", ids::kRitardoCutoff, 1.2},
        {"EditMotoreCutoff", F::kTabCutoff, "70", ids::kMotoreCutoff, 70},
        {"EditMotoreCutoff2", F::kTabCutoff, "90", ids::kMotoreFineCutoff, 90},
        {"EditPassiCutoff", F::kTabCutoff, "200", ids::kTempoPassiCutoff, 200},
        {"EditCumuloArricc", F::kTabArricchimento, "5", ids::kMinCumulo, 5},
        {"EditTpsArrBenzina", F::kTabArricchimento, "2", ids::kTpsArrBenzina, 2},
        {"EditGiriArrBenzina", F::kTabArricchimento, "3000", ids::kGiriArrBenzina, 3000},
        {"EditTMinArrBenzina", F::kTabArricchimento, "0.25", ids::kTempoMinArrBenzina, 0.25},
        {"EditLimCorrettore", F::kTabArricchimento, "30", ids::kLimitazioneCorrettore, 30},
        {"EditMaxErrIntegMin", F::kTabVarie, "20", ids::kMaxErroreIntegraleAlMinimo, 20},
        {"EditMinErrIntegMin", F::kTabVarie, "25", ids::kMinErroreIntegraleAlMinimo, 25},
        {"EditMaxErrInteg", F::kTabVarie, "30", ids::kMaxErroreIntegrale, 30},
        {"EditMinErrInteg", F::kTabVarie, "35", ids::kMinErroreIntegrale, 35},
        {"EditTpsSbana", F::kTabVarie, "3", ids::kTpsSbana, 3},
        {"EditGiriSbana", F::kTabVarie, "4000", ids::kGiriSbana, 4000},
        {"EditPassiSbana", F::kTabVarie, "12", ids::kPassiSbana, 12},
        {"EditTApSbana", F::kTabVarie, "100", ids::kTempoApSbana, 100},
        {"EditTChSbana", F::kTabVarie, "120", ids::kTempoChSbana, 120},
    };
    Build();
    Show();
    car->SetParam(ids::kGiriCutoff, 1800); // the cut-off fields are shown
    for (const Binding& b : table) {
        form->SelectPage(b.page);
        TNumericEdit* edit = Edit(b.control);
        ASSERT_NE(edit, nullptr) << b.control;
        EXPECT_EQ(edit->DataCode(), b.id) << b.control;
        Enter(edit, QString::fromLatin1(b.typed));
        EXPECT_NEAR(car->GetParam(b.id), b.expected, 0.6) << b.control;
        // Shown again from the record when the page shows (whole numbers truncated).
        edit->setText(QStringLiteral("77"));
        form->Page(b.page)->PageShow();
        EXPECT_NEAR(edit->GetDouble(), car->GetParam(b.id), edit->Precision() >= 1 ? 0.999 : 0.02) << b.control;
    }
}

TEST_F(Pages, ListsWriteTheChosenItemIndex)
{
    const struct {
        const char* control;
        int page;
        int index;
        int32_t id;
    } table[] = {{"ComboAccensione", TFormConfig::kTabCambio, 3, ids::kNumeroCilindri},
                 {"ComboTipoLambda", TFormConfig::kTabLambda, 2, ids::kTipoDiLambda},
                 {"ComboTps", TFormConfig::kTabTps, 1, ids::kTpsBits0to2},
                 {"ComboTpsSwitch", TFormConfig::kTabTps, 2, ids::kTpsBits3to5}};
    Build();
    Show();
    for (const auto& c : table) {
        form->SelectPage(c.page);
        Choose(Combo(c.control), c.index);
        EXPECT_EQ(static_cast<int>(car->GetParam(c.id)), c.index) << c.control;
        Combo(c.control)->setCurrentIndex(0);
        form->Page(c.page)->PageShow();
        EXPECT_EQ(Combo(c.control)->currentIndex(), c.index) << c.control;
    }
}

TEST_F(Pages, ChangeoverOffHidesThresholdAndBackRestoresIt)
{
    Build();
    Show();
    Enter(Edit("EditGiriCambio"), QStringLiteral("2200"));
    Choose(Combo("ComboCambio"), 2);
    EXPECT_EQ(car->GetChangeoverMode(), 2);
    EXPECT_FALSE(Edit("EditGiriCambio")->isVisibleTo(form.get()));
    EXPECT_FALSE(Edit("EditTempoSovrap")->isVisibleTo(form.get()));
    Choose(Combo("ComboCambio"), 0);
    EXPECT_TRUE(Edit("EditGiriCambio")->isVisibleTo(form.get()));
    EXPECT_EQ(Edit("EditGiriCambio")->text(), "2200");
    Enter(Edit("EditArrPartenza"), QStringLiteral("44"));
    EXPECT_EQ(car->GetStartEnrich(), 44);
}

TEST_F(Pages, LevelReferencesMustRunInTheSensorsDirection)
{
    const struct {
        int sensor;
        int refs[4];
        bool accepted;
    } cases[] = {{3, {50, 100, 150, 200}, true},  {3, {200, 150, 100, 50}, false}, {3, {50, 100, 100, 200}, false},
                 {4, {200, 150, 100, 50}, true},  {4, {50, 100, 150, 200}, false}, {4, {200, 150, 150, 50}, false}};
    Build();
    Show(TFormConfig::kTabSensore);
    PageSensore* page = form->TabSensore();
    for (const auto& c : cases) {
        Choose(page->ComboSensore, c.sensor);
        ASSERT_TRUE(page->ButtonAccetta->isVisibleTo(form.get()));
        const int before = car->GetSensorRef(0);
        dialogs.messages.clear();
        for (int i = 0; i < 4; ++i)
            page->EditLivello[i]->setText(QString::number(c.refs[i]));
        page->ButtonAccetta->click();
        if (c.accepted) {
            EXPECT_TRUE(dialogs.messages.empty());
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(car->GetSensorRef(i), c.refs[i]) << c.sensor << " " << i;
        } else {
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.sensor;
            EXPECT_EQ(dialogs.messages[0].text, "Attenzione: i riferimenti LIVELLO non sono corretti!");
            EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
            EXPECT_EQ(car->GetSensorRef(0), before) << "nothing written";
        }
    }
    Choose(page->ComboSensore, 0);
    EXPECT_FALSE(page->ButtonAccetta->isVisibleTo(form.get()));
}

TEST_F(Pages, ASwitchOrWireThrottleUnchecksAndDisablesTheManualIdleValue)
{
    Build();
    car->SetParam(ids::kTpsBit7, 1);
    Show(TFormConfig::kTabTps);
    PageTps* page = form->TabTps();
    ASSERT_TRUE(page->CheckTpsBloc->isChecked());
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("LabelIstTps"))->text(), "Incremento TPS per uscire dal minimo");
    Choose(page->ComboTpsSwitch, 1);
    EXPECT_FALSE(page->CheckTpsBloc->isChecked());
    EXPECT_FALSE(page->CheckTpsBloc->isEnabled());
    EXPECT_EQ(car->GetParam(ids::kTpsBit7), 0);
    EXPECT_FALSE(page->ComboTpsWire->isEnabled());
    EXPECT_FALSE(page->EditIstTps->isEnabled());
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("LabelIstTps"))->text(), "Isteresi TPS");

    Choose(page->ComboTpsSwitch, 0);
    EXPECT_TRUE(page->CheckTpsBloc->isEnabled());
    EXPECT_TRUE(page->ComboTpsWire->isEnabled());
    Choose(page->ComboTpsWire, 2);
    EXPECT_EQ(car->GetTpsWire(), 2);
    EXPECT_FALSE(page->ComboTpsSwitch->isEnabled());
    EXPECT_FALSE(page->CheckTpsBloc->isEnabled());
}

TEST_F(Pages, EmulationListOffersPetrolFeedbackOnlyWithAPetrolMap)
{
    Build();
    car->SetEmulationType(4);
    ASSERT_FALSE(car->HasPetrolMap());
    Show(TFormConfig::kTabSensore);
    EXPECT_EQ(Combo("ComboEmulazione")->count(), 4);
    EXPECT_EQ(car->GetEmulationType(), 2);
    EXPECT_EQ(Combo("ComboEmulazione")->currentIndex(), 2);

    car->SetPetrolMapCell(0, 0, 2.0);
    car->SetEmulationType(4);
    form->TabSensore()->PageShow();
    EXPECT_EQ(Combo("ComboEmulazione")->count(), 5);
    EXPECT_EQ(Combo("ComboEmulazione")->currentIndex(), 4);
    EXPECT_FALSE(Edit("EditTempoAlto")->isVisibleTo(form.get()));
    Choose(Combo("ComboEmulazione"), 3);
    EXPECT_TRUE(Edit("EditTempoAlto")->isVisibleTo(form.get()));
}

TEST_F(Pages, CutoffSwitchRemembersTheEndSpeed)
{
    Build();
    PageCutoff* page = form->TabCutoff();
    const struct {
        int speed;
        bool checked;
    } cases[] = {{6000, true}, {6050, false}, {10000, false}};
    Show();
    for (const auto& c : cases) {
        car->SetParam(ids::kGiriCutoff, c.speed);
        form->SelectPage(TFormConfig::kTabCutoff);
        page->PageShow();
        EXPECT_EQ(page->CheckAttivaCutoff->isChecked(), c.checked) << c.speed;
        EXPECT_EQ(page->EditCfTot->isVisibleTo(form.get()), c.checked) << c.speed;
        EXPECT_EQ(car->GetParam(ids::kGiriCutoff), c.speed) << "showing writes nothing";
    }
    page->CheckAttivaCutoff->click();
    EXPECT_EQ(car->GetParam(ids::kGiriCutoff), 1800) << "the first time";
    Enter(page->EditCfTot, QStringLiteral("2500"));
    page->CheckAttivaCutoff->click();
    EXPECT_EQ(car->GetParam(ids::kGiriCutoff), 10000);
    page->CheckAttivaCutoff->click();
    EXPECT_EQ(car->GetParam(ids::kGiriCutoff), 2500) << "the value seen before switching off";
}

TEST_F(Pages, IdleReturnRestoresOnlyAPositiveCorrection)
{
    Build();
    car->SetParam(ids::kCorrRientroMin, -5);
    Show(TFormConfig::kTabVarie);
    PageVarie* page = form->TabVarie();
    ASSERT_TRUE(page->CheckRientroMin->isChecked());
    EXPECT_EQ(page->EditRientroMinimo->text(), "-5");
    page->CheckRientroMin->click();
    EXPECT_EQ(car->GetParam(ids::kCorrRientroMin), 100);
    EXPECT_EQ(page->EditMaxErrIntegMin->PrevControl(), page->CheckRientroMin);
    page->CheckRientroMin->click();
    EXPECT_EQ(car->GetParam(ids::kCorrRientroMin), 0);
    EXPECT_EQ(page->EditMaxErrIntegMin->PrevControl(), page->EditRientroMinimo);
}

TEST_F(Pages, EnrichmentGridPercentageOnTheHoldAndTimeRows)
{
    Build();
    car->SetEnrichParam(0, 4, 40);
    car->SetPetrolEnrichTime(0, 0.1);
    Show(TFormConfig::kTabArricchimento);
    PageArricchimento* page = form->TabArricchimento();
    ASSERT_EQ(page->CellValue(3, 1), 40);
    ASSERT_EQ(page->CellValue(6, 1), 100);
    for (int row : {3, 6}) {
        int proposed = -1;
        int proposedMode = -1;
        dialogs.windows.push_back([&](QDialog* d) {
            auto* mod = static_cast<TFormModMappa*>(d);
            proposed = mod->Edit1()->text().toInt();
            proposedMode = mod->SelectedMode();
            mod->Edit1()->setText(QStringLiteral("10"));
            mod->ModeButton(kModPercentage)->setChecked(true);
            return QDialog::Accepted;
        });
        page->DrawGridArr->SelectCell(1, row);
        page->DrawGridArrModify();
        EXPECT_EQ(proposedMode, kModAbsolute) << "a single cell proposes its value";
        EXPECT_EQ(proposed, row == 3 ? 40 : 100);
    }
    EXPECT_EQ(car->DecrCumulo[0], 9) << "44 is kept in units of 5";
    EXPECT_EQ(page->CellValue(3, 1), 45);
    EXPECT_EQ(page->CellValue(6, 1), 110);
    EXPECT_TRUE(form->Timer1()->isActive()) << "the timer runs again after the dialog";

    // A block proposes 0 in linear mode.
    int mode = -1;
    dialogs.windows.push_back([&](QDialog* d) {
        mode = static_cast<TFormModMappa*>(d)->SelectedMode();
        return QDialog::Rejected;
    });
    page->DrawGridArr->SelectRange(1, 1, 3, 2);
    page->DrawGridArrModify();
    EXPECT_EQ(mode, kModLinear);
}

TEST_F(Pages, StepGridsRewriteEachCellWithTheStoredValue)
{
    Build();
    Show(TFormConfig::kTabEmissioni);
    PageEmissioni* page = form->TabEmissioni();
    const QString old = page->GridTempi->Cell(3, 0);
    page->GridTempi->item(0, 3)->setText(QStringLiteral("5101"));
    EXPECT_EQ(page->GridTempi->Cell(3, 0), old) << "refused";
    page->GridTempi->item(0, 3)->setText(QStringLiteral("4999"));
    EXPECT_EQ(car->PassiIngr[2], 250);
    EXPECT_EQ(page->GridTempi->Cell(3, 0), "5000");
    page->GridOpenLoop->item(2, 4)->setText(QStringLiteral("x"));
    EXPECT_EQ(page->GridOpenLoop->Cell(4, 2), QString::number(car->GetOpenLoop(3, 2))) << "not a number: kept";
    page->GridPassi->item(1, 1)->setText(QStringLiteral("16"));
    EXPECT_EQ(page->GridPassi->Cell(1, 1), QString::number(car->GetStepParam(0, 1)));
    EXPECT_EQ(page->GridPassi->Cell(1, 0), QString::number(car->GetRpmRef(0)));
    EXPECT_EQ(page->GridTempi->Cell(0, 1), "Smagrire");
}

TEST_F(Pages, DownFromTheLastStepTimeRowGoesToTheOpenLoopGrid)
{
    Build();
    Show(TFormConfig::kTabEmissioni);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    PageEmissioni* page = form->TabEmissioni();
    page->GridTempi->setFocus();
    page->GridTempi->setCurrentCell(1, 5);
    QTest::keyClick(page->GridTempi, Qt::Key_Down);
    EXPECT_TRUE(page->GridOpenLoop->hasFocus());
    EXPECT_EQ(page->GridOpenLoop->currentRow(), 1);
    EXPECT_EQ(page->GridOpenLoop->currentColumn(), 5);
    QTest::keyClick(page->GridOpenLoop, Qt::Key_Up);
    EXPECT_TRUE(page->GridTempi->hasFocus());
    EXPECT_EQ(page->GridTempi->currentRow(), 1);
}

} // namespace
} // namespace vapora::test
