// Pages "TPS" and "Emulazione - Livello GAS".
#include "editor/ConfigPages.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "services/ui/DialogService.h"
#include "services/AppContext.h"
#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vapora {
namespace {

// A title with its comment 5 pixels to its right.
void TitleWithComment(QGridLayout* grid, int row, QWidget* page, const char* titleName, const QString& title,
                      const char* commentName, const QString& comment)
{
    auto* box = new QHBoxLayout;
    box->setSpacing(5);
    auto* t = new QLabel(title, page);
    t->setObjectName(QString::fromLatin1(titleName));
    auto* c = new QLabel(comment, page);
    c->setObjectName(QString::fromLatin1(commentName));
    QFont small = c->font();
    small.setItalic(true);
    c->setFont(small);
    box->addWidget(t);
    box->addWidget(c);
    box->addStretch();
    grid->addLayout(box, row, 0);
}

TKeyComboBox* Combo(QWidget* page, QGridLayout* grid, int row, const char* name, const QStringList& items)
{
    auto* combo = new TKeyComboBox(page);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    combo->setMinimumWidth(190);
    grid->addWidget(combo, row, 1, 1, 2);
    return combo;
}

void SetVisible(QWidget* page, std::initializer_list<const char*> names, bool visible)
{
    for (const char* name : names)
        if (auto* w = page->findChild<QWidget*>(QString::fromLatin1(name)))
            w->setVisible(visible);
}

void SetEnabled(QWidget* page, std::initializer_list<const char*> names, bool enabled)
{
    for (const char* name : names)
        if (auto* w = page->findChild<QWidget*>(QString::fromLatin1(name)))
            w->setEnabled(enabled);
}

} // namespace

PageTps::PageTps(TFormConfig& form) : ConfigPage(form, QStringLiteral("TabTps"), QStringLiteral("TPS"))
{
    QGridLayout* g = CentredGrid();
    const QStringList switchItems{QStringLiteral("Assente"), QStringLiteral("Diritto"), QStringLiteral("Invertito")};
    TitleWithComment(g, 0, this, "LabelTipoTps", QStringLiteral("TPS Lineare"), "LabelCommTps",
                     QStringLiteral("(pedale acceleratore per Drive By Wire)"));
    ComboTps = Combo(this, g, 0, "ComboTps", {QStringLiteral("Diritto"), QStringLiteral("Invertito")});
    ComboTps->SetDataCode(ids::kTpsBits0to2);
    form.BindCombo(ComboTps);
    TitleWithComment(g, 1, this, "LabelTpsSwitch", QStringLiteral("TPS Switch"), "LabelCommSwitch",
                     QStringLiteral("(in aggiunta al lineare)"));
    ComboTpsSwitch = Combo(this, g, 1, "ComboTpsSwitch", switchItems);
    TitleWithComment(g, 2, this, "LabelTpsWire", QStringLiteral("TPS Drive By Wire"), "LabelCommWire",
                     QStringLiteral("(sulla farfalla motorizzata)"));
    ComboTpsWire = Combo(this, g, 2, "ComboTpsWire", switchItems);
    CheckTpsBloc = MakeCheck("CheckTpsBloc", QStringLiteral("Valore TPS al minimo impostato manualmente"));
    g->addWidget(CheckTpsBloc, 3, 0, 1, 3);
    EditIstTps = AddEdit(g, 4, {"EditIstTps", 0, 5, 0.01, 4, ids::kIsteresi}, "LabelIstTps",
                         QStringLiteral("Isteresi TPS"), "LabelV6", QStringLiteral(" V"));
    EditTpsMoltoFMin = AddEdit(g, 5, {"EditTpsMoltoFMin", 0, 5, 0.01, 4, ids::kTpsMoltoFuori}, "LabelTpsMoltoFMin",
                               QStringLiteral("TPS molto fuori minimo"), "LabelV9", QStringLiteral(" V"));

    for (TKeyComboBox* c : {ComboTpsSwitch, ComboTpsWire})
        connect(c, &TKeyComboBox::enterPressed, this, [this, c] {
            if (!c->DroppedDown())
                ComboTpsWireKeyPress(c);
        });
    connect(CheckTpsBloc, &QCheckBox::clicked, this, &PageTps::CheckTpsBlocClick);
    Chain({ComboTps, ComboTpsSwitch, ComboTpsWire, EditIstTps, EditTpsMoltoFMin});
}

