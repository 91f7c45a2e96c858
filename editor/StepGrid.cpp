#include "editor/StepGrid.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QStyle>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace vapora {
namespace {

// The in-place editor keeps Up and Down to itself: they must not move to
// another cell in the middle of an edit.
class CellEditor final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(5);
        return editor;
    }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down)
                return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

} // namespace

StepGrid::StepGrid(const QString& name, int rows, int fixedRows, const QColor& fixedColour, QWidget* parent)
    : QTableWidget(rows, 21, parent), fixedRows_(fixedRows), fixedColour_(fixedColour)
{
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new CellEditor(this));
    setTabKeyNavigation(false);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    // The selection shows only in the grid that has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Base));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::Text));
    setPalette(p);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 21; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (c == 0 || r < fixedRows_) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedColour_);
            }
            setItem(r, c, item);
        }
    }
    setCurrentCell(fixedRows_, 1);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (writing_ || !setEditText)
            return;
        setEditText(item->column(), item->row(), item->text());
    });
}

void StepGrid::SetCell(int column, int row, const QString& text)
{
    writing_ = true;
    item(row, column)->setText(text);
    writing_ = false;
}

QString StepGrid::Cell(int column, int row) const { return item(row, column)->text(); }

void StepGrid::SetCellFill(int column, int row, const QColor& colour)
{
    writing_ = true;
    item(row, column)->setBackground(colour);
    writing_ = false;
}

int StepGrid::FittingPixels(QFont design) const
{
    // The room the style gives a cell's text: its column less the grid line
    // and a margin on each side.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) +
                       (showGrid() ? 1 : 0);
    auto fits = [this, margin](const QFont& f) {
        const QFontMetrics fm(f);
        for (int r = 0; r < rowCount(); ++r) {
            if (fm.ascent() > rowHeight(r))
                return false;
            for (int c = 0; c < columnCount(); ++c) {
                const QString text = item(r, c)->text();
                if (!text.isEmpty() && fm.horizontalAdvance(text) + margin > columnWidth(c))
                    return false;
            }
        }
        return true;
    };
    int pixels = QFontInfo(design).pixelSize();
    design.setPixelSize(pixels);
    while (pixels > kSmallestPixels && !fits(design))
        design.setPixelSize(--pixels);
    return pixels;
}

QList<QPoint> StepGrid::SelectedCells() const
{
    QList<QPoint> cells;
    for (int r = fixedRows_; r < rowCount(); ++r)
        for (int c = 1; c < columnCount(); ++c)
            if (item(r, c)->isSelected())
                cells.append(QPoint(c, r));
    return cells;
}

void StepGrid::keyPressEvent(QKeyEvent* event)
{
    const int row = currentRow();
    const int column = currentColumn();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QList<QPoint> cells = SelectedCells();
        if (cells.size() > 1) {
            emit blockFill();
        } else if (row >= fixedRows_ && column >= 1) {
            remembered_ = Cell(column, row);
            editItem(item(row, column));
        }
        event->accept();
        return;
    }
    case Qt::Key_Down:
        if (row == rowCount() - 1 && !(event->modifiers() & Qt::ShiftModifier)) {
            emit leaveDown(column);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Up:
        if (row == fixedRows_ && !(event->modifiers() & Qt::ShiftModifier)) {
            emit leaveUp(column);
            event->accept();
            return;
        }
        break;
    default: break;
    }
    QTableWidget::keyPressEvent(event);
}

} // namespace vapora
