#pragma once
// Small helpers shared by the monitoring windows: screen scaling and the
// coloured rectangles that stand in for the form's shapes.

#include "services/ui/Scaling.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace vapora::monitor_ui {

using vapora::ScreenScale;

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
