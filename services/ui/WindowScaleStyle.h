#pragma once
// The style every window is drawn with: the platform's own, except that the
// parts a style sizes by itself follow the window's scale too. A drop-down or
// pop-up menu is a window of its own and would keep the application's small
// font; it takes the font of the control it drops from. Check-box and radio
// indicators grow with the text beside them.

#include <QProxyStyle>

namespace vapora {

class WindowScaleStyle final : public QProxyStyle {
    Q_OBJECT
public:
    WindowScaleStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;

    // The indicator's side beside a font of that many pixels.
    static int IndicatorSide(int baseSide, int fontPixels);
    // The font a menu takes from what it drops from (its parent).
    static QFont MenuFont(const QWidget* menu);
};

// Installs the style on the application once; later calls do nothing.
void UseWindowScaleStyle();

} // namespace vapora
