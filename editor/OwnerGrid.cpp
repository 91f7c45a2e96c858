#include "editor/OwnerGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vapora {

OwnerGrid::OwnerGrid(int columns, int rows, QWidget* parent)
    : QWidget(parent), colWidths_(static_cast<size_t>(columns), 64), rowHeights_(static_cast<size_t>(rows), 24)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OwnerGrid::SetColumnWidth(int column, int width)
{
    colWidths_[static_cast<size_t>(column)] = std::max(width, 1);
    updateGeometry();
    update();
}

void OwnerGrid::SetRowHeight(int row, int height)
{
    rowHeights_[static_cast<size_t>(row)] = std::max(height, 1);
    updateGeometry();
    update();
}

QSize OwnerGrid::GridSize() const
{
    int w = 0;
    int h = 0;
    for (int c : colWidths_)
        w += c + 1;
    for (int r : rowHeights_)
        h += r + 1;
    return {w, h};
}

QRect OwnerGrid::CellRect(int column, int row) const
{
    if (column < 0 || row < 0 || column >= ColumnCount() || row >= RowCount())
        return {};
    int x = 0;
    for (int c = 0; c < column; ++c)
        x += colWidths_[static_cast<size_t>(c)] + 1;
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += rowHeights_[static_cast<size_t>(r)] + 1;
    return {x, y, colWidths_[static_cast<size_t>(column)], rowHeights_[static_cast<size_t>(row)]};
}

QPoint OwnerGrid::CellAt(const QPoint& pixel) const
{
    int column = -1;
    for (int c = 0, x = 0; c < ColumnCount(); ++c) {
        x += colWidths_[static_cast<size_t>(c)] + 1;
        if (pixel.x() < x) {
            column = c;
            break;
        }
    }
    int row = -1;
    for (int r = 0, y = 0; r < RowCount(); ++r) {
        y += rowHeights_[static_cast<size_t>(r)] + 1;
        if (pixel.y() < y) {
            row = r;
            break;
        }
    }
    if (pixel.x() < 0 || pixel.y() < 0 || column < 0 || row < 0)
        return {-1, -1};
    return {column, row};
}

QRect OwnerGrid::Selection() const
{
    return QRect(QPoint(std::min(anchor_.x(), current_.x()), std::min(anchor_.y(), current_.y())),
                 QPoint(std::max(anchor_.x(), current_.x()), std::max(anchor_.y(), current_.y())));
}

void OwnerGrid::SelectCell(int column, int row) { SelectRange(column, row, column, row); }

void OwnerGrid::SelectRange(int left, int top, int right, int bottom)
{
    auto clampCol = [this](int c) { return std::clamp(c, 1, ColumnCount() - 1); };
    auto clampRow = [this](int r) { return std::clamp(r, 1, RowCount() - 1); };
    anchor_ = {clampCol(left), clampRow(top)};
    current_ = {clampCol(right), clampRow(bottom)};
    update();
}

void OwnerGrid::MoveTo(int column, int row, bool extend)
{
    current_ = {std::clamp(column, 1, ColumnCount() - 1), std::clamp(row, 1, RowCount() - 1)};
    if (!extend)
        anchor_ = current_;
    update();
}

void OwnerGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const QRect selection = Selection();
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColumnCount(); ++c) {
            const QRect rect = CellRect(c, r);
            if (!rect.adjusted(0, 0, 1, 1).intersects(event->rect()))
                continue;
            CellState state;
            state.fixed = c == 0 || r == 0;
            state.selected = !state.fixed && selection.contains(c, r);
            state.focused = !state.fixed && current_ == QPoint(c, r);
            painter.save();
            painter.setClipRect(rect);
            DrawCell(painter, c, r, rect, state);
            painter.restore();
            painter.setPen(lineColour_);
            painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
            painter.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
        }
    }
}

void OwnerGrid::LeaveUp()
{
    // Back through the window's tab stops until one lies on the grid's page.
    QWidget* w = previousInFocusChain();
    for (int guard = 0; w != nullptr && w != this && guard < 500; ++guard, w = w->previousInFocusChain()) {
        const bool canFocus = w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus);
        if (canFocus && (page_ == nullptr || page_->isAncestorOf(w))) {
            w->setFocus(Qt::BacktabFocusReason);
            return;
        }
    }
}

void OwnerGrid::LeaveDown() { focusNextChild(); }

void OwnerGrid::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: emit enterPressed(); return;
    case Qt::Key_Up:
        if (current_.y() == 1 && !shift)
            LeaveUp();
        else
            MoveTo(current_.x(), current_.y() - 1, shift);
        return;
    case Qt::Key_Down:
        if (current_.y() == RowCount() - 1 && !shift)
            LeaveDown();
        else
            MoveTo(current_.x(), current_.y() + 1, shift);
        return;
    case Qt::Key_Left: MoveTo(current_.x() - 1, current_.y(), shift); return;
    case Qt::Key_Right: MoveTo(current_.x() + 1, current_.y(), shift); return;
    case Qt::Key_Home: MoveTo(1, current_.y(), shift); return;
    case Qt::Key_End: MoveTo(ColumnCount() - 1, current_.y(), shift); return;
    default: QWidget::keyPressEvent(event);
    }
}

void OwnerGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint cell = CellAt(event->position().toPoint());
    if (cell.x() >= 1 && cell.y() >= 1 && event->button() == Qt::LeftButton)
        MoveTo(cell.x(), cell.y(), event->modifiers() & Qt::ShiftModifier);
    QWidget::mousePressEvent(event);
}

void OwnerGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        const QPoint cell = CellAt(event->position().toPoint());
        if (cell.x() >= 1 && cell.y() >= 1 && cell != current_)
            MoveTo(cell.x(), cell.y(), true);
    }
}

void OwnerGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint cell = CellAt(event->position().toPoint());
    if (cell.x() >= 1 && cell.y() >= 1)
        emit cellDoubleClicked(cell.x(), cell.y());
}

void OwnerGrid::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void OwnerGrid::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

} // namespace vapora
