#include "services/ui/CellText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace vapora {

namespace {
const char* const kProperty = "cutTexts";
}

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

QStringList CutTexts(const QWidget* owner) { return owner->property(kProperty).toStringList(); }

void ClearCutTexts(QWidget* owner) { owner->setProperty(kProperty, QVariant()); }

} // namespace vapora
