#include "CalibFormSupport.h"

#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"

#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vapora::calibforms {

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    widget->setPalette(p);
}

void SetFill(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QString FixedVolts(double volts, const QString& unit)
{
    return QString::number(volts, 'f', 1) + QLatin1Char(' ') + unit;
}

QString GeneralVolts(double volts)
{
    return QString::number(volts, 'g', volts < 1.0 ? 2 : 3);
}

bool ReadEngineBlock(SerialLink* link, const ConfCar& car, double coefficient, EngineValues& values)
{
    if (link == nullptr)
        return false;
    uint8_t buffer[20]{};
    int32_t length = 20;
    if (!link->ReadLive(0, buffer, &length))
        return false;
    return DecodeEngineBlock(buffer, length, coefficient, car.HasTwoProbes(), car.IsUnitKind3(), values);
}

bool ReadStatusBlock(SerialLink* link, StatusValues& values)
{
    if (link == nullptr)
        return false;
    uint8_t buffer[20]{};
    int32_t length = 20;
    if (!link->ReadLive(1, buffer, &length))
        return false;
    return DecodeStatusBlock(buffer, length, values);
}

} // namespace vapora::calibforms
