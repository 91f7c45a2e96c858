#include "services/ui/WindowScaleStyle.h"

#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace vapora {

namespace {
// The text size the style's own indicators are drawn for.
constexpr int kDesignTextPixels = 13;
const char* const kFollowing = "followsWindowScale";
} // namespace

WindowScaleStyle::WindowScaleStyle() { setObjectName(QStringLiteral("WindowScaleStyle")); }

int WindowScaleStyle::IndicatorSide(int baseSide, int fontPixels)
{
    if (fontPixels <= kDesignTextPixels)
        return baseSide;
    return static_cast<int>(std::lround(baseSide * double(fontPixels) / kDesignTextPixels));
}

int WindowScaleStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight: {
        if (widget == nullptr)
            return base;
        return IndicatorSide(base, QFontInfo(widget->font()).pixelSize());
    }
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        if (widget == nullptr)
            return base;
        return IndicatorSide(base, QFontInfo(widget->font()).pixelSize());
    default: return base;
    }
}

QFont WindowScaleStyle::MenuFont(const QWidget* menu)
{
    const QWidget* from = menu->parentWidget();
    if (from == nullptr) {
        // A menu of no window pops up over the one in use when it first shows.
        const QWidget* active = QApplication::activeWindow();
        return active != nullptr && active != menu ? active->font() : menu->font();
    }
    // A menu of a menu bar or a submenu reads as the bar or menu it opens from;
    // a pop-up of a control as the control's window.
    if (qobject_cast<const QMenuBar*>(from) != nullptr || qobject_cast<const QMenu*>(from) != nullptr)
        return from->font();
    return from->window()->font();
}

void WindowScaleStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    auto* menu = qobject_cast<QMenu*>(widget);
    if (menu == nullptr)
        return;
    auto follow = [menu] {
        const QFont font = MenuFont(menu);
        if (QFontInfo(font).pixelSize() != QFontInfo(menu->font()).pixelSize())
            menu->setFont(font);
    };
    follow();
    // Again each time it opens, before it measures its items: a menu may drop
    // from another window than the one it was first shown over.
    if (!menu->property(kFollowing).toBool()) {
        menu->setProperty(kFollowing, true);
        QObject::connect(menu, &QMenu::aboutToShow, menu, follow);
    }
}

void UseWindowScaleStyle()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    if (qobject_cast<WindowScaleStyle*>(QApplication::style()) != nullptr)
        return;
    QApplication::setStyle(new WindowScaleStyle);
}

} // namespace vapora