void PageTps::UpdateIstTpsCaption()
{
    if (QLabel* l = FindLabel(this, "LabelIstTps"))
        l->setText(CheckTpsBloc->isChecked() ? form_.Text(QStringLiteral("LabelRifTpsMin"))
                                             : form_.Text(QStringLiteral("LabelIstTps")));
}

void PageTps::PageShow()
{
    ComboTps->setCurrentIndex(static_cast<int>(Car().GetParam(ids::kTpsBits0to2)));
    ComboTpsSwitch->setCurrentIndex(static_cast<int>(Car().GetParam(ids::kTpsBits3to5)));
    ComboTpsWire->setCurrentIndex(Car().GetTpsWire());
    LoadParam(EditIstTps);
    CheckTpsBloc->setChecked(Car().GetParam(ids::kTpsBit7) != 0);
    UpdateIstTpsCaption();
    LoadParam(EditTpsMoltoFMin);
    TpsRefresh();
    ComboTps->setFocus();
}

void PageTps::CheckTpsBlocClick()
{
    UpdateIstTpsCaption();
    Car().SetParam(ids::kTpsBit7, CheckTpsBloc->isChecked() ? 1 : 0);
}

void PageTps::ComboTpsWireKeyPress(TKeyComboBox* combo)
{
    if (combo == ComboTpsSwitch)
        Car().SetParam(ids::kTpsBits3to5, ComboTpsSwitch->currentIndex());
    else
        Car().SetTpsWire(ComboTpsWire->currentIndex());
    TpsRefresh();
}

void PageTps::TpsRefresh()
{
    const bool switchPresent = ComboTpsSwitch->currentIndex() > 0;
    const bool wirePresent = ComboTpsWire->currentIndex() > 0;
    if (switchPresent || wirePresent) {
        if (CheckTpsBloc->isChecked())
            CheckTpsBloc->click();
        CheckTpsBloc->setEnabled(false);
    } else {
        CheckTpsBloc->setEnabled(true);
    }
    if (switchPresent) {
        ComboTpsWire->setCurrentIndex(0);
        SetEnabled(this, {"ComboTpsWire", "LabelTpsWire", "LabelCommWire"}, false);
        SetEnabled(this, {"EditIstTps", "LabelIstTps", "LabelV6", "LabelTpsMoltoFMin", "EditTpsMoltoFMin", "LabelV9"},
                   false);
    } else {
        SetEnabled(this, {"EditIstTps", "LabelIstTps", "LabelV6", "LabelTpsMoltoFMin", "EditTpsMoltoFMin", "LabelV9"},
                   true);
        if (Car().SoftwareVersion() >= 15)
            SetEnabled(this, {"ComboTpsWire", "LabelTpsWire", "LabelCommWire"}, true);
    }
    if (ComboTpsWire->currentIndex() > 0) {
        ComboTpsSwitch->setCurrentIndex(0);
        SetEnabled(this, {"ComboTpsSwitch", "LabelTpsSwitch", "LabelCommSwitch"}, false);
    } else {
        SetEnabled(this, {"ComboTpsSwitch", "LabelTpsSwitch", "LabelCommSwitch"}, true);
    }
    if (CheckTpsBloc->isEnabled()) {
        Link(ComboTpsWire, CheckTpsBloc);
        Link(CheckTpsBloc, EditIstTps);
    } else {
        Link(ComboTpsWire, EditIstTps);
    }
}

