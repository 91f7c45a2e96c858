#include "editor/PetrolMapGrid.h"

#include "editor/BlockEdit.h"
#include "editor/LiveMapSource.h"
#include "editor/MapPaste.h"
#include "editor/MapTools.h"
#include "editor/TFormModMappa.h"
#include "model/ConfCar.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>

namespace vapora {
namespace {

char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? '.' : point.at(0).toLatin1();
}

} // namespace

PetrolMapGrid::PetrolMapGrid(ConfCar& car, DialogService* dialogs, TFormModMappa* modify, LiveMapSource* live,
                             QWidget* parent)
    : MapGrid(ConfCar::kPetrolSize + 1, ConfCar::kPetrolSize + 1, dialogs, parent), car_(car), modify_(modify),
      live_(live)
{
    setObjectName(QStringLiteral("DrawGridMapBenz"));
    SetFixedColor(QColor(0xFF, 0x00, 0x00));
    if (live_ != nullptr)
        SetMarkerSource([this](QPoint& point, QColor& colour) {
            point = live_->PetrolMarker();
            colour = live_->MarkerColour();
            return true;
        });
}

QString PetrolMapGrid::FixedText(int column, int row) const
{
    if (column == 0 && row == 0)
        return QStringLiteral("Map/Rpm");
    if (row == 0)
        return QString::number(car_.GetPetrolRpmRef(column - 1) / 50 * 50);
    return QLocale().toString(car_.GetPetrolMapRef(row - 1), 'f', 2);
}

QString PetrolMapGrid::CellText(int column, int row) const
{
    return QString::fromStdString(FormatCellMs(car_.GetPetrolMapCell(row - 1, column - 1), DecimalSeparator()));
}

void PetrolMapGrid::DrawFixedCell(QPainter& painter, int column, int row, const QRect& rect)
{
    painter.fillRect(rect, FixedColor());
    painter.setPen(Qt::black);
    // Breakpoints share one size, fitted to the widest speed; the corner fits its own.
    if (column == 0 && row == 0) {
        DrawFittedText(painter, rect, FixedText(column, row), 10, true);
        return;
    }
    painter.setFont(FittingFont(QStringLiteral("0000"), rect.width(), 10, true));
    painter.drawText(rect, Qt::AlignCenter, FixedText(column, row));
}

void PetrolMapGrid::DrawDataCell(QPainter& painter, int column, int row, const QRect& rect, int state)
{
    const bool learned = car_.IsCellLearned(row - 1, column - 1);
    QColor fill = learned ? QColor(Qt::white) : kCellColor;
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
    painter.setFont(FittingFont(QStringLiteral("25.00"), rect.width(), 10, true));
    painter.drawText(rect, Qt::AlignCenter, CellText(column, row));
}

std::string PetrolMapGrid::CopyCell(int column, int row) const { return CellText(column, row).toStdString(); }

void PetrolMapGrid::PasteCell(int column, int row, const std::string& text)
{
    car_.SetPetrolMapCell(row - 1, column - 1, ParseCellDecimal(text, DecimalSeparator()));
}

void PetrolMapGrid::ModifySelection()
{
    if (modify_ == nullptr)
        return;
    const QRect s = Selection();
    double value = 0;
    int mode = kModLinear;
    if (SingleCellSelected()) {
        value = car_.GetPetrolMapCell(s.top() - 1, s.left() - 1);
        mode = kModAbsolute;
    }
    if (live_ != nullptr)
        live_->StopLiveTimer();
    repaint();
    if (modify_->RunDecimal(value, mode)) {
        // The record refuses what leaves 0..25 ms and rounds the rest to its steps.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        MapTools::Step step(Tools());
        for (int r = s.top(); r <= s.bottom(); ++r)
            for (int c = s.left(); c <= s.right(); ++c)
                car_.SetPetrolMapCell(r - 1, c - 1, BlockValue(car_.GetPetrolMapCell(r - 1, c - 1), value, mode));
        QApplication::restoreOverrideCursor();
    }
    update();
    if (live_ != nullptr)
        live_->StartLiveTimer();
}

} // namespace vapora
