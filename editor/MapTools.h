#pragma once
// The tools of one map grid beyond copy and paste: undo and redo of every
// change made from the window (one step per user action), the comparison with
// a configuration file, interpolation and smoothing of the selected block and
// the optional colouring by value. Adds its commands to the grid's pop-up menu;
// the arithmetic is in MapHistory and MapBlockMath.

#include "editor/MapBlockMath.h"
#include "editor/MapHistory.h"
#include "editor/MapRecord.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QPainter;
class QRect;

namespace vapora {

struct AppContext;
class LiveMapSource;
class MapGrid;
class TDataModuleMur;

class MapTools final : public QObject {
    Q_OBJECT
public:
    MapTools(MapGrid& grid, AppContext& ctx, MapKind kind, LiveMapSource* live);

    // Wraps one user action that changes the map: what it changed becomes one
    // undo step. Steps may nest; the outermost one records.
    class Step {
    public:
        explicit Step(MapTools* tools);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        MapTools* tools_;
    };
    void BeginStep();
    void EndStep();

    // Starts the history afresh when the record was replaced behind the
    // window's back (the comparison ends then: the map it was made for is
    // gone); the pages call it when they are shown.
    void Follow();
    const MapHistory& History() const { return history_; }

    void Undo();
    void Redo();
    void Interpolate(InterpolateMode mode);
    void Smooth();

    // Asks for a configuration file and compares the map with its map.
    void CompareWithFile();
    // Compares with a file by name; false (and a message) when it cannot be read.
    bool CompareWith(const QString& fileName);
    bool Comparing() const { return reference_.has_value() && shown_; }
    void SetComparisonShown(bool on);
    // The file the map is compared with (its name alone); empty when not comparing.
    QString ComparedFile() const { return Comparing() ? referenceName_ : QString(); }

    bool HeatMap() const { return heat_; }
    void SetHeatMap(bool on);

    // Called by the grid: once before painting, then for each cell.
    void PreparePaint();
    // The fill of a data cell (map row and column) when the comparison or the
    // heat map colours it.
    bool CellFill(int row, int column, QColor& fill) const;
    // Marks a breakpoint that differs from the file's (grid coordinates).
    void MarkFixedCell(QPainter& painter, int column, int row, const QRect& rect) const;
    // Both values of a cell or breakpoint while comparing (grid coordinates); empty otherwise.
    QString ToolTip(int column, int row) const;

    // Enables the commands for the grid's selection and state (pop-up shown).
    void UpdateActions();
    void LoadTexts(TDataModuleMur* dictionary);

    QAction* MenuAnnullaMappa() const { return undo_; }
    QAction* MenuRipristinaMappa() const { return redo_; }
    QAction* MenuInterpolaRighe() const { return rows_; }
    QAction* MenuInterpolaColonne() const { return columns_; }
    QAction* MenuInterpolaBlocco() const { return both_; }
    QAction* MenuLeviga() const { return smooth_; }
    QAction* MenuConfrontaFile() const { return compare_; }
    QAction* MenuMostraConfronto() const { return showCompare_; }
    QAction* MenuColoraValori() const { return colour_; }

signals:
    // The comparison started, ended, or was shown or hidden.
    void comparisonChanged();

public:
    static const QColor kLowerColour;  // strongest blue of the comparison
    static const QColor kHigherColour; // strongest red of the comparison

private:
    MapState Now() const;
    MapBlock SelectedBlock() const;
    void ApplyToBlock(const std::function<void(MapState&)>& change);
    void RunHistory(bool undo);
    QString Caption() const;
    void FollowRecord();
    void EndComparison();
    QString ItemText(int item, int32_t raw) const;

    MapGrid& grid_;
    AppContext& ctx_;
    MapKind kind_;
    LiveMapSource* live_;
    MapHistory history_;
    int depth_ = 0;
    MapState before_;

    std::optional<MapState> reference_;
    QString referenceName_;
    bool shown_ = false;
    MapState now_; // the map as the current paint shows it
    MapDifference difference_;
    bool heat_ = false;
    int32_t lowest_ = 0;
    int32_t highest_ = 0;

    QAction* undo_;
    QAction* redo_;
    QAction* rows_;
    QAction* columns_;
    QAction* both_;
    QAction* smooth_;
    QAction* compare_;
    QAction* showCompare_;
    QAction* colour_;

    QString compareTitle_;
    QString undoRefused_;
    QString redoRefused_;
    QString compareFailed_;
    QString mapWord_;
    QString fileWord_;
    QString differenceWord_;
};

} // namespace vapora
