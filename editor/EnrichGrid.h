#pragma once
// DrawGridArr: the enrichment quantities (rows) per speed band (columns),
// with the band the engine runs in marked green in the header row.

#include "editor/OwnerGrid.h"

#include <QColor>
#include <functional>

namespace vapora {

class EnrichGrid final : public OwnerGrid {
    Q_OBJECT
public:
    static inline const QColor kFixedColour{128, 0, 0};    // maroon
    static inline const QColor kCellColour{224, 224, 224}; // 14737632
    static inline const QColor kFocusColour{0, 0, 196};    // 0xC40000
    static inline const QColor kSelectedColour{0, 0, 128}; // navy
    static inline const QColor kBandColour{0, 255, 0};

    explicit EnrichGrid(QWidget* parent = nullptr);

    std::function<QString(int column, int row)> cellText;
    std::function<int()> currentBand;

protected:
    void DrawCell(QPainter& painter, int column, int row, const QRect& rect, const CellState& state) override;
};

} // namespace vapora
