#include "editor/MapGrid.h"

#include "editor/MapPaste.h"
#include "editor/MapTools.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QToolTip>

#include <algorithm>

namespace vapora {

const QColor MapGrid::kCellColor(0xE0, 0xE0, 0xE0);
const QColor MapGrid::kFocusColor(0x00, 0x00, 0xC4);
const QColor MapGrid::kSelectedColor(0x00, 0x00, 0x80);

namespace {
const QColor kLineColor(0x70, 0x70, 0x70);
}

MapGrid::MapGrid(int columns, int rows, DialogService* dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), columns_(columns), rows_(rows), fixedColor_(0x62, 0x62, 0x00)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenuGrid"));
    copy_ = popup_->addAction(QStringLiteral("&Copia"));
    copy_->setObjectName(QStringLiteral("MenuCopia"));
    paste_ = popup_->addAction(QStringLiteral("&Incolla"));
    paste_->setObjectName(QStringLiteral("MenuIncolla"));
    connect(copy_, &QAction::triggered, this, &MapGrid::MenuCopiaClick);
    connect(paste_, &QAction::triggered, this, &MapGrid::MenuIncollaClick);
    connect(popup_, &QMenu::aboutToShow, this, &MapGrid::PopupMenuGridPopup);
}

QSize MapGrid::sizeHint() const { return {columns_ * 48, rows_ * 36}; }
QSize MapGrid::minimumSizeHint() const { return {columns_ * 30, rows_ * 22}; }

MapGrid::Layout MapGrid::Geometry() const
{
    // Every cell gets the same size; what is left over is split around the grid.
    const int cw = std::max(1, width() / columns_ - 1);
    const int ch = std::max(1, height() / rows_ - 1);
    const int usedW = columns_ * (cw + 1) + 1;
    const int usedH = rows_ * (ch + 1) + 1;
    return {cw, ch, std::max(0, (width() - usedW) / 2), std::max(0, (height() - usedH) / 2)};
}

QRect MapGrid::CellRect(int column, int row) const
{
    const Layout g = Geometry();
    return {g.left + 1 + column * (g.cellWidth + 1), g.top + 1 + row * (g.cellHeight + 1), g.cellWidth,
            g.cellHeight};
}

bool MapGrid::CellAt(const QPoint& pixel, int& column, int& row) const
{
    const Layout g = Geometry();
    const int x = pixel.x() - g.left - 1;
    const int y = pixel.y() - g.top - 1;
    if (x < 0 || y < 0)
        return false;
    column = x / (g.cellWidth + 1);
    row = y / (g.cellHeight + 1);
    return column < columns_ && row < rows_;
}

QRect MapGrid::Selection() const
{
    return QRect(QPoint(std::min(col_, anchorCol_), std::min(row_, anchorRow_)),
                 QPoint(std::max(col_, anchorCol_), std::max(row_, anchorRow_)));
}

void MapGrid::SetSelection(int left, int top, int right, int bottom)
{
    col_ = std::clamp(left, 1, LastColumn());
    row_ = std::clamp(top, 1, LastRow());
    anchorCol_ = std::clamp(right, 1, LastColumn());
    anchorRow_ = std::clamp(bottom, 1, LastRow());
    update();
}

bool MapGrid::IsActiveControl() const { return window()->focusWidget() == this; }

void MapGrid::SetFixedColor(const QColor& color)
{
    fixedColor_ = color;
    update();
}

void MapGrid::InvalidateAround(const QPoint& point)
{
    update(QRect(point.x() - kMarkerRadius - 1, point.y() - kMarkerRadius - 1, 2 * kMarkerRadius + 3,
                 2 * kMarkerRadius + 3));
}

bool MapGrid::OverlayFill(int column, int row, QColor& fill) const
{
    return tools_ != nullptr && tools_->CellFill(row - 1, column - 1, fill);
}

bool MapGrid::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && tools_ != nullptr) {
        auto* help = static_cast<QHelpEvent*>(event);
        int c = 0;
        int r = 0;
        const QString text = CellAt(help->pos(), c, r) ? tools_->ToolTip(c, r) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, CellRect(c, r));
        return true;
    }
    return QWidget::event(event);
}

