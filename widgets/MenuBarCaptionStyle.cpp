#include "MenuBarCaptionStyle.h"

#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace vapora {
namespace {

constexpr int kGap = 4;

int CaptionWidth(const QStyleOptionMenuItem& item)
{
    return item.fontMetrics.size(Qt::TextShowMnemonic, item.text).width();
}

} // namespace

MenuBarCaptionStyle::MenuBarCaptionStyle() = default;

void MenuBarCaptionStyle::Install(QMenuBar* bar)
{
    auto* style = new MenuBarCaptionStyle;
    style->setParent(bar);
    bar->setStyle(style);
}

QSize MenuBarCaptionStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                            const QWidget* widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type == CT_MenuBarItem && item != nullptr && !item->icon.isNull() && !item->text.isEmpty()) {
        result.rwidth() += kGap + CaptionWidth(*item);
        // As tall as the captions beside it: a taller item would not fit the bar.
        const QSize caption(size.width(), item->fontMetrics.height());
        result.setHeight(QProxyStyle::sizeFromContents(type, option, caption, widget).height());
    }
    return result;
}

void MenuBarCaptionStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuBarItem || item == nullptr || item->icon.isNull() || item->text.isEmpty()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The item's background as the style draws it, then image and caption
    // side by side in the middle of the item.
    QStyleOptionMenuItem back = *item;
    back.icon = QIcon();
    back.text.clear();
    QProxyStyle::drawControl(element, &back, painter, widget);

    const QRect r = item->rect;
    const int side = std::min(pixelMetric(PM_SmallIconSize, option, widget), r.height());
    const int caption = CaptionWidth(*item);
    const int left = r.left() + (r.width() - side - kGap - caption) / 2;
    const bool enabled = item->state & State_Enabled;
    const QRect image(left, r.top() + (r.height() - side) / 2, side, side);
    item->icon.paint(painter, image, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    const bool active = (item->state & State_Selected) && (item->state & State_Sunken);
    const QRect text(image.right() + 1 + kGap, r.top(), caption, r.height());
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    drawItemText(painter, text, flags, item->palette, enabled, item->text,
                 active ? QPalette::HighlightedText : QPalette::ButtonText);
}

} // namespace vapora
