// Pages "Giri - Cambio" and "Lambda".
#include "editor/ConfigPages.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QGridLayout>
#include <QLabel>

namespace vapora {
PageCambio::PageCambio(TFormConfig& form)
    : ConfigPage(form, QStringLiteral("TabCambio"), QStringLiteral("Giri - Cambio"))
{
    QGridLayout* g = CentredGrid();
    ComboAccensione = AddCombo(g, 0, "ComboAccensione", "LabelAccensione", QStringLiteral("Numero cilindri"),
                               {QStringLiteral("3 Cilindri"), QStringLiteral("4 Cilindri"), QStringLiteral("5 Cilindri"),
                                QStringLiteral("6 Cilindri"), QStringLiteral("8 Cilindri")},
                               ids::kNumeroCilindri);
    ComboCambio = AddCombo(g, 1, "ComboCambio", "LabelCambio", QStringLiteral("Tipo di cambio"),
                           {QStringLiteral("In Accelerazione"), QStringLiteral("In Decelerazione")});
    EditGiriCambio = AddEdit(g, 2, {"EditGiriCambio", 0, 10000, 50, 5, ids::kGiriPerCambio}, "LabelGiriCambio",
                             QStringLiteral("Soglia giri per il cambio"), "LabelRpm1", QStringLiteral(" rpm"));
    EditTempCambio = AddEdit(g, 3, {"EditTempCambio", 5, 40, 1, 2, ids::kTemperaturaCambio}, "LabelTempCambio",
                             QStringLiteral("Temperatura minima per il cambio"), "LabelT1", QStringLiteral(" °C"));
    EditRitMin = AddEdit(g, 4, {"EditRitMin", 0, 250, 1, 5, ids::kRitardoMinimoCambio}, "LabelRitardoCambio",
                         QStringLiteral("Ritardo passaggio benzina-gas"), "LabelS1", QStringLiteral(" s"));
    EditTempoSovrap = AddEdit(g, 5, {"EditTempoSovrap", 0, 5.1, 0.02, 5, ids::kTempoSovrapposizione},
                              "LabelSovrappCarb", QStringLiteral("Tempo di sovrapposizione carburanti"), "LabelS2",
                              QStringLiteral(" s"));
    EditFuoriGiri = AddEdit(g, 6, {"EditFuoriGiri", 200, 10000, 50, 5, ids::kFuoriGiri}, "LabelFuoriGiri",
                            QStringLiteral("Intervento fuori giri (ritorno benzina)"), "LabelRpm2",
                            QStringLiteral(" rpm"));
    EditFasciaMin = AddEdit(g, 7, {"EditFasciaMin", 0, 20, 1, 5, ids::kFasciaGiriMinimo}, "LabelFasciaMin",
                            QStringLiteral("Colonne ritenute al minimo"));
    EditArrPartenza = AddEdit(g, 8, {"EditArrPartenza", 0, 100, 1, 3, -1}, "LabelArrPartenza",
                              QStringLiteral("Arricchimento in partenza"));
    AddNote(g, 8, 2, "LabelIntArrPartenza", QStringLiteral("(0 - 100)"));

    connect(ComboCambio, &TKeyComboBox::enterPressed, this, [this] {
        if (!ComboCambio->DroppedDown())
            ComboCambioKeyPress();
    });
    connect(EditArrPartenza, &TNumericEdit::enterPressed, this, &PageCambio::EditArrPartenzaKeyPress);
    Chain({ComboAccensione, ComboCambio, EditGiriCambio, EditTempCambio, EditRitMin, EditTempoSovrap, EditFuoriGiri,
           EditFasciaMin, EditArrPartenza});
}

void PageCambio::PageShow()
{
    ComboAccensione->setCurrentIndex(static_cast<int>(Car().GetParam(ids::kNumeroCilindri)));
    ComboCambio->setCurrentIndex(Car().GetChangeoverMode());
    LoadParam(EditTempCambio);
    LoadParam(EditRitMin);
    LoadParam(EditFuoriGiri);
    LoadParam(EditFasciaMin);
    Load(EditArrPartenza, Car().GetStartEnrich());
    ChangeoverRefresh();
    ComboAccensione->setFocus();
}

void PageCambio::ChangeoverRefresh()
{
    LoadParam(EditGiriCambio);
    LoadParam(EditTempoSovrap);
    const bool shown = Car().GetChangeoverMode() != 2;
    for (const char* name : {"LabelGiriCambio", "LabelRpm1", "LabelSovrappCarb", "LabelS2"})
        if (QLabel* l = FindLabel(this, name))
            l->setVisible(shown);
    EditGiriCambio->setVisible(shown);
    EditTempoSovrap->setVisible(shown);
}

void PageCambio::ComboCambioKeyPress()
{
    Car().SetChangeoverMode(ComboCambio->currentIndex());
    ChangeoverRefresh();
}

void PageCambio::EditArrPartenzaKeyPress() { Car().SetStartEnrich(EditArrPartenza->GetInt()); }

PageLambda::PageLambda(TFormConfig& form) : ConfigPage(form, QStringLiteral("TabLambda"), QStringLiteral("Lambda"))
{
    QGridLayout* g = CentredGrid();
    ComboTipoLambda = AddCombo(g, 0, "ComboTipoLambda", "LabelTipoLambda", QStringLiteral("Tipo di sonda Lambda"),
                               {QStringLiteral("0 - 1 Volt"), QStringLiteral("0 - 5 Volt"), QStringLiteral("5 - 0 Volt"),
                                QStringLiteral("0.8 - 1.6 Volt")},
                               ids::kTipoDiLambda);
    ComboNumeroSonde = AddCombo(g, 1, "ComboNumeroSonde", "LabelNumeroSonde", QStringLiteral("Numero sonde"),
                                {QStringLiteral("1"), QStringLiteral("2")});
    EditRitardoLbd = AddEdit(g, 2, {"EditRitardoLbd", 0, 255, 1, 0, ids::kRitardoLetturaSonda}, "LabelRitardoLambda",
                             QStringLiteral("Ritardo lettura sonda Lambda"), "LabelS3", QStringLiteral(" s"));
    EditRifLambda = AddEdit(g, 3, {"EditRifLambda", 0, 5, 0.01, 0, ids::kRifLambda}, "LabelRifLambda",
                            QStringLiteral("Riferimento sonda Lambda"), "LabelV1", QStringLiteral(" V"));
    EditRifSupFredda = AddEdit(g, 4, {"EditRifSupFredda", 0, 5, 0.01, 0, ids::kRifSupSondaFredda},
                               "LabelRifSupFredda", QStringLiteral("Riferimento superiore per raffreddarsi"),
                               "LabelV2", QStringLiteral(" V"));
    EditRifInfFredda = AddEdit(g, 5, {"EditRifInfFredda", 0, 5, 0.01, 0, ids::kRifInfSondaFredda},
                               "LabelRifInfFredda", QStringLiteral("Riferimento inferiore per raffreddarsi"),
                               "LabelV3", QStringLiteral(" V"));
    EditRifSupCalda = AddEdit(g, 6, {"EditRifSupCalda", 0, 5, 0.01, 0, ids::kRifSupSondaCalda}, "LabelRifSupCalda",
                              QStringLiteral("Riferimento superiore per scaldarsi"), "LabelV4", QStringLiteral(" V"));
    EditRifInfCalda = AddEdit(g, 7, {"EditRifInfCalda", 0, 5, 0.01, 0, ids::kRifInfSondaCalda}, "LabelRifInfCalda",
                              QStringLiteral("Riferimento inferiore per scaldarsi"), "LabelV5", QStringLiteral(" V"));
    EditSondaFredda = AddEdit(g, 8, {"EditSondaFredda", 0, 255, 1, 0, ids::kTempoSondaFredda},
                              "LabelTempoSondaFredda", QStringLiteral("Tempo per ritenere sonda fredda"), "LabelS4",
                              QStringLiteral(" s"));
    connect(ComboNumeroSonde, &TKeyComboBox::enterPressed, this, [this] {
        if (!ComboNumeroSonde->DroppedDown())
            ComboNumeroSondeKeyPress();
    });
    Chain({ComboTipoLambda, ComboNumeroSonde, EditRitardoLbd, EditRifLambda, EditRifSupFredda, EditRifInfFredda,
           EditRifSupCalda, EditRifInfCalda, EditSondaFredda});
}

void PageLambda::PageShow()
{
    ComboTipoLambda->setCurrentIndex(static_cast<int>(Car().GetParam(ids::kTipoDiLambda)));
    ComboNumeroSonde->setCurrentIndex(Car().GetProbeCount() - 1);
    for (TNumericEdit* e : {EditRifLambda, EditRitardoLbd, EditSondaFredda, EditRifSupFredda, EditRifInfFredda,
                            EditRifSupCalda, EditRifInfCalda})
        LoadParam(e);
    ComboTipoLambda->setFocus();
}

void PageLambda::ComboNumeroSondeKeyPress()
{
    Car().SetProbeCount(ComboNumeroSonde->currentIndex() + 1);
    form_.ProbeLayout();
}

} // namespace vapora
