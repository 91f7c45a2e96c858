// Pages "Cutoff" and "Varie": each has a check box that switches a function
// off by writing a sentinel value and back on with the value seen before.
#include "editor/ConfigPages.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "widgets/TNumericEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace vapora {
namespace {

constexpr int kCutoffOff = 10000;
constexpr int kIdleReturnOff = 100;

void SetVisible(QWidget* page, std::initializer_list<const char*> names, bool visible)
{
    for (const char* name : names)
        if (auto* w = page->findChild<QWidget*>(QString::fromLatin1(name)))
            w->setVisible(visible);
}

} // namespace

PageCutoff::PageCutoff(TFormConfig& form) : ConfigPage(form, QStringLiteral("TabCutoff"), QStringLiteral("Cutoff"))
{
    QGridLayout* g = CentredGrid();
    CheckAttivaCutoff = MakeCheck("CheckAttivaCutoff", QStringLiteral("Opzione CUTOFF"));
    g->addWidget(CheckAttivaCutoff, 0, 0, 1, 3);
    EditCfTot = AddEdit(g, 1, {"EditCfTot", 200, 6000, 50, 0, ids::kGiriCutoff}, "LabelCutoffTot",
                        QStringLiteral("Giri per termine CUTOFF"), "LabelRpm3", QStringLiteral(" rpm"));
    EditRitCutoff = AddEdit(g, 2, {"EditRitCutoff", 0, 5.1, 0.02, 0, ids::kRitardoCutoff}, "LabelRitardoCutoff",
                            QStringLiteral("Ritardo innesco CUTOFF"), "LabelS8", QStringLiteral(" s"));
    EditMotoreCutoff = AddEdit(g, 3, {"EditMotoreCutoff", 0, 255, 1, 0, -1}, "LabelMotoreCutoff",
                               QStringLiteral("Posizione iniziale motore in CUTOFF"));
    EditMotoreCutoff->SetDataCode(ids::kMotoreCutoff); // written by its own handler
    EditMotoreCutoff2 = AddEdit(g, 4, {"EditMotoreCutoff2", 0, 255, 1, 0, ids::kMotoreFineCutoff},
                                "LabelMotoreCutoff2", QStringLiteral("Posizione finale motore in CUTOFF"));
    EditPassiCutoff = AddEdit(g, 5, {"EditPassiCutoff", 0, 5100, 20, 0, ids::kTempoPassiCutoff}, "LabelPassiCutoff",
                              QStringLiteral("Tempo tra passi in CUTOFF"), "LabelMs4", QStringLiteral(" ms"));
    connect(CheckAttivaCutoff, &QCheckBox::clicked, this, &PageCutoff::CheckAttivaCutoffClick);
    connect(EditMotoreCutoff, &TNumericEdit::enterPressed, this, &PageCutoff::EditMotoreCutoffKeyPress);
    Chain({EditCfTot, EditRitCutoff, EditMotoreCutoff, EditMotoreCutoff2, EditPassiCutoff});
    Link(EditPassiCutoff, CheckAttivaCutoff);
    Link(CheckAttivaCutoff, EditCfTot);
}

void PageCutoff::PageShow()
{
    form_.loading = true;
    CheckAttivaCutoff->setChecked(static_cast<int>(Car().GetParam(ids::kGiriCutoff)) <= EditCfTot->MaxValue());
    CheckAttivaCutoffClick(); // brings the visibility up to date, writes nothing while loading
    form_.loading = false;
    LoadParam(EditRitCutoff);
    LoadParam(EditMotoreCutoff);
    LoadParam(EditMotoreCutoff2);
    LoadParam(EditPassiCutoff);
    CheckAttivaCutoff->setFocus();
}

void PageCutoff::CheckAttivaCutoffClick()
{
    const bool on = CheckAttivaCutoff->isChecked();
    SetVisible(this, {"LabelCutoffTot", "EditCfTot", "LabelRpm3", "LabelMotoreCutoff", "EditMotoreCutoff",
                      "LabelRitardoCutoff", "EditRitCutoff", "LabelS8", "LabelMotoreCutoff2", "EditMotoreCutoff2",
                      "LabelPassiCutoff", "EditPassiCutoff", "LabelMs4"},
               on);
    if (on) {
        if (!form_.loading)
            Car().SetParam(ids::kGiriCutoff, form_.rememberedCutoff > 0 ? form_.rememberedCutoff : 1800);
        LoadParam(EditCfTot);
    } else if (!form_.loading) {
        form_.rememberedCutoff = static_cast<int>(Car().GetParam(ids::kGiriCutoff));
        Car().SetParam(ids::kGiriCutoff, kCutoffOff);
    }
}

void PageCutoff::EditMotoreCutoffKeyPress() { Car().SetParam(ids::kMotoreCutoff, EditMotoreCutoff->GetInt()); }

