#pragma once
// What the file windows share: scaling from the 800-pixel design, dictionary
// texts with built-in fallbacks, and the hourglass.

#include "services/i18n/WindowTexts.h"
#include "services/ui/Scaling.h"

#include <QApplication>
#include <QString>

class QObject;
class QWidget;

namespace vapora {

class TDataModuleMur;

namespace filesui {

using vapora::ScreenScale;
using vapora::Scaled;
void UseWindowFont(QWidget* window, double scale);

// Lookups run only while the dictionary is available; one activation per object.
using Texts = WindowTexts;

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace filesui
} // namespace vapora