void MapGrid::paintEvent(QPaintEvent* event)
{
    if (tools_ != nullptr)
        tools_->PreparePaint();
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const Layout g = Geometry();
    const QRect whole(g.left, g.top, columns_ * (g.cellWidth + 1) + 1, rows_ * (g.cellHeight + 1) + 1);
    painter.fillRect(whole, kLineColor);

    const bool active = IsActiveControl();
    const QRect selection = Selection();
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c) {
            const QRect cell = CellRect(c, r);
            if (!event->rect().intersects(cell))
                continue;
            painter.save();
            painter.setClipRect(cell);
            if (r == 0 || c == 0) {
                DrawFixedCell(painter, c, r, cell);
                if (tools_ != nullptr)
                    tools_->MarkFixedCell(painter, c, r, cell);
            } else {
                int state = kPlain;
                if (active && c == col_ && r == row_)
                    state = kFocused;
                else if (selection.contains(c, r))
                    state = kSelected;
                DrawDataCell(painter, c, r, cell, state);
            }
            painter.restore();
        }

    // The marker goes over the data cells only, on top of their text: a ring
    // in its colour around a light wash of it, so the number under it still reads.
    QPoint point;
    QColor colour;
    if (marker_ && marker_(point, colour)) {
        const QRect data = CellRect(1, 1).united(CellRect(LastColumn(), LastRow()));
        painter.setClipRect(data);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor wash = colour;
        wash.setAlpha(kMarkerWashAlpha);
        painter.setPen(Qt::NoPen);
        painter.setBrush(wash);
        painter.drawEllipse(point, kMarkerRadius, kMarkerRadius);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(point, kMarkerRadius, kMarkerRadius);
        painter.setPen(QPen(colour, 3));
        painter.drawEllipse(QPointF(point), kMarkerRadius - 2.0, kMarkerRadius - 2.0);
    }
}

namespace {
constexpr double kDesignPointSize = 9.0; // the configuration window's design font
} // namespace

QFont MapGrid::FittingFont(const QString& text, int cellWidth, int pointSize, bool bold) const
{
    QFont f = font();
    f.setBold(bold);
    // pointSize is the design size beside the window's 9-point design font: it grows and
    // shrinks with the window.
    const double scale = f.pointSizeF() > 0 ? f.pointSizeF() / kDesignPointSize : 1.0;
    for (int size = static_cast<int>(pointSize * scale + 0.5); size > 6; --size) {
        f.setPointSize(size);
        if (QFontMetrics(f).horizontalAdvance(text) + 4 <= cellWidth)
            return f;
    }
    f.setPointSize(6);
    return f;
}

void MapGrid::DrawFittedText(QPainter& painter, const QRect& rect, const QString& text, int pointSize,
                             bool bold) const
{
    painter.setFont(FittingFont(text, rect.width(), pointSize, bold));
    painter.drawText(rect, Qt::AlignCenter, text);
}

void MapGrid::MoveFocus(int column, int row, bool extend)
{
    col_ = std::clamp(column, 1, LastColumn());
    row_ = std::clamp(row, 1, LastRow());
    if (!extend) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
    update();
}

QWidget* MapGrid::Page() const
{
    QWidget* w = const_cast<MapGrid*>(this);
    while (w->parentWidget() != nullptr && !w->isWindow()) {
        if (qobject_cast<QStackedWidget*>(w->parentWidget()) != nullptr)
            return w;
        w = w->parentWidget();
    }
    return w;
}

void MapGrid::FocusPreviousOnPage()
{
    // Back through the window's tab stops until one lies on this grid's page;
    // a window with nothing else on the page comes round to the grid itself.
    QWidget* page = Page();
    for (int guard = 0; guard < 500; ++guard) {
        if (!focusPreviousChild())
            return;
        QWidget* now = window()->focusWidget();
        if (now == nullptr || now == this || page->isAncestorOf(now))
            return;
    }
}