PageSensore::PageSensore(TFormConfig& form)
    : ConfigPage(form, QStringLiteral("TabSensore"), QStringLiteral("Emulazione - Livello GAS"))
{
    QGridLayout* g = CentredGrid();
    ComboSensore = AddCombo(g, 0, "ComboSensore", "LabelSensoreLivello", QStringLiteral("Tipo di sensore livello GAS"),
                            {QStringLiteral("N.O.X."), QStringLiteral("0 - 90 ohm"),
                             QStringLiteral("0 - 90 ohm modificato"), QStringLiteral("Non standard"),
                             QStringLiteral("Non standard invertito")});
    AddTitle(g, 1, "LabelRifSensore", QStringLiteral("Riferimenti per sensore modificato"));
    const char* const levelNames[4] = {"EditLivello1", "EditLivello2", "EditLivello3", "EditLivello4"};
    const char* const levelTitles[4] = {"LabelSensore1", "LabelSensore2", "LabelSensore3", "LabelSensore4"};
    const char* const ohmNames[4] = {"LabelOhm1", "LabelOhm2", "LabelOhm3", "LabelOhm4"};
    const QString levelTexts[4] = {QStringLiteral("Riserva"), QStringLiteral("1/4"), QStringLiteral("2/4"),
                                   QStringLiteral("3/4")};
    for (int i = 0; i < 4; ++i) {
        EditLivello[i] = AddEdit(g, 2 + i, {levelNames[i], 0, 255, 1, 0, -1}, levelTitles[i],
                                 QStringLiteral("      ") + levelTexts[i], ohmNames[i], QStringLiteral(" Ω"));
    }
    AddTitle(g, 6, "LabelConferma", QStringLiteral("Per confermare premere"))->setAlignment(Qt::AlignRight);
    ButtonAccetta = new QPushButton(QStringLiteral("&Accetta"), this);
    ButtonAccetta->setObjectName(QStringLiteral("ButtonAccetta"));
    ButtonAccetta->setAutoDefault(false);
    g->addWidget(ButtonAccetta, 6, 1);
    EditRitornoBenzina = AddEdit(g, 7, {"EditRitornoBenzina", 0, 255, 1, 0, ids::kTempoRitBenzina},
                                 "LabelRitornoBenzina", QStringLiteral("Tempo di magro per il ritorno"), "LabelS12",
                                 QStringLiteral(" s"));
    ComboEmulazione = AddCombo(g, 8, "ComboEmulazione", "LabelTipoEmul", QStringLiteral("Tipo di emulazione sonda Lambda"),
                               {QStringLiteral("Sonda sconnessa"), QStringLiteral("Emulazione a massa"),
                                QStringLiteral("Onda quadra"), QStringLiteral("Onda quadra costruita")});
    AddTitle(g, 9, "LabelParametriOnda", QStringLiteral("Parametri onda quadra costruita"));
    EditTempoAlto = AddEdit(g, 10, {"EditTempoAlto", 0, 5.1, 0.02, 4, ids::kTempoAlto}, "LabelTempoAlto",
                            QStringLiteral("      Tempo di alto"), "LabelS5", QStringLiteral(" s"));
    EditTempoBasso = AddEdit(g, 11, {"EditTempoBasso", 0, 5.1, 0.02, 4, ids::kTempoBasso}, "LabelTempoBasso",
                             QStringLiteral("      Tempo di basso"), "LabelS6", QStringLiteral(" s"));
    EditTempoTri = AddEdit(g, 12, {"EditTempoTri", 0, 1310, 0.02, 6, ids::kTempoSondaSconnessa}, "LabelTempoTri",
                           QStringLiteral("      Tempo di sonda sconnessa"), "LabelS7", QStringLiteral(" s"));
    EditOnde = AddEdit(g, 13, {"EditOnde", 0, 255, 1, 0, ids::kNumeroOnde}, "LabelOnde",
                       QStringLiteral("      Onde dopo sonda sconnessa"));
    EditLivEmulAlto = AddEdit(g, 14, {"EditLivEmulAlto", 0, 5, 0.02, 4, ids::kLivelloAlto}, "LabelLivEmulAlto",
                              QStringLiteral("Livello alto di emulazione"), "LabelV10", QStringLiteral(" V"));
    EditLivEmulBasso = AddEdit(g, 15, {"EditLivEmulBasso", 0, 5, 0.02, 4, ids::kLivelloBasso}, "LabelLivEmulBasso",
                               QStringLiteral("Livello basso di emulazione"), "LabelV11", QStringLiteral(" V"));

    connect(ComboSensore, &TKeyComboBox::enterPressed, this, [this] {
        if (!ComboSensore->DroppedDown())
            ComboSensoreKeyPress();
    });
    connect(ComboEmulazione, &TKeyComboBox::enterPressed, this, [this] {
        if (!ComboEmulazione->DroppedDown())
            ComboEmulazioneKeyPress();
    });
    connect(ButtonAccetta, &QPushButton::clicked, this, &PageSensore::ButtonAccettaClick);
    Chain({ComboSensore, EditLivello[0], EditLivello[1], EditLivello[2], EditLivello[3]});
    Link(EditLivello[3], ButtonAccetta);
    Link(ButtonAccetta, EditRitornoBenzina);
    Chain({EditRitornoBenzina, ComboEmulazione, EditTempoAlto, EditTempoBasso, EditTempoTri, EditOnde,
           EditLivEmulAlto, EditLivEmulBasso, ComboSensore});
}

