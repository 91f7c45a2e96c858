// Text loading of the configuration window and of its modification dialog.
#include "editor/TFormConfig.h"

#include "services/AppContext.h"
#include "editor/ConfigPages.h"
#include "editor/LiveStrip.h"
#include "editor/StepGrid.h"
#include "editor/TFormModMappa.h"
#include "services/i18n/TDataModuleMur.h"
#include "widgets/TKeyComboBox.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace vapora {
namespace {

struct Message {
    const char* key;
    const char* text;
};

// Texts kept in the window for the pages, with the built-in Italian.
const Message kMessages[] = {
    {"FinestraSalvaDrt", "Salva acquisizione con nome..."},
    {"FinestraApriDrt", "Apri file dati in tempo reale"},
    {"UnitaVolt", " V"},
    {"UnitaGradi", " °C"},
    {"UnitaSecondi", " s"},
    {"UnitaBar", " bar"},
    {"UnitaGiri", " rpm"},
    {"MessND", "n.d."},
    {"LabelRifTpsMin", "Incremento TPS per uscire dal minimo"},
    {"LabelIstTps", "Isteresi TPS"},
    {"MessResetAdatta", "Si è sicuri di voler resettare l'adattatività?"},
    {"LabelIngrassare", "Ingrassare"},
    {"LabelSmagrire", "Smagrire"},
    {"LabelRigheSup", "Righe sup."},
    {"LabelRigheInf", "Righe inf."},
    {"LabelMetano", "Metano"},
    {"LabelGpl", "GPL"},
    {"LabelArrUscitaMin", "Primo arricchimento uscita MIN (0-60)"},
    {"LabelArrUscitaMin2", "Secondo arricchimento uscita MIN (0-60)"},
    {"LabelTempoArrMin", "Mantenimento arricchimento uscita MIN (5-40)"},
    {"LabelMaxArrTps", "Arricchimento in accelerazione (0-60)"},
    {"LabelVelRidArr", "Velocità riduz. arricch. in accelerazione (5-40)"},
    {"LabelTempoSuperArr", "Super arricchimento in cambio marcia (0-100)"},
    {"ComboEmulazione5", "Feedback benzina"},
};

const char* const kLimit15[] = {"ButtonAccetta", "ButtonEsci", "LabelLambda", "LabelMap", "LabelTps", "LabelGiri",
                                "LabelApMot", "LabelCorr", "LabelTemp", "LabelPressione", "LabelVarTps",
                                "LabelArricchimento", "LabelLivello"};
const char* const kNoLimit[] = {"MenuAcquisizioni", "MenuCominciaDrt", "MenuTerminaDrt",
                                "MenuPressione", "MenuModificaCoeff"};
// The test menu, the map pages' menus and the labels added with them.
const char* const kMenus[] = {"MenuTest", "MenuDiagnosiProg", "MenuSbloccaLimiti", "Mostratemperatura1",
                              "MenuAdatta", "MenuMostraAdatta", "MenuAbilitaAdatta", "MenuAzzeraAdatta",
                              "MenuAcquisizioneBenzina", "MenuApprendi", "MenuCancellaAppresi",
                              "MenuCaricaAppresi", "MenuSalvaAppresi", "MenuInterpola"};
const char* const kLabels50[] = {"CheckAdattativita", "LabelCorrBenzina", "LabelFasciaMin", "LabelLivEmulAlto",
                                 "LabelLivEmulBasso", "LabelMotoreCutoff", "LabelMotoreCutoff2",
                                 "LabelPassiCutoff", "LabelRitardoCutoff", "LabelTApSbana", "LabelTChSbana",
                                 "LabelTMinArrBenzina"};
const char* const kLimit30[] = {"LabelTipoTps", "LabelTpsSwitch", "LabelTpsWire", "LabelTempoAlto", "LabelTempoBasso",
                                "LabelOnde", "LabelConferma", "LabelRitornoBenzina", "LabelSensore1"};
const char* const kLimit40[] = {
    "LabelAccensione", "LabelCambio", "LabelGiriCambio", "LabelTempCambio", "LabelRitardoCambio", "LabelSovrappCarb",
    "LabelFuoriGiri", "LabelArrPartenza", "LabelTipoLambda", "LabelNumeroSonde", "LabelRitardoLambda",
    "LabelRifLambda", "LabelRifSupFredda", "LabelRifInfFredda", "LabelRifSupCalda", "LabelRifInfCalda",
    "LabelTempoSondaFredda", "LabelCommTps", "LabelCommSwitch", "LabelCommWire", "LabelTpsMoltoFMin", "LabelTipoEmul",
    "LabelParametriOnda", "LabelSensoreLivello", "LabelCutoffTot", "ButtonCentriCelle", "LabelUsaMap",
    "LabelValoriCons", "LabelMinTpsArr", "LabelTpsArrBenzina", "LabelGiriArrBenzina", "LabelLimCorrettore",
    "LabelCorrMin"};
const char* const kLimit50[] = {"CheckRitornoBenzina", "LabelRifSensore", "LabelPassiInv", "LabelTempiPassi",
                                "LabelRigheOpenLoop", "LabelPassiCorrApMin", "LabelPassiCorrChMin",
                                "LabelPassiCorrAp", "LabelPassiCorrCh", "LabelTpsSbana", "LabelGiriSbana",
                                "LabelPassiInvSbana"};
const char* const kLimit60[] = {"CheckTpsBloc", "CheckAttivaCutoff", "CheckRientroMin"};

void SetItems(QComboBox* combo, const QStringList& items)
{
    const int index = combo->currentIndex();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

} // namespace

void TFormConfig::LoadTexts()
{
    TDataModuleMur* dictionary = ctx_.dictionary;
    const bool open = dictionary != nullptr && dictionary->Available() && dictionary->BeginLookups();
    if (open) {
        auto lookup = [dictionary](const char* key, const QString& fallback, int limit = 0) {
            QString text = fallback;
            dictionary->Lookup(QString::fromLatin1(key), text, limit);
            return text;
        };
        for (ConfigPage* page : pages_) {
            if (page == tabMappaBenzina_)
                continue;
            QString caption = page->BaseCaption();
            dictionary->Lookup(page->objectName(), caption, page == tabSensore_ ? 25 : 15);
            page->SetBaseCaption(caption);
        }
        auto controls = [this, dictionary](const auto& names, int limit) {
            for (const char* name : names)
                if (QObject* control = findChild<QObject*>(QString::fromLatin1(name)))
                    dictionary->LookupControl(control, limit);
        };
        controls(kLimit15, 15);
        controls(kNoLimit, 0);
        // The graph window names its own menu MenuGrafico too ("&Grafico"): this item has a key of its own.
        if (QAction* graph = findChild<QAction*>(QStringLiteral("MenuGrafico")))
            graph->setText(lookup("MenuVisualizzaGrafico", graph->text()));
        controls(kLimit30, 30);
        if (QLabel* tri = findChild<QLabel*>(QStringLiteral("LabelTempoTri")))
            dictionary->LookupControl(tri, 32);
        controls(kLimit40, 40);
        controls(kLimit50, 50);
        controls(kLimit60, 60);
        controls(kMenus, 0);
        controls(kLabels50, 50);
        {
            QString caption = tabMappaBenzina_->BaseCaption();
            dictionary->Lookup(QStringLiteral("TabMappaBenzina"), caption, 15);
            tabMappaBenzina_->SetBaseCaption(caption);
        }

        // Lists.
        QStringList accensione;
        const char* const cylinders[] = {"3 Cilindri", "4 Cilindri", "5 Cilindri", "6 Cilindri", "8 Cilindri"};
        for (int i = 0; i < 5; ++i)
            accensione << lookup(QStringLiteral("ComboAccensione%1").arg(i + 1).toLatin1().constData(),
                                 QString::fromUtf8(cylinders[i]));
        accensione << QStringLiteral("Monobobina") << QStringLiteral("Bibobina") << QStringLiteral("32 Cilindri");
        SetItems(tabCambio_->ComboAccensione, accensione);
        SetItems(tabCambio_->ComboCambio, {lookup("ComboCambio1", QStringLiteral("In Accelerazione")),
                                           lookup("ComboCambio2", QStringLiteral("In Decelerazione")),
                                           lookup("ComboCambio3", QStringLiteral("Partenza a gas"))});
        SetItems(tabLambda_->ComboTipoLambda,
                 {lookup("ComboLambda1", QStringLiteral("0 - 1 Volt")), lookup("ComboLambda2", QStringLiteral("0 - 5 Volt")),
                  lookup("ComboLambda3", QStringLiteral("5 - 0 Volt")),
                  lookup("ComboLambda4", QStringLiteral("0.8 - 1.6 Volt"))});
        SetItems(tabTps_->ComboTps,
                 {lookup("ComboTps1", QStringLiteral("Diritto")), lookup("ComboTps2", QStringLiteral("Invertito"))});
        const QStringList switches{lookup("ComboTpsSwitch1", QStringLiteral("Assente")),
                                   lookup("ComboTpsSwitch2", QStringLiteral("Diritto")),
                                   lookup("ComboTpsSwitch3", QStringLiteral("Invertito"))};
        SetItems(tabTps_->ComboTpsSwitch, switches);
        SetItems(tabTps_->ComboTpsWire, switches);
        QStringList emulation{lookup("ComboEmulazione1", QStringLiteral("Sonda sconnessa")),
                              lookup("ComboEmulazione2", QStringLiteral("Emulazione a massa")),
                              lookup("ComboEmulazione3", QStringLiteral("Onda quadra")),
                              lookup("ComboEmulazione4", QStringLiteral("Onda quadra costruita"))};
        if (tabSensore_->ComboEmulazione->count() > 4)
            emulation << lookup("ComboEmulazione5", QStringLiteral("Feedback benzina"));
        SetItems(tabSensore_->ComboEmulazione, emulation);
        SetItems(tabSensore_->ComboSensore,
                 {lookup("ComboSensore1", QStringLiteral("N.O.X.")), lookup("ComboSensore2", QStringLiteral("0 - 90 ohm")),
                  lookup("ComboSensore3", QStringLiteral("0 - 90 ohm modificato")), QStringLiteral("Non standard"),
                  QStringLiteral("Non standard invertito")});

        strip_->Label("LabCutoff")->setText(lookup("LabelFunzCutoff", QStringLiteral("CUTOFF"), 15));
        strip_->Layout();
        setWindowTitle(lookup("FinestraConfig", QStringLiteral("Configurazione veicolo")));
        for (const Message& m : kMessages)
            texts_.insert(QString::fromLatin1(m.key), lookup(m.key, QString::fromUtf8(m.text)));
        texts_.insert(QStringLiteral("FiltroDrt"), lookup("FiltroDrt", QStringLiteral("Acquisizioni in tempo reale")));
        texts_.insert(QStringLiteral("FiltroApriDrt"), texts_.value(QStringLiteral("FiltroDrt")));
        texts_.insert(QStringLiteral("MessNoDelFile"),
                      lookup("MessNoDelFile", QStringLiteral("Il file esistente non può essere sovrascritto:")));
        texts_.insert(QStringLiteral("MessRenameFile"),
                      lookup("MessRenameFile", QStringLiteral("assegnare un nome differente al nuovo file.")));
        texts_.insert(QStringLiteral("LabelFunzGas"), lookup("LabelFunzGas", QStringLiteral("GAS"), 15));
        texts_.insert(QStringLiteral("LabelFunzBenzina"), lookup("LabelFunzBenzina", QStringLiteral("BENZINA"), 15));
        if (strip_->Label("LabGas")->text() == QStringLiteral("BENZINA")) // until the unit's first answer
            strip_->Label("LabGas")->setText(texts_.value(QStringLiteral("LabelFunzBenzina")));

        // The modification dialog.
        modMappa_->setWindowTitle(lookup("FinestraModMappa", QStringLiteral("Variazione cella")));
        dictionary->LookupControl(modMappa_->GroupModalita(), 20);
        const char* const modes[3] = {"LabelModAss", "LabelModLin", "LabelModPerc"};
        for (int i = 0; i < 3; ++i)
            modMappa_->ModeButton(i)->setText(lookup(modes[i], modMappa_->ModeButton(i)->text()));
        modMappa_->ButtonOK()->setText(lookup("ButtonOk", QStringLiteral("&OK")));
        modMappa_->ButtonAnnulla()->setText(lookup("ButtonAnnulla", QStringLiteral("&Annulla")));
        dictionary->EndLookups();
    } else {
        LoadListTexts(false);
    }
    // The comments stay 5 pixels right of their titles (the page lays them out so).
    for (const char* name : {"LabelRpm1", "LabelRpm2", "LabelRpm3", "LabelRpm4", "LabelRpm5"})
        if (QLabel* l = findChild<QLabel*>(QString::fromLatin1(name)))
            l->setText(Text(QStringLiteral("UnitaGiri")));
    if (QLabel* l = findChild<QLabel*>(QStringLiteral("LabelT1")))
        l->setText(Text(QStringLiteral("UnitaGradi")));
    for (int i = 1; i <= 12; ++i)
        if (QLabel* l = findChild<QLabel*>(QStringLiteral("LabelS%1").arg(i)))
            l->setText(Text(QStringLiteral("UnitaSecondi")));
    for (int i = 1; i <= 11; ++i)
        if (QLabel* l = findChild<QLabel*>(QStringLiteral("LabelV%1").arg(i)))
            l->setText(Text(QStringLiteral("UnitaVolt")));
    tabTps_->UpdateIstTpsCaption();
    tabEmissioni_->WriteRowTitles();
    tabArricchimento_->update();
    if (onLoadTexts)
        onLoadTexts();
    ApplyPagePrefixes();
    FitTabCaptions();
}

// The built-in texts, used at construction and whenever the dictionary is
// not open: the controls keep their own captions and items.
void TFormConfig::LoadListTexts(bool)
{
    for (const Message& m : kMessages)
        texts_.insert(QString::fromLatin1(m.key), QString::fromUtf8(m.text));
    texts_.insert(QStringLiteral("FiltroDrt"), QStringLiteral("Acquisizioni in tempo reale"));
    texts_.insert(QStringLiteral("FiltroApriDrt"), QStringLiteral("Grafico dati in tempo reale"));
    texts_.insert(QStringLiteral("MessNoDelFile"), QStringLiteral("Il file esistente non può essere sovrascritto:"));
    texts_.insert(QStringLiteral("MessRenameFile"), QStringLiteral("assegnare un nome differente al nuovo file."));
    texts_.insert(QStringLiteral("LabelFunzGas"), QStringLiteral("GAS"));
    texts_.insert(QStringLiteral("LabelFunzBenzina"), QStringLiteral("BENZINA"));
    if (tabCambio_->ComboAccensione->count() == 5)
        tabCambio_->ComboAccensione->addItems(
            {QStringLiteral("Monobobina"), QStringLiteral("Bibobina"), QStringLiteral("32 Cilindri")});
    if (tabCambio_->ComboCambio->count() == 2)
        tabCambio_->ComboCambio->addItem(QStringLiteral("Partenza a gas"));
}

void TFormConfig::ApplyPagePrefixes()
{
    int number = 0;
    for (int i = 0; i < kPageCount; ++i) {
        const QString base = pages_[static_cast<size_t>(i)]->BaseCaption();
        if (PageVisible(i))
            pageControl_->setTabText(i, QStringLiteral("F%1 = %2").arg(++number).arg(base));
        else
            pageControl_->setTabText(i, base);
    }
}

} // namespace vapora
