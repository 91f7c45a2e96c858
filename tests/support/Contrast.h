#pragma once
// Whether a label's text stands out from what is behind it: the ratio of the
// two luminances, as readability guidelines for screens measure it (3 for
// large or bold text, 4.5 otherwise).

#include <QFontInfo>
#include <QLabel>
#include <QString>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace vapora::test {

inline double Luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

inline double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a control's text is read against: its own fill, or that of the
// nearest control behind it that paints one.
inline QColor Behind(const QWidget* w)
{
    for (const QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        const QPalette::ColorGroup group = p->isEnabled() ? QPalette::Active : QPalette::Disabled;
        if (p->autoFillBackground() || p->isWindow())
            return p->palette().color(group, p->backgroundRole());
    }
    return Qt::white;
}

// Empty when the label reads well. A greyed caption may fade, as greyed
// controls do; a greyed value on a fill of its own is still read.
inline QString ContrastProblem(const QLabel* label)
{
    if (label->text().isEmpty() || !label->pixmap().isNull() || Qt::mightBeRichText(label->text()))
        return {};
    if (!label->isEnabled() && !label->autoFillBackground())
        return {};
    const QPalette::ColorGroup group = label->isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor text = label->palette().color(group, label->foregroundRole());
    const QColor back = Behind(label);
    const double ratio = ContrastRatio(text, back);
    const int pixels = QFontInfo(label->font()).pixelSize();
    const bool large = pixels >= 24 || (label->font().bold() && pixels >= 18);
    const double needed = large ? 3.0 : 4.5;
    if (ratio >= needed)
        return {};
    return QStringLiteral("text \"%1\" %2 on %3 reads at a contrast of %4, needs %5")
        .arg(label->text(), text.name(), back.name())
        .arg(ratio, 0, 'f', 2)
        .arg(needed, 0, 'f', 1);
}

} // namespace vapora::test
