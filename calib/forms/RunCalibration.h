#pragma once
// What the main window's "CALIBRAZIONE CARBURAZIONE" action runs: the choice
// of form, then the calibration window over the calibration folder.

class QWidget;

namespace vapora {

struct AppContext;

void RunCalibration(AppContext& ctx, QWidget* parent);

} // namespace vapora
