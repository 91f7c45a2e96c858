#include "services/ui/CellText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

#include <algorithm>

namespace vapora {

namespace {
const char* const kProperty = "cutTexts";
const char* const kElided = "elidedTexts";
// A glyph drawn at a fractional device pixel ratio may reach a pixel past its
// measured advance: keep that much spare so no letter is cut in half.
constexpr int kSpare = 1;

void RememberElided(QWidget* owner, const QRect& rect, const QString& whole)
{
    QVariantList kept = owner->property(kElided).toList();
    for (qsizetype i = kept.size() - 1; i >= 0; --i)
        if (kept[i].toList().value(0).toRect() == rect)
            kept.removeAt(i);
    if (!whole.isEmpty())
        kept.append(QVariant(QVariantList{rect, whole}));
    owner->setProperty(kElided, kept.isEmpty() ? QVariant() : QVariant(kept));
}
} // namespace

void DrawCellText(QPainter& painter, QWidget* owner, const QRect& rect, int flags, const QString& text)
{
    painter.drawText(rect, flags, text);
    if (owner == nullptr || text.isEmpty())
        return;
    const QRect needed = QFontMetrics(painter.font()).boundingRect(QRect(0, 0, 100000, 100000), flags, text);
    if (needed.width() <= rect.width() && QFontMetrics(painter.font()).ascent() <= rect.height())
        return;
    QStringList cut = owner->property(kProperty).toStringList();
    if (!cut.contains(text)) {
        cut.append(text);
        owner->setProperty(kProperty, cut);
    }
}

void DrawElidedCellText(QPainter& painter, QWidget* owner, const QRect& rect, int flags, const QString& text)
{
    const QFontMetrics fm(painter.font());
    const int room = std::max(0, rect.width() - kSpare);
    const bool fits = fm.horizontalAdvance(text) <= room;
    const QString shown = fits ? text : fm.elidedText(text, Qt::ElideRight, room);
    DrawCellText(painter, owner, rect.adjusted(0, 0, -kSpare, 0), flags | Qt::TextSingleLine, shown);
    if (owner != nullptr)
        RememberElided(owner, rect, fits ? QString() : text);
}

QString ElidedTextAt(const QWidget* owner, const QPoint& point)
{
    for (const QVariant& entry : owner->property(kElided).toList()) {
        const QVariantList pair = entry.toList();
        if (pair.value(0).toRect().contains(point))
            return pair.value(1).toString();
    }
    return {};
}

QStringList CutTexts(const QWidget* owner) { return owner->property(kProperty).toStringList(); }

void ClearCutTexts(QWidget* owner) { owner->setProperty(kProperty, QVariant()); }

} // namespace vapora
