#include "ui/Scaling.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vapora {

double ScreenScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen != nullptr ? screen->geometry().width() : 800;
    return width > 0 && width != 800 ? width / 800.0 : 1.0;
}

int Scaled(double scale, int designPixels) { return static_cast<int>(std::lround(designPixels * scale)); }

void UseWindowFont(QWidget* window, double scale, int designPixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(Scaled(scale, designPixels));
    window->setFont(font);
}

void ScaledPlacer::operator()(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(Scaled(scale_, x), Scaled(scale_, y), Scaled(scale_, width), Scaled(scale_, height));
}

} // namespace vapora
