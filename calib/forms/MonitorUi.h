#pragma once
// Small helpers shared by the monitoring windows: screen scaling and the
// coloured rectangles that stand in for the form's shapes.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace vapora::monitor_ui {

// Windows are designed for an 800-pixel-wide screen.
inline double ScreenScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen != nullptr ? screen->geometry().width() : 800;
    return width > 0 && width != 800 ? width / 800.0 : 1.0;
}

// A shape's brush; an invalid colour leaves it clear (the panel shows through).
inline void SetShapeColor(QWidget* shape, const QColor& color)
{
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, color.isValid() ? color : QColor(Qt::transparent));
    shape->setPalette(p);
    shape->setAutoFillBackground(color.isValid());
}

inline QColor ShapeColor(const QWidget* shape)
{
    return shape->autoFillBackground() ? shape->palette().color(QPalette::Window) : QColor();
}

inline QFont BoldFont(int pixelSize)
{
    QFont f;
    f.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    f.setBold(true);
    return f;
}

} // namespace vapora::monitor_ui
