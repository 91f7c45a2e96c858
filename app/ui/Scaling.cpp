#include "ui/Scaling.h"

#include <QGuiApplication>
#include <QScreen>

namespace vapora {

double ScreenScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen != nullptr ? screen->geometry().width() : 800;
    return width > 0 && width != 800 ? width / 800.0 : 1.0;
}

} // namespace vapora
