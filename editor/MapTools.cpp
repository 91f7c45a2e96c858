#include "editor/MapTools.h"

#include "services/AppContext.h"
#include "editor/LiveMapSource.h"
#include "editor/MapGrid.h"
#include "editor/MapPaste.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "model/Conversions.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QPainter>

namespace vapora {

const QColor MapTools::kLowerColour(70, 120, 255);
const QColor MapTools::kHigherColour(255, 80, 70);

namespace {

const QColor kChangedBreakpoint(255, 230, 0);

QAction* AddAction(QMenu* menu, const char* name, const QString& text, bool checkable = false)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

QColor Blend(const QColor& from, const QColor& to, double t)
{
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * t),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * t),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * t));
}

char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? '.' : point.at(0).toLatin1();
}

class BusyWrites {
public:
    explicit BusyWrites(LiveMapSource* live) : live_(live)
    {
        // The marker and the strip must not read the unit between the writes.
        if (live_ != nullptr)
            live_->StopLiveTimer();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWrites()
    {
        QApplication::restoreOverrideCursor();
        if (live_ != nullptr)
            live_->StartLiveTimer();
    }

private:
    LiveMapSource* live_;
};

} // namespace

MapTools::Step::Step(MapTools* tools) : tools_(tools)
{
    if (tools_ != nullptr)
        tools_->BeginStep();
}

MapTools::Step::~Step()
{
    if (tools_ != nullptr)
        tools_->EndStep();
}

