#pragma once
// Small pieces the calibration windows share: screen scaling, dictionary
// texts with fallbacks, colours and the live block reads.

#include "calib/LiveFrame.h"
#include "services/i18n/WindowTexts.h"
#include "services/ui/Scaling.h"

#include <QColor>
#include <QString>

class QWidget;
class QObject;

namespace vapora {

class ConfCar;
class SerialLink;
class TDataModuleMur;

namespace calibforms {

using vapora::ScreenScale;
using vapora::Scaled;
using vapora::UseWindowFont;


using Texts = WindowTexts;

void SetTextColour(QWidget* widget, const QColor& colour);
void SetFill(QWidget* widget, const QColor& colour);

// "1.2 V": fixed, one decimal, a space, the unit.
QString FixedVolts(double volts, const QString& unit);
// General format: 2 significant digits below 1 V, 3 from 1 V.
QString GeneralVolts(double volts);

// One live block through the link (length reset to 20 each time). False when
// the read failed or the block was too short; the values stay as they were.
bool ReadEngineBlock(SerialLink* link, const ConfCar& car, double coefficient, EngineValues& values);
bool ReadStatusBlock(SerialLink* link, StatusValues& values);

inline const QColor kGreen{0, 128, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kPurple{128, 0, 128};
inline const QColor kLime{0, 255, 0};
inline const QColor kAqua{0, 255, 255};
inline const QColor kYellow{255, 255, 0};

} // namespace calibforms
} // namespace vapora
