#pragma once
// A menu bar draws a menu that has an image with the image alone. Menus whose
// image only marks a state (a recording running) keep their caption beside it.

#include <QProxyStyle>

class QMenuBar;

namespace vapora {

class MenuBarCaptionStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The style belongs to the bar and ends with it.
    static void Install(QMenuBar* bar);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    MenuBarCaptionStyle();
};

} // namespace vapora