void MapGrid::keyPressEvent(QKeyEvent* event)
{
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const int page = std::max(1, height() / std::max(1, Geometry().cellHeight + 1) - 1);
    if (tools_ != nullptr && (event->matches(QKeySequence::Undo) || (ctrl && !shift && event->key() == Qt::Key_Z))) {
        tools_->Undo();
        return;
    }
    if (tools_ != nullptr && (event->matches(QKeySequence::Redo) || (ctrl && event->key() == Qt::Key_Y))) {
        tools_->Redo();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Modify();
        return;
    case Qt::Key_Up:
        if (row_ == 1 && !shift) {
            FocusPreviousOnPage();
            return;
        }
        MoveFocus(col_, row_ - 1, shift);
        return;
    case Qt::Key_Down:
        if (row_ == LastRow() && !shift) {
            focusNextChild();
            return;
        }
        MoveFocus(col_, row_ + 1, shift);
        return;
    case Qt::Key_Left: MoveFocus(col_ - 1, row_, shift); return;
    case Qt::Key_Right: MoveFocus(col_ + 1, row_, shift); return;
    case Qt::Key_Home: MoveFocus(1, ctrl ? 1 : row_, shift); return;
    case Qt::Key_End: MoveFocus(LastColumn(), ctrl ? LastRow() : row_, shift); return;
    case Qt::Key_PageUp: MoveFocus(col_, row_ - page, shift); return;
    case Qt::Key_PageDown: MoveFocus(col_, row_ + page, shift); return;
    default: QWidget::keyPressEvent(event);
    }
}

void MapGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    int c = 0;
    int r = 0;
    if (event->button() != Qt::LeftButton || !CellAt(event->position().toPoint(), c, r) || c == 0 || r == 0)
        return;
    MoveFocus(c, r, (event->modifiers() & Qt::ShiftModifier) != 0);
}

void MapGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const Layout g = Geometry();
    const QPoint p = event->position().toPoint();
    // Dragging past the edge keeps extending to the last cell on that side.
    const int c = (p.x() - g.left - 1) / (g.cellWidth + 1);
    const int r = (p.y() - g.top - 1) / (g.cellHeight + 1);
    MoveFocus(c, r, true);
}

void MapGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    int c = 0;
    int r = 0;
    if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), c, r) && c > 0 && r > 0)
        Modify();
}

void MapGrid::contextMenuEvent(QContextMenuEvent* event)
{
    popup_->exec(event->globalPos());
}

void MapGrid::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void MapGrid::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void MapGrid::PopupMenuGridPopup()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    paste_->setEnabled(!clipboard->text().isEmpty());
    copy_->setEnabled(true);
    if (tools_ != nullptr)
        tools_->UpdateActions();
}

void MapGrid::MenuCopiaClick()
{
    const QRect s = Selection();
    std::vector<std::vector<std::string>> rows;
    for (int r = s.top(); r <= s.bottom(); ++r) {
        auto& line = rows.emplace_back();
        for (int c = s.left(); c <= s.right(); ++c)
            line.push_back(CopyCell(c, r));
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(JoinCells(rows)));
}

void MapGrid::MenuIncollaClick()
{
    const PasteText text = SplitPasteText(QGuiApplication::clipboard()->text().toStdString());
    if (text.lines.empty())
        return;
    const QRect s = Selection();
    const int lines = static_cast<int>(text.lines.size());
    if (!SingleCellSelected() && (s.height() != lines || s.width() != text.columns)) {
        const MsgResult answer =
            dialogs_->Message(this, window()->windowTitle(),
                              QStringLiteral("Attenzione: le aree di copia ed incolla hanno dimensioni diverse.\n\n"
                                             "Continuare?"),
                              MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No);
        if (answer == MsgResult::No)
            return;
    }
    const int left = s.left();
    const int top = s.top();
    MapTools::Step step(tools_);
    for (int j = 0; j < lines; ++j) {
        const std::vector<std::string> cells = LineCells(text.lines[j], text.columns);
        for (int k = 0; k < static_cast<int>(cells.size()); ++k)
            if (left + k <= LastColumn() && top + j <= LastRow())
                PasteCell(left + k, top + j, cells[k]);
    }
    SetSelection(left, top, std::min(left + text.columns - 1, LastColumn()), std::min(top + lines - 1, LastRow()));
    update();
}

} // namespace vapora
