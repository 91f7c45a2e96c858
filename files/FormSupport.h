#pragma once
// What the file windows share: scaling from the 800-pixel design, dictionary
// texts with built-in fallbacks, and the hourglass.

#include "ui/Scaling.h"
#include <QApplication>
#include <QString>

class QObject;
class QWidget;

namespace vapora {

class TDataModuleMur;

namespace filesui {

using vapora::ScreenScale;
int Scaled(double scale, int designPixels);
void UseWindowFont(QWidget* window, double scale);

// Lookups run only while the dictionary is available; one activation per object.
class Texts {
public:
    explicit Texts(TDataModuleMur* dictionary);
    ~Texts();
    Texts(const Texts&) = delete;
    Texts& operator=(const Texts&) = delete;
    bool Active() const { return active_; }
    QString Get(const char* key, const QString& fallback, int maxLength = 0);
    bool Has(const char* key, QString& text, int maxLength = 0);
    void Control(QObject* control, int maxLength = 0);

private:
    TDataModuleMur* dictionary_;
    bool active_;
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace filesui
} // namespace vapora
