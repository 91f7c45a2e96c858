#pragma once
// DrawGridMapBenz: the petrol map of the "Mappa benzina" page, 12 by 12
// injection times in milliseconds; cells holding learned points are white.

#include "editor/MapGrid.h"

namespace vapora {

class ConfCar;
class LiveMapSource;
class TFormModMappa;

class PetrolMapGrid final : public MapGrid {
    Q_OBJECT
public:
    PetrolMapGrid(ConfCar& car, DialogService* dialogs, TFormModMappa* modify, LiveMapSource* live,
                  QWidget* parent = nullptr);

    QString FixedText(int column, int row) const;
    QString CellText(int column, int row) const;

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
};

} // namespace vapora