MapTools::MapTools(MapGrid& grid, AppContext& ctx, MapKind kind, LiveMapSource* live)
    : QObject(&grid), grid_(grid), ctx_(ctx), kind_(kind), live_(live),
      compareTitle_(QStringLiteral("Confronta con file")),
      undoRefused_(QStringLiteral("L'unità ha rifiutato %1 valori: restano da annullare.")),
      redoRefused_(QStringLiteral("L'unità ha rifiutato %1 valori: restano da ripristinare.")),
      compareFailed_(QStringLiteral("Impossibile leggere il file da confrontare.")), mapWord_(QStringLiteral("Mappa")),
      fileWord_(QStringLiteral("File")), differenceWord_(QStringLiteral("Differenza"))
{
    setObjectName(QStringLiteral("MapTools"));
    history_.Reset(Now());

    QMenu* menu = grid_.PopupMenuGrid();
    menu->addSeparator();
    undo_ = AddAction(menu, "MenuAnnullaMappa", QStringLiteral("&Annulla"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = AddAction(menu, "MenuRipristinaMappa", QStringLiteral("&Ripristina"));
    redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    // The grid takes the keys itself; the shortcuts here only show in the menu.
    undo_->setShortcutContext(Qt::WidgetShortcut);
    redo_->setShortcutContext(Qt::WidgetShortcut);
    menu->addSeparator();
    rows_ = AddAction(menu, "MenuInterpolaRighe", QStringLiteral("Interpola lungo le &righe"));
    columns_ = AddAction(menu, "MenuInterpolaColonne", QStringLiteral("Interpola lungo le c&olonne"));
    both_ = AddAction(menu, "MenuInterpolaBlocco", QStringLiteral("Interpola il &blocco (bilineare)"));
    smooth_ = AddAction(menu, "MenuLeviga", QStringLiteral("&Leviga il blocco"));
    menu->addSeparator();
    compare_ = AddAction(menu, "MenuConfrontaFile", QStringLiteral("Con&fronta con file..."));
    showCompare_ = AddAction(menu, "MenuMostraConfronto", QStringLiteral("&Mostra confronto"), true);
    showCompare_->setEnabled(false);
    colour_ = AddAction(menu, "MenuColoraValori", QStringLiteral("Colora per &valore"), true);

    connect(undo_, &QAction::triggered, this, &MapTools::Undo);
    connect(redo_, &QAction::triggered, this, &MapTools::Redo);
    connect(rows_, &QAction::triggered, this, [this] { Interpolate(InterpolateMode::Rows); });
    connect(columns_, &QAction::triggered, this, [this] { Interpolate(InterpolateMode::Columns); });
    connect(both_, &QAction::triggered, this, [this] { Interpolate(InterpolateMode::Both); });
    connect(smooth_, &QAction::triggered, this, &MapTools::Smooth);
    connect(compare_, &QAction::triggered, this, &MapTools::CompareWithFile);
    connect(showCompare_, &QAction::triggered, this, &MapTools::SetComparisonShown);
    connect(colour_, &QAction::triggered, this, &MapTools::SetHeatMap);

    SetHeatMap(ctx_.settings != nullptr && ctx_.settings->GetValue(GlobalData::kMapColours) != 0);
}

MapState MapTools::Now() const { return ReadMapState(*ctx_.car, kind_); }

QString MapTools::Caption() const { return grid_.window()->windowTitle(); }

// ---- history ----

void MapTools::BeginStep()
{
    if (depth_++ > 0)
        return;
    history_.Follow(Now());
    before_ = history_.Seen();
}

void MapTools::EndStep()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    history_.Record(before_, Now());
}

void MapTools::Follow()
{
    if (depth_ == 0)
        history_.Follow(Now());
}

void MapTools::Undo() { RunHistory(true); }

void MapTools::Redo() { RunHistory(false); }

void MapTools::RunHistory(bool undo)
{
    Follow();
    const MapStep* step = undo ? history_.NextUndo() : history_.NextRedo();
    if (step == nullptr || depth_ > 0)
        return;
    int refused = 0;
    {
        BusyWrites busy(live_);
        for (const MapChange& change : step->changes)
            WriteMapItem(*ctx_.car, kind_, change.item, undo ? change.before : change.after);
        refused = undo ? history_.FinishUndo(Now()) : history_.FinishRedo(Now());
    }
    grid_.update();
    if (refused > 0)
        ctx_.dialogs->Message(&grid_, Caption(), (undo ? undoRefused_ : redoRefused_).arg(refused), MsgIcon::Warning);
}

// ---- block tools ----

MapBlock MapTools::SelectedBlock() const
{
    const QRect s = grid_.Selection();
    return {s.top() - 1, s.left() - 1, s.bottom() - 1, s.right() - 1};
}

void MapTools::ApplyToBlock(const std::function<void(MapState&)>& change)
{
    Step step(this);
    {
        BusyWrites busy(live_);
        MapState target = Now();
        change(target);
        // Cells the record refuses keep their value, as in a block modification.
        WriteMapState(*ctx_.car, kind_, target);
    }
    grid_.update();
}

void MapTools::Interpolate(InterpolateMode mode)
{
    const MapBlock block = SelectedBlock();
    const RawRange range = CellRange(kind_);
    ApplyToBlock([&](MapState& map) { InterpolateBlock(map, block, mode, range.low, range.high); });
}

void MapTools::Smooth()
{
    const MapBlock block = SelectedBlock();
    const RawRange range = CellRange(kind_);
    ApplyToBlock([&](MapState& map) { SmoothBlock(map, block, range.low, range.high); });
}

// ---- comparison ----

void MapTools::CompareWithFile()
{
    const QString main = ctx_.mainFolder;
    const QString folder = ctx_.car->GetStatusFlag(ConfCar::kMethane) ? GlobalData::MethaneFolder(main)
                                                                      : GlobalData::ConfigFolder(main);
    const QString name =
        ctx_.dialogs->OpenFileName(&grid_, compareTitle_, folder, QStringLiteral("Murazzoni Vapora (*.vap)"));
    if (!name.isEmpty())
        CompareWith(name);
}

bool MapTools::CompareWith(const QString& fileName)
{
    // A record of its own, with no unit: reading the file touches nothing else.
    ConfCar file(std::string(), nullptr);
    if (!QFile::exists(fileName) || !file.LoadFromFile(QFile::encodeName(fileName).toStdString(), 0)) {
        ctx_.dialogs->Message(&grid_, Caption(), compareFailed_, MsgIcon::Error);
        return false;
    }
    reference_ = ReadMapState(file, kind_);
    SetComparisonShown(true);
    return true;
}

void MapTools::SetComparisonShown(bool on)
{
    shown_ = on && reference_.has_value();
    showCompare_->setEnabled(reference_.has_value());
    showCompare_->setChecked(shown_);
    grid_.update();
}

void MapTools::SetHeatMap(bool on)
{
    heat_ = on;
    colour_->setChecked(on);
    if (ctx_.settings != nullptr)
        ctx_.settings->SetValue(GlobalData::kMapColours, on ? 1 : 0);
    grid_.update();
}

// ---- painting ----

void MapTools::PreparePaint()
{
    if (ctx_.settings != nullptr) {
        // The other map's grid may have switched the colouring since.
        const bool remembered = ctx_.settings->GetValue(GlobalData::kMapColours) != 0;
        heat_ = remembered;
        colour_->setChecked(remembered);
    }
    now_ = Now();
    const MapState& now = now_;
    if (Comparing())
        difference_ = Difference(now, *reference_);
    if (heat_ && now.rows > 0 && now.columns > 0) {
        lowest_ = highest_ = now.Cell(0, 0);
        for (int r = 0; r < now.rows; ++r)
            for (int c = 0; c < now.columns; ++c) {
                lowest_ = std::min(lowest_, now.Cell(r, c));
                highest_ = std::max(highest_, now.Cell(r, c));
            }
    }
}

bool MapTools::CellFill(int row, int column, QColor& fill) const
{
    if (Comparing() && difference_.valid) {
        const double level =
            DivergingLevel(difference_.Cell(row, column, now_.columns), difference_.largest);
        if (level == 0)
            return false; // equal: the grid's own colour
        fill = Blend(Qt::white, level < 0 ? kLowerColour : kHigherColour, std::abs(level));
        return true;
    }
    if (heat_ && !now_.values.empty()) {
        const double t = HeatLevel(now_.Cell(row, column), lowest_, highest_);
        // Light shades from blue (lowest) to red (highest): black text stays readable.
        fill = QColor::fromHsvF(static_cast<float>((1 - t) * 240 / 360), 0.45f, 1.0f);
        return true;
    }
    return false;
}

void MapTools::MarkFixedCell(QPainter& painter, int column, int row, const QRect& rect) const
{
    if (!Comparing() || !difference_.valid || (column == 0) == (row == 0))
        return;
    const bool differs = row == 0 ? difference_.columnRefs[static_cast<size_t>(column - 1)]
                                  : difference_.rowRefs[static_cast<size_t>(row - 1)];
    if (!differs)
        return;
    painter.save();
    painter.setPen(QPen(kChangedBreakpoint, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(1, 1, -2, -2));
    painter.restore();
}

QString MapTools::ItemText(int item, int32_t raw) const
{
    const MapState& s = history_.Seen();
    const int cells = s.rows * s.columns;
    const bool gas = kind_ == MapKind::Gas;
    if (item < cells)
        return gas ? QString::number(raw)
                   : QString::fromStdString(FormatCellMs(conv::PetrolMsFromRaw(raw), DecimalSeparator()));
    if (item < cells + s.rows) {
        double volts = conv::VoltsFromRaw(raw);
        if (gas && ctx_.car->IsTpsInverted() && !ctx_.car->IsUnitKind2())
            volts = 5 - volts; // as the fixed column shows it
        return QLocale().toString(volts, 'f', 2);
    }
    return QString::number(raw);
}

QString MapTools::ToolTip(int column, int row) const
{
    if (!Comparing() || (column == 0 && row == 0))
        return {};
    const MapState now = Now();
    const int item = row == 0      ? now.ColumnRefItem(column - 1)
                     : column == 0 ? now.RowRefItem(row - 1)
                                   : now.CellItem(row - 1, column - 1);
    const int32_t mine = now.values[static_cast<size_t>(item)];
    const int32_t theirs = reference_->values[static_cast<size_t>(item)];
    QString text = QStringLiteral("%1: %2\n%3: %4").arg(mapWord_, ItemText(item, mine), fileWord_, ItemText(item, theirs));
    if (row > 0 && column > 0) {
        const int32_t diff = mine - theirs;
        const QString size = kind_ == MapKind::Gas
                                 ? QString::number(std::abs(diff))
                                 : QLocale().toString(conv::PetrolMsFromRaw(std::abs(diff)), 'f', 3);
        text += QStringLiteral("\n%1: %2%3").arg(differenceWord_, diff < 0 ? QStringLiteral("-") : QStringLiteral("+"), size);
    }
    return text;
}

// ---- menu ----

void MapTools::UpdateActions()
{
    Follow();
    undo_->setEnabled(history_.CanUndo());
    redo_->setEnabled(history_.CanRedo());
    const QRect s = grid_.Selection();
    rows_->setEnabled(s.width() >= 3);
    columns_->setEnabled(s.height() >= 3);
    both_->setEnabled(s.width() >= 3 && s.height() >= 3);
    smooth_->setEnabled(s.width() >= 3 && s.height() >= 3);
    showCompare_->setEnabled(reference_.has_value());
}

void MapTools::LoadTexts(TDataModuleMur* d)
{
    if (d == nullptr || !d->Available())
        return;
    d->BeginLookups();
    for (QAction* action : {undo_, redo_, rows_, columns_, both_, smooth_, compare_, showCompare_, colour_})
        d->LookupControl(action);
    // The grid's own copy and paste share the pop-up menu.
    for (QAction* action : grid_.PopupMenuGrid()->actions())
        if (action->objectName() == QLatin1String("MenuCopia") || action->objectName() == QLatin1String("MenuIncolla"))
            d->LookupControl(action);
    d->Lookup(QStringLiteral("FinestraConfrontaFile"), compareTitle_);
    d->Lookup(QStringLiteral("MessUndoRifiutato"), undoRefused_);
    d->Lookup(QStringLiteral("MessRedoRifiutato"), redoRefused_);
    d->Lookup(QStringLiteral("MessConfrontoFallito"), compareFailed_);
    d->Lookup(QStringLiteral("LabelValoreMappa"), mapWord_);
    d->Lookup(QStringLiteral("LabelValoreFile"), fileWord_);
    d->Lookup(QStringLiteral("LabelDifferenza"), differenceWord_);
    d->EndLookups();
}

} // namespace vapora
