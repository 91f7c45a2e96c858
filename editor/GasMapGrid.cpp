#include "editor/GasMapGrid.h"

#include "editor/BlockEdit.h"
#include "editor/LiveMapSource.h"
#include "editor/MapPaste.h"
#include "editor/MapTools.h"
#include "editor/TFormModMappa.h"
#include "model/ConfCar.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>

#include <algorithm>

namespace vapora {

QString LoadBreakpointText(double volts, double shownVolts)
{
    return QLocale().toString(shownVolts, 'g', volts >= 1 ? 3 : 2);
}

GasMapGrid::GasMapGrid(ConfCar& car, DialogService* dialogs, TFormModMappa* modify, LiveMapSource* live,
                       QWidget* parent)
    : MapGrid(ConfCar::kMapCols + 1, ConfCar::kMapRows + 1, dialogs, parent), car_(car), modify_(modify),
      live_(live)
{
    setObjectName(QStringLiteral("DrawGridMap"));
    if (live_ != nullptr)
        SetMarkerSource([this](QPoint& point, QColor& colour) {
            point = live_->GasMarker();
            colour = live_->MarkerColour();
            return true;
        });
}

void GasMapGrid::SetShowAdapt(bool on)
{
    showAdapt_ = on;
    update();
}

QString GasMapGrid::FixedText(int column, int row) const
{
    if (column == 0 && row == 0)
        return car_.IsUnitKind2() ? QStringLiteral("M/G") : QStringLiteral("Tps/G");
    if (row == 0)
        return QString::number(car_.GetRpmRef(column - 1) / 50 * 50);
    const double volts = car_.GetMapRef(row - 1);
    const bool inverted = car_.IsTpsInverted() && !car_.IsUnitKind2();
    return LoadBreakpointText(volts, inverted ? 5 - volts : volts);
}

void GasMapGrid::DrawFixedCell(QPainter& painter, int column, int row, const QRect& rect)
{
    painter.fillRect(rect, FixedColor());
    painter.setPen(Qt::white);
    // Breakpoints share one size, fitted to the widest speed; the corner fits its own.
    if (column == 0 && row == 0) {
        DrawFittedText(painter, rect, FixedText(column, row), 10, true);
        return;
    }
    painter.setFont(FittingFont(QStringLiteral("0000"), rect.width(), 10, true));
    painter.drawText(rect, Qt::AlignCenter, FixedText(column, row));
}

void GasMapGrid::DrawDataCell(QPainter& painter, int column, int row, const QRect& rect, int state)
{
    QColor fill = kCellColor;
    QColor ink = Qt::black;
    if (state == kFocused) {
        fill = kFocusColor;
        ink = Qt::white;
    } else if (state == kSelected && IsActiveControl()) {
        fill = kSelectedColor;
        ink = Qt::white;
    } else {
        OverlayFill(column, row, fill);
    }
    painter.fillRect(rect, fill);
    painter.setPen(ink);

    // One size for every cell: the widest value decides.
    const QFont bold = FittingFont(QStringLiteral("510"), rect.width(), 10, true);
    painter.setFont(bold);
    const QString value = QString::number(car_.GetGasMapCell(row - 1, column - 1));
    if (!showAdapt_) {
        painter.drawText(rect, Qt::AlignCenter, value);
        return;
    }
    // Value at the top edge, the adaptive correction under it, smaller.
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop, value);
    QFont small = bold;
    small.setBold(false);
    small.setPointSize(std::max(6, bold.pointSize() - 2));
    painter.setFont(small);
    painter.drawText(rect.adjusted(0, 0, 0, -2), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::number(car_.GetAdaptCell(row - 1, column - 1)));
}

std::string GasMapGrid::CopyCell(int column, int row) const
{
    return std::to_string(car_.GetGasMapCell(row - 1, column - 1));
}

void GasMapGrid::PasteCell(int column, int row, const std::string& text)
{
    car_.SetGasMapCell(row - 1, column - 1, ParseCellInt(text));
}

void GasMapGrid::ModifySelection()
{
    if (modify_ == nullptr)
        return;
    const QRect s = Selection();
    int value = 0;
    int mode = kModLinear;
    if (SingleCellSelected()) {
        value = car_.GetGasMapCell(s.top() - 1, s.left() - 1);
        mode = kModAbsolute;
    }
    if (live_ != nullptr)
        live_->StopLiveTimer();
    repaint();
    if (modify_->RunInteger(value, mode)) {
        // The record refuses what leaves 0..510 and the loop goes on.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        MapTools::Step step(Tools());
        for (int r = s.top(); r <= s.bottom(); ++r)
            for (int c = s.left(); c <= s.right(); ++c)
                car_.SetGasMapCell(r - 1, c - 1, BlockValue(car_.GetGasMapCell(r - 1, c - 1), value, mode));
        QApplication::restoreOverrideCursor();
    }
    update();
    if (live_ != nullptr)
        live_->StartLiveTimer();
}

} // namespace vapora
