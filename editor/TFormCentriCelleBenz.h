#pragma once
// The petrol map's breakpoints: 12 speeds and 12 manifold voltages, never
// shown inverted.

#include "editor/TFormCentriCelle.h"

namespace vapora {

class TFormCentriCelleBenz final : public BreakpointEditor {
    Q_OBJECT
public:
    explicit TFormCentriCelleBenz(AppContext& ctx, QWidget* parent = nullptr);

protected:
    int SpeedRef(int index) const override;
    void SetSpeedRef(int index, int rpm) override;
    double LoadRef(int index) const override;
    void SetLoadRef(int index, double volts) override;
};

} // namespace vapora
