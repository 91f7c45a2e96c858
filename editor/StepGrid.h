#pragma once
// A string grid of the "Emissioni" page: one fixed title column, 20 speed
// columns, in-place editing of one cell opened and closed with Enter, block
// fill for a wider selection, and Up/Down that leave for the neighbouring
// grid at the first and last rows.

#include <QColor>
#include <QTableWidget>

#include <functional>

namespace vapora {

class StepGrid final : public QTableWidget {
    Q_OBJECT
public:
    StepGrid(const QString& name, int rows, int fixedRows, const QColor& fixedColour, QWidget* parent = nullptr);

    int FixedRows() const { return fixedRows_; }
    const QColor& FixedColour() const { return fixedColour_; }
    bool Editing() const { return state() == QAbstractItemView::EditingState; }
    // Writes a cell without reaching the set-text handler.
    void SetCell(int column, int row, const QString& text);
    QString Cell(int column, int row) const;
    void SetCellFill(int column, int row, const QColor& colour);
    // Selected data cells, row by row (grid column, row).
    QList<QPoint> SelectedCells() const;
    // The largest pixel size, up to design's, at which every cell's text stands
    // whole in its column: the columns keep their widths, texts are never elided.
    int FittingPixels(QFont design) const;

    // The value a cell had when its editor opened, put back by Escape.
    const QString& RememberedValue() const { return remembered_; }

    // Called with the grid column and row after a cell's text was committed.
    std::function<void(int column, int row, const QString& text)> setEditText;

signals:
    void leaveDown(int column);
    void leaveUp(int column);
    void blockFill();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr int kSmallestPixels = 6;

    int fixedRows_;
    QColor fixedColour_;
    QString remembered_;
    bool writing_ = false;
};

} // namespace vapora
