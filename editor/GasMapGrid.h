#pragma once
// DrawGridMap: the gas map of the "Mappa" page, 8 load rows by 20 speed
// columns under the speed breakpoints and beside the load breakpoints, with
// the adaptive correction optionally shown under each value.

#include "editor/MapGrid.h"

namespace vapora {

class ConfCar;
class LiveMapSource;
class TFormModMappa;

class GasMapGrid final : public MapGrid {
    Q_OBJECT
public:
    GasMapGrid(ConfCar& car, DialogService* dialogs, TFormModMappa* modify, LiveMapSource* live,
               QWidget* parent = nullptr);

    bool ShowAdapt() const { return showAdapt_; }
    void SetShowAdapt(bool on);

    // Text of a fixed cell: the corner, a speed or a load breakpoint.
    QString FixedText(int column, int row) const;

    // Enter or double click: the modification dialog over the selected block.
    void ModifySelection();

protected:
    void DrawFixedCell(QPainter& painter, int column, int row, const QRect& rect) override;
    void DrawDataCell(QPainter& painter, int column, int row, const QRect& rect, int state) override;
    std::string CopyCell(int column, int row) const override;
    void PasteCell(int column, int row, const std::string& text) override;
    void Modify() override { ModifySelection(); }

private:
    ConfCar& car_;
    TFormModMappa* modify_;
    LiveMapSource* live_;
    bool showAdapt_ = false;
};

// Load breakpoint text: 3 significant digits from 1 V up, else 2.
QString LoadBreakpointText(double volts, double shownVolts);

} // namespace vapora