PageVarie::PageVarie(TFormConfig& form) : ConfigPage(form, QStringLiteral("TabVarie"), QStringLiteral("Varie"))
{
    QGridLayout* g = CentredGrid();
    CheckRientroMin = MakeCheck("CheckRientroMin", QStringLiteral("&Rientro al minimo controllato"));
    g->addWidget(CheckRientroMin, 0, 0, 1, 3);
    EditRientroMinimo = AddEdit(g, 1, {"EditRientroMinimo", -10, 10, 1, 3, ids::kCorrRientroMin}, "LabelCorrMin",
                                QStringLiteral("Correzione rientro al minimo"));
    AddNote(g, 1, 2, "LabelIntRientro", QStringLiteral("(-10 ÷ 10)"));
    EditMaxErrIntegMin = AddEdit(g, 2, {"EditMaxErrIntegMin", 0, 127, 1, 3, ids::kMaxErroreIntegraleAlMinimo},
                                 "LabelPassiCorrApMin", QStringLiteral("Passi di correzione in apertura al minimo"));
    EditMinErrIntegMin = AddEdit(g, 3, {"EditMinErrIntegMin", 0, 127, 1, 3, ids::kMinErroreIntegraleAlMinimo},
                                 "LabelPassiCorrChMin", QStringLiteral("Passi di correzione in chiusura al minimo"));
    EditMaxErrInteg = AddEdit(g, 4, {"EditMaxErrInteg", 0, 127, 1, 3, ids::kMaxErroreIntegrale}, "LabelPassiCorrAp",
                              QStringLiteral("Passi di correzione in apertura fuori minimo"));
    EditMinErrInteg = AddEdit(g, 5, {"EditMinErrInteg", 0, 127, 1, 3, ids::kMinErroreIntegrale}, "LabelPassiCorrCh",
                              QStringLiteral("Passi di correzione in chiusura fuori minimo"));
    EditTpsSbana = AddEdit(g, 6, {"EditTpsSbana", 0, 5, 0.02, 5, ids::kTpsSbana}, "LabelTpsSbana",
                           QStringLiteral("TPS per arricchimento miscela"), "LabelV8", QStringLiteral(" V"));
    EditGiriSbana = AddEdit(g, 7, {"EditGiriSbana", 200, 10000, 50, 5, ids::kGiriSbana}, "LabelGiriSbana",
                            QStringLiteral("Giri per arricchimento miscela"), "LabelRpm5", QStringLiteral(" rpm"));
    EditPassiSbana = AddEdit(g, 8, {"EditPassiSbana", 0, 255, 1, 5, ids::kPassiSbana}, "LabelPassiInvSbana",
                             QStringLiteral("Passi con miscela arricchita"));
    EditTApSbana = AddEdit(g, 9, {"EditTApSbana", 0, 5100, 20, 5, ids::kTempoApSbana}, "LabelTApSbana",
                           QStringLiteral("Tempo tra passi in apertura con miscela arricchita"), "LabelMs5",
                           QStringLiteral(" ms"));
    EditTChSbana = AddEdit(g, 10, {"EditTChSbana", 0, 5100, 20, 5, ids::kTempoChSbana}, "LabelTChSbana",
                           QStringLiteral("Tempo tra passi in chiusura con miscela arricchita"), "LabelMs6",
                           QStringLiteral(" ms"));
    connect(CheckRientroMin, &QCheckBox::clicked, this, &PageVarie::CheckRientroMinClick);
    Chain({EditMaxErrIntegMin, EditMinErrIntegMin, EditMaxErrInteg, EditMinErrInteg, EditTpsSbana, EditGiriSbana,
           EditPassiSbana, EditTApSbana, EditTChSbana});
    Link(EditTChSbana, CheckRientroMin);
    Link(CheckRientroMin, EditRientroMinimo);
    Link(EditRientroMinimo, EditMaxErrIntegMin);
}

void PageVarie::PageShow()
{
    form_.loading = true;
    CheckRientroMin->setChecked(static_cast<int>(Car().GetParam(ids::kCorrRientroMin)) != kIdleReturnOff);
    CheckRientroMinClick();
    form_.loading = false;
    for (TNumericEdit* e : {EditMaxErrInteg, EditMinErrInteg, EditMaxErrIntegMin, EditMinErrIntegMin, EditTpsSbana,
                            EditGiriSbana, EditPassiSbana, EditTApSbana, EditTChSbana})
        LoadParam(e);
    CheckRientroMin->setFocus();
}

void PageVarie::CheckRientroMinClick()
{
    const bool on = CheckRientroMin->isChecked();
    SetVisible(this, {"LabelCorrMin", "EditRientroMinimo", "LabelIntRientro"}, on);
    if (on) {
        if (!form_.loading)
            Car().SetParam(ids::kCorrRientroMin, form_.rememberedIdleReturn > 0 ? form_.rememberedIdleReturn : 0);
        LoadParam(EditRientroMinimo);
        EditMaxErrIntegMin->SetPrevControl(EditRientroMinimo);
    } else {
        if (!form_.loading) {
            form_.rememberedIdleReturn = static_cast<int>(Car().GetParam(ids::kCorrRientroMin));
            Car().SetParam(ids::kCorrRientroMin, kIdleReturnOff);
        }
        EditMaxErrIntegMin->SetPrevControl(CheckRientroMin);
    }
}

} // namespace vapora
