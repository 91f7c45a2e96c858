#include "editor/MapPages.h"

#include "services/AppContext.h"
#include "editor/GasMapGrid.h"
#include "editor/LiveMapSource.h"
#include "editor/MapCompletion.h"
#include "editor/MapTools.h"
#include "editor/PetrolCorrection.h"
#include "editor/PetrolMapGrid.h"
#include "editor/TFormCentriCelle.h"
#include "editor/TFormCentriCelleBenz.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace vapora {
namespace {

const QColor kPressureRows(0xFF, 0x00, 0xFF);
const QColor kThrottleRows(0x00, 0x62, 0x62);

const char* const kNoData = "ATTENZIONE: non vi sono dati in memoria";
const char* const kFailed = "Operazione fallita";
const char* const kAcqFilter = "File acquisizioni (*.acq)";

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QPushButton* MakeButton(QWidget* parent, const char* name)
{
    auto* button = new QPushButton(QStringLiteral("&Modifica riferimenti mappa"), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void LookupInto(TDataModuleMur* d, const char* key, QString& target, int limit = 0)
{
    d->Lookup(QString::fromLatin1(key), target, limit);
}

// Says on the page, while the map is compared, with which file and what the
// colours mean: a map all red otherwise says nothing of why.
class ComparisonNote final : public QLabel {
public:
    ComparisonNote(MapTools* tools, QWidget* parent)
        : QLabel(parent), tools_(tools),
          template_(QString::fromUtf8("Confronto con %1: rosso dove la mappa è più alta, blu dove è più bassa"))
    {
        setObjectName(QStringLiteral("LabelConfronto"));
        setWordWrap(true);
        connect(tools, &MapTools::comparisonChanged, this, &ComparisonNote::Refresh);
        Refresh();
    }

    void LoadText(TDataModuleMur* d)
    {
        LookupInto(d, "LabelConfronto", template_);
        Refresh();
    }

private:
    void Refresh()
    {
        const QString file = tools_->ComparedFile();
        setText(file.isEmpty() ? QString() : template_.arg(file));
        setVisible(!file.isEmpty());
    }

    MapTools* tools_;
    QString template_;
};

} // namespace

// ---- "Mappa" ----

GasMapPage::GasMapPage(const MapPageDeps& deps, QWidget* parent)
    : QWidget(parent), ctx_(deps.ctx), live_(deps.live),
      messResetAdatta_(QStringLiteral("Si è sicuri di voler resettare l'adattatività?"))
{
    setObjectName(QStringLiteral("GasMapPage"));
    labelUsaMap_ = new QLabel(QStringLiteral("Usa il MAP per i riferimenti della mappa"), this);
    labelUsaMap_->setObjectName(QStringLiteral("LabelUsaMap"));
    QFont bold = labelUsaMap_->font();
    bold.setBold(true);
    labelUsaMap_->setFont(bold);
    labelUsaMap_->setStyleSheet(QStringLiteral("color: #b000b0;"));
    labelUsaMap_->setVisible(false);

    grid_ = new GasMapGrid(*ctx_.car, ctx_.dialogs, deps.modify, &live_, this);
    tools_ = new MapTools(*grid_, ctx_, MapKind::Gas, &live_);
    grid_->SetTools(tools_);

    labelConfronto_ = new ComparisonNote(tools_, this);

    checkAdatta_ = new QCheckBox(QStringLiteral("Mostra ada&ttatività"), this);
    checkAdatta_->setObjectName(QStringLiteral("CheckAdattativita"));
    buttonCentriCelle_ = MakeButton(this, "ButtonCentriCelle");

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(checkAdatta_);
    bottom->addStretch();
    bottom->addWidget(buttonCentriCelle_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelUsaMap_);
    layout->addWidget(labelConfronto_);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    setTabOrder(grid_, checkAdatta_);
    setTabOrder(checkAdatta_, buttonCentriCelle_);

    menuAdatta_ = new QMenu(QStringLiteral("A&dattatività"), this);
    menuAdatta_->setObjectName(QStringLiteral("MenuAdatta"));
    abilita_ = MakeAction(menuAdatta_, "MenuAbilitaAdatta", QStringLiteral("&Attiva"));
    abilita_->setCheckable(true);
    abilita_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    mostra_ = MakeAction(menuAdatta_, "MenuMostraAdatta", QStringLiteral("&Mostra"));
    mostra_->setCheckable(true);
    azzera_ = MakeAction(menuAdatta_, "MenuAzzeraAdatta", QStringLiteral("A&zzera"));

    connect(abilita_, &QAction::triggered, this, &GasMapPage::MenuAbilitaAdattaClick);
    // The check mark of "Mostra" follows the check box, not the click.
    connect(mostra_, &QAction::triggered, this, [this] {
        mostra_->setChecked(checkAdatta_->isChecked());
        MenuMostraAdattaClick();
    });
    connect(azzera_, &QAction::triggered, this, &GasMapPage::MenuAzzeraAdattaClick);
    connect(checkAdatta_, &QCheckBox::toggled, this, &GasMapPage::CheckAdattativitaClick);
    connect(buttonCentriCelle_, &QPushButton::clicked, this, &GasMapPage::ButtonCentriCelleClick);
}

void GasMapPage::UpdateLoadAxis()
{
    const bool pressure = ctx_.car->IsUnitKind2();
    labelUsaMap_->setVisible(pressure);
    grid_->SetFixedColor(pressure ? kPressureRows : kThrottleRows);
}

void GasMapPage::LoadTexts()
{
    TDataModuleMur* d = ctx_.dictionary;
    tools_->LoadTexts(d);
    if (d == nullptr || !d->Available())
        return;
    d->BeginLookups();
    static_cast<ComparisonNote*>(labelConfronto_)->LoadText(d);
    d->LookupControl(labelUsaMap_, 40);
    d->LookupControl(buttonCentriCelle_, 40);
    LookupInto(d, "MessResetAdatta", messResetAdatta_);
    d->EndLookups();
}

void GasMapPage::TabMappaShow()
{
    live_.ForceMarkerRefresh();
    live_.RecomputeMidpoints();
    abilita_->setChecked(ctx_.car->IsAdaptEnabled());
    tools_->Follow();
    grid_->setFocus(Qt::OtherFocusReason);
}

void GasMapPage::MenuAbilitaAdattaClick(bool on)
{
    abilita_->setChecked(on);
    ctx_.car->SetAdaptEnabled(on);
}

void GasMapPage::MenuMostraAdattaClick() { checkAdatta_->setChecked(!checkAdatta_->isChecked()); }

void GasMapPage::CheckAdattativitaClick()
{
    const bool on = checkAdatta_->isChecked();
    if (on) {
        // Without a unit nothing is read and the record's own table is shown.
        live_.StopLiveTimer();
        {
            WaitCursor wait;
            ctx_.car->ReloadAdaptTable(55);
        }
        live_.StartLiveTimer();
    }
    grid_->SetShowAdapt(on);
    grid_->repaint();
    mostra_->setChecked(on);
}

void GasMapPage::MenuAzzeraAdattaClick()
{
    const MsgResult answer = ctx_.dialogs->Message(this, window()->windowTitle(), messResetAdatta_, MsgIcon::Warning,
                                                   MsgButtons::YesNo, MsgResult::No);
    if (answer == MsgResult::No)
        return;
    {
        WaitCursor wait;
        // A refusal part way leaves the first rows zeroed on the unit only:
        // read the table back so the grid shows what the unit holds.
        if (!ctx_.car->ResetAdaptation())
            ctx_.car->ReloadAdaptTable(55);
    }
    grid_->repaint();
}

void GasMapPage::ButtonCentriCelleClick()
{
    live_.StopLiveTimer();
    {
        MapTools::Step step(tools_);
        TFormCentriCelle dialog(ctx_, window());
        ctx_.dialogs->Exec(&dialog);
    }
    live_.RecomputeMidpoints();
    grid_->update();
    live_.StartLiveTimer();
}

// ---- "Mappa benzina" ----

PetrolMapPage::PetrolMapPage(const MapPageDeps& deps, QWidget* parent)
    : QWidget(parent), ctx_(deps.ctx), live_(deps.live)
{
    setObjectName(QStringLiteral("PetrolMapPage"));
    grid_ = new PetrolMapGrid(*ctx_.car, ctx_.dialogs, deps.modify, &live_, this);
    tools_ = new MapTools(*grid_, ctx_, MapKind::Petrol, &live_);
    grid_->SetTools(tools_);
    buttonCentriCelle_ = MakeButton(this, "ButtonCentriCelleBenz");
    labelConfronto_ = new ComparisonNote(tools_, this);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(buttonCentriCelle_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelConfronto_);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    setTabOrder(grid_, buttonCentriCelle_);

    menu_ = new QMenu(QStringLiteral("Acquisizione mappa benzina"), this);
    menu_->setObjectName(QStringLiteral("MenuAcquisizioneBenzina"));
    apprendi_ = MakeAction(menu_, "MenuApprendi", QStringLiteral("Apprendi valore"));
    apprendi_->setShortcut(QKeySequence(Qt::Key_Space));
    // Space learns only while this page has the focus; elsewhere it stays the
    // key that ticks check boxes and presses buttons.
    apprendi_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(apprendi_);
    carica_ = MakeAction(menu_, "MenuCaricaAppresi", QStringLiteral("Carica valori appresi"));
    salva_ = MakeAction(menu_, "MenuSalvaAppresi", QStringLiteral("Salva valori appresi"));
    cancella_ = MakeAction(menu_, "MenuCancellaAppresi", QStringLiteral("Cancella valori appresi"));
    interpola_ = MakeAction(menu_, "MenuInterpola", QStringLiteral("Completa mappa"));

    connect(apprendi_, &QAction::triggered, this, &PetrolMapPage::MenuApprendiClick);
    connect(carica_, &QAction::triggered, this, &PetrolMapPage::MenuCaricaAppresiClick);
    connect(salva_, &QAction::triggered, this, &PetrolMapPage::MenuSalvaAppresiClick);
    connect(cancella_, &QAction::triggered, this, &PetrolMapPage::MenuCancellaAppresiClick);
    connect(interpola_, &QAction::triggered, this, &PetrolMapPage::MenuInterpolaClick);
    connect(buttonCentriCelle_, &QPushButton::clicked, this, &PetrolMapPage::ButtonCentriCelleBenzClick);
}

void PetrolMapPage::SetPageAvailable(bool available)
{
    menu_->menuAction()->setVisible(available);
    interpola_->setEnabled(available);
}

void PetrolMapPage::LoadTexts()
{
    TDataModuleMur* d = ctx_.dictionary;
    tools_->LoadTexts(d);
    if (d == nullptr || !d->Available())
        return;
    d->BeginLookups();
    static_cast<ComparisonNote*>(labelConfronto_)->LoadText(d);
    QString caption = buttonCentriCelle_->text();
    if (d->Lookup(QStringLiteral("ButtonCentriCelle"), caption, 40))
        buttonCentriCelle_->setText(caption);
    d->EndLookups();
}

QString PetrolMapPage::Caption() const { return window()->windowTitle(); }

void PetrolMapPage::Error(const QString& text) { ctx_.dialogs->Message(this, Caption(), text, MsgIcon::Error); }

int PetrolMapPage::PetrolCorrectionNow() const
{
    return PetrolCorrection(*ctx_.car, live_.PetrolColumn(), live_.PetrolRow(), live_.SecondManifoldVolts(),
                            live_.EngineSpeed(), live_.PetrolInjectionMs());
}

QString PetrolMapPage::CorrectionText(const QString& notAvailable) const
{
    return ctx_.car->HasPetrolMap() ? QString::number(PetrolCorrectionNow()) : notAvailable;
}

void PetrolMapPage::TabMappaBenzinaShow()
{
    live_.ForceMarkerRefresh();
    live_.RecomputeMidpoints();
    tools_->Follow();
    grid_->setFocus(Qt::OtherFocusReason);
}

void PetrolMapPage::ButtonCentriCelleBenzClick()
{
    live_.StopLiveTimer();
    {
        MapTools::Step step(tools_);
        TFormCentriCelleBenz dialog(ctx_, window());
        ctx_.dialogs->Exec(&dialog);
    }
    live_.RecomputeMidpoints();
    grid_->update();
    live_.StartLiveTimer();
}

void PetrolMapPage::MenuApprendiClick()
{
    if (live_.RunningOnGas() || !isVisible())
        return;
    // Same speed and manifold value as an earlier point: the record replaces its time.
    ctx_.car->AddLearnedPoint(live_.EngineSpeed(), live_.SecondManifoldVolts(), live_.PetrolInjectionMs(),
                              live_.PetrolColumn(), live_.PetrolRow(), 0);
    grid_->update();
}

void PetrolMapPage::MenuSalvaAppresiClick()
{
    if (ctx_.car->NoLearnedPoints()) {
        Error(QString::fromUtf8(kNoData));
        return;
    }
    QString name = ctx_.dialogs->SaveFileName(this, QStringLiteral("Salva file acquisizioni"),
                                              live_.AcquisitionsFolder(), QString::fromUtf8(kAcqFilter));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".acq");
    if (!ctx_.car->ExportLearnedPoints(QFile::encodeName(name).toStdString()))
        Error(QString::fromUtf8(kFailed));
}

void PetrolMapPage::MenuCaricaAppresiClick()
{
    bool merge = false;
    if (!ctx_.car->NoLearnedPoints()) {
        const MsgResult answer = ctx_.dialogs->Message(
            this, Caption(), QStringLiteral("Unire i dati su file con quelli presenti in memoria?"), MsgIcon::Warning,
            MsgButtons::YesNoCancel, MsgResult::Yes);
        if (answer == MsgResult::Cancel)
            return;
        merge = answer == MsgResult::Yes;
    }
    const QString name = ctx_.dialogs->OpenFileName(this, QStringLiteral("Apri file acquisizioni"),
                                                    live_.AcquisitionsFolder(), QString::fromUtf8(kAcqFilter));
    if (!name.isEmpty() && !ctx_.car->LoadLearnedPoints(QFile::encodeName(name).toStdString(), merge))
        Error(QString::fromUtf8(kFailed));
    grid_->update();
}

void PetrolMapPage::MenuCancellaAppresiClick()
{
    if (ctx_.car->NoLearnedPoints())
        return;
    const MsgResult answer =
        ctx_.dialogs->Message(this, Caption(), QStringLiteral("Sei sicuro di voler cancellare tutti i valori appresi?"),
                              MsgIcon::Question, MsgButtons::YesNo, MsgResult::No);
    if (answer == MsgResult::Yes)
        ctx_.car->ClearLearnedPoints();
    grid_->update();
}

void PetrolMapPage::MenuInterpolaClick()
{
    if (ctx_.car->NoLearnedPoints()) {
        Error(QString::fromUtf8(kNoData));
        return;
    }
    bool done;
    live_.StopLiveTimer();
    {
        WaitCursor wait;
        MapTools::Step step(tools_);
        done = CompletePetrolMap(*ctx_.car);
        grid_->repaint();
    }
    live_.StartLiveTimer();
    if (done)
        ctx_.dialogs->Message(this, Caption(), QStringLiteral("Mappa completata con successo"), MsgIcon::None);
    else
        Error(QStringLiteral("Impossibile completare la mappa. Acquisire ulteriori valori e riprovare."));
}

// ---- building ----

namespace {

template <class Page>
Page* Build(QWidget* tab, const MapPageDeps& deps)
{
    auto* page = new Page(deps, tab);
    QLayout* layout = tab->layout();
    if (layout == nullptr) {
        layout = new QVBoxLayout(tab);
        layout->setContentsMargins(4, 4, 4, 4);
    }
    layout->addWidget(page);
    return page;
}

} // namespace

GasMapPage* BuildGasMapPage(QWidget* tabMappa, const MapPageDeps& deps) { return Build<GasMapPage>(tabMappa, deps); }

PetrolMapPage* BuildPetrolMapPage(QWidget* tabMappaBenzina, const MapPageDeps& deps)
{
    return Build<PetrolMapPage>(tabMappaBenzina, deps);
}

} // namespace vapora