void PageSensore::PageShow()
{
    ComboSensore->setCurrentIndex(Car().GetSensorTypeIndex());
    SensorRefresh();
    if (Car().HasPetrolMap()) {
        if (ComboEmulazione->count() < 5)
            ComboEmulazione->addItem(form_.Text(QStringLiteral("ComboEmulazione5")));
    } else {
        while (ComboEmulazione->count() > 4)
            ComboEmulazione->removeItem(4);
        if (Car().GetEmulationType() == 4)
            Car().SetEmulationType(2);
    }
    ComboEmulazione->setCurrentIndex(Car().GetEmulationType());
    EmulationRefresh();
    LoadParam(EditLivEmulAlto);
    LoadParam(EditLivEmulBasso);
    LoadParam(EditRitornoBenzina);
    ComboEmulazione->setFocus();
}

void PageSensore::SensorRefresh()
{
    const int index = ComboSensore->currentIndex();
    const bool shown = index > 1;
    SetVisible(this, {"LabelRifSensore", "LabelSensore1", "LabelSensore2", "LabelSensore3", "LabelSensore4",
                      "LabelConferma", "ButtonAccetta", "EditLivello1", "EditLivello2", "EditLivello3", "EditLivello4"},
               shown);
    SetVisible(this, {"LabelOhm1", "LabelOhm2", "LabelOhm3", "LabelOhm4"}, shown && index == 2);
    for (int i = 0; i < 4; ++i)
        EditLivello[i]->SetInt(Car().GetSensorRef(i));
    if (shown) {
        Link(ComboSensore, EditLivello[0]);
        Link(ButtonAccetta, EditRitornoBenzina);
    } else {
        Link(ComboSensore, EditRitornoBenzina);
    }
}

void PageSensore::ComboSensoreKeyPress()
{
    Car().SetSensorType(ComboSensore->currentIndex());
    SensorRefresh();
}

void PageSensore::ButtonAccettaClick()
{
    int refs[4];
    for (int i = 0; i < 4; ++i)
        refs[i] = EditLivello[i]->GetInt();
    const bool inverted = Car().IsSensorInverted();
    bool ordered = true;
    for (int i = 1; i < 4; ++i)
        ordered = ordered && (inverted ? refs[i] < refs[i - 1] : refs[i] > refs[i - 1]);
    if (!ordered) {
        AppContext& ctx = form_.Context();
        if (ctx.dialogs != nullptr)
            ctx.dialogs->Message(&form_, form_.windowTitle(),
                                 QStringLiteral("Attenzione: i riferimenti LIVELLO non sono corretti!"), MsgIcon::Error);
        return;
    }
    for (int i = 0; i < 4; ++i)
        Car().SetSensorRef(i, refs[i]);
}

void PageSensore::ComboEmulazioneKeyPress()
{
    Car().SetEmulationType(ComboEmulazione->currentIndex());
    EmulationRefresh();
}

void PageSensore::EmulationRefresh()
{
    const bool shown = ComboEmulazione->currentIndex() == 3;
    SetVisible(this, {"LabelParametriOnda", "LabelTempoAlto", "LabelTempoBasso", "LabelTempoTri", "LabelOnde",
                      "LabelS5", "LabelS6", "LabelS7", "EditTempoAlto", "EditTempoBasso", "EditTempoTri", "EditOnde"},
               shown);
    if (shown)
        for (TNumericEdit* e : {EditTempoAlto, EditTempoBasso, EditTempoTri, EditOnde})
            LoadParam(e);
}

} // namespace vapora
