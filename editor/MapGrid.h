#pragma once
// The owner-drawn grid shared by the gas and petrol maps: one fixed row and
// column of breakpoints around the data cells, a rectangular selection with a
// focused cell, the live marker drawn over the data cells, keyboard and mouse
// handling, and copy and paste of the selected block as tab-separated text.
// The subclasses say what a cell shows and how it is written.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <string>

class QAction;
class QMenu;

namespace vapora {

class DialogService;
class MapTools;

class MapGrid : public QWidget {
    Q_OBJECT
public:
    MapGrid(int columns, int rows, DialogService* dialogs, QWidget* parent = nullptr);

    int ColumnCount() const { return columns_; }
    int RowCount() const { return rows_; }
    int LastColumn() const { return columns_ - 1; }
    int LastRow() const { return rows_ - 1; }

    // Pixel rectangle of a cell (grid coordinates, fixed row and column 0),
    // without the grid lines around it.
    QRect CellRect(int column, int row) const;

    // The focused cell and the selected block, in grid coordinates.
    int Col() const { return col_; }
    int Row() const { return row_; }
    QRect Selection() const;
    bool SingleCellSelected() const { return Selection().width() == 1 && Selection().height() == 1; }
    // Focus on (left, top), the block reaching to (right, bottom); clipped to the data cells.
    void SetSelection(int left, int top, int right, int bottom);
    void SetFocusCell(int column, int row) { SetSelection(column, row, column, row); }

    // True when the grid is the focused control of its window.
    bool IsActiveControl() const;

    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor& color);

    // Where the live marker stands and its colour; false draws none.
    using MarkerSource = std::function<bool(QPoint& point, QColor& colour)>;
    void SetMarkerSource(MarkerSource source) { marker_ = std::move(source); }
    // Repaints the square the marker circle covers around a point.
    void InvalidateAround(const QPoint& point);

    // Undo, comparison, block tools and colouring; the page that owns the
    // grid sets them, and the grid records its own edits through them.
    void SetTools(MapTools* tools) { tools_ = tools; }
    MapTools* Tools() const { return tools_; }

    QMenu* PopupMenuGrid() const { return popup_; }
    QAction* MenuCopia() const { return copy_; }
    QAction* MenuIncolla() const { return paste_; }
    void MenuCopiaClick();
    void MenuIncollaClick();
    void PopupMenuGridPopup();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kMarkerRadius = 10;
    static constexpr int kMarkerWashAlpha = 60; // of 255: the cell's number stays readable through it
    static const QColor kCellColor;     // light grey
    static const QColor kFocusColor;    // dark blue
    static const QColor kSelectedColor; // navy

protected:
    enum CellState { kPlain = 0, kSelected = 1, kFocused = 2 };

    virtual void DrawFixedCell(QPainter& painter, int column, int row, const QRect& rect) = 0;
    // state: kFocused only when the grid is the active control; kSelected
    // for the other selected cells.
    virtual void DrawDataCell(QPainter& painter, int column, int row, const QRect& rect, int state) = 0;
    virtual std::string CopyCell(int column, int row) const = 0;
    virtual void PasteCell(int column, int row, const std::string& text) = 0;
    // Enter or a double click on a data cell.
    virtual void Modify() = 0;

    // The fill the map tools give a data cell (comparison or colouring by value); false: none.
    bool OverlayFill(int column, int row, QColor& fill) const;

    // The largest font, up to pointSize, in which text fits the cell width.
    QFont FittingFont(const QString& text, int cellWidth, int pointSize, bool bold) const;
    // Draws centred text, shrunk to the cell when it is wider.
    void DrawFittedText(QPainter& painter, const QRect& rect, const QString& text, int pointSize, bool bold) const;

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    DialogService* dialogs_;

private:
    struct Layout {
        int cellWidth;
        int cellHeight;
        int left;
        int top;
    };
    Layout Geometry() const;
    // Cell under a pixel, -1 outside the grid.
    bool CellAt(const QPoint& pixel, int& column, int& row) const;
    void MoveFocus(int column, int row, bool extend);
    void FocusPreviousOnPage();
    QWidget* Page() const;

    int columns_;
    int rows_;
    int col_ = 1;
    int row_ = 1;
    int anchorCol_ = 1;
    int anchorRow_ = 1;
    QColor fixedColor_;
    MarkerSource marker_;
    MapTools* tools_ = nullptr;
    QMenu* popup_;
    QAction* copy_;
    QAction* paste_;
};

} // namespace vapora
