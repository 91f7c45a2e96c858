#pragma once
// An owner-drawn grid: fixed first row and column, a rectangular selection of
// data cells moved with the arrows (Shift widens it) or the mouse, and every
// cell painted by the subclass. Up from the first data row and Down from the
// last one leave the grid for the neighbouring controls of its page. Shared by
// the enrichment grid and the map grids.

#include <QRect>
#include <QWidget>

#include <vector>

namespace vapora {

class OwnerGrid : public QWidget {
    Q_OBJECT
public:
    OwnerGrid(int columns, int rows, QWidget* parent = nullptr);

    int ColumnCount() const { return static_cast<int>(colWidths_.size()); }
    int RowCount() const { return static_cast<int>(rowHeights_.size()); }
    void SetColumnWidth(int column, int width);
    void SetRowHeight(int row, int height);
    int ColumnWidth(int column) const { return colWidths_[static_cast<size_t>(column)]; }
    int RowHeight(int row) const { return rowHeights_[static_cast<size_t>(row)]; }
    // Size of the grid when every cell has its width and height plus its line.
    QSize GridSize() const;
    // Pixel rectangle of a cell (grid coordinates), without its grid line.
    QRect CellRect(int column, int row) const;
    // Cell under a pixel, or (-1, -1).
    QPoint CellAt(const QPoint& pixel) const;

    // Current cell and selection, grid coordinates, data cells only.
    QPoint Current() const { return current_; }
    QRect Selection() const;
    void SelectCell(int column, int row);
    void SelectRange(int left, int top, int right, int bottom);
    bool IsActiveControl() const { return hasFocus(); }

    QSize sizeHint() const override { return GridSize(); }

    // The grid's own page: Up out of the grid stays on it.
    void SetPage(QWidget* page) { page_ = page; }

signals:
    void enterPressed();
    void cellDoubleClicked(int column, int row);

protected:
    struct CellState {
        bool fixed = false;
        bool selected = false;
        bool focused = false;
    };
    virtual void DrawCell(QPainter& painter, int column, int row, const QRect& rect, const CellState& state) = 0;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    QColor lineColour_{128, 128, 128};

private:
    void MoveTo(int column, int row, bool extend);
    void LeaveUp();
    void LeaveDown();

    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    QPoint anchor_{1, 1};
    QPoint current_{1, 1};
    QWidget* page_ = nullptr;
};

} // namespace vapora
