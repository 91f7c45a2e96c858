#pragma once
// Text drawn by hand into a cell or panel. Painting cuts a text that is wider
// or taller than its cell without a trace, so the owner keeps the texts that
// did not fit (property "cutTexts") for the layout check to read.

#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;
class QWidget;

namespace vapora {

void DrawCellText(QPainter& painter, QWidget* owner, const QRect& rect, int flags, const QString& text);
// The texts cut since the last clear.
QStringList CutTexts(const QWidget* owner);
void ClearCutTexts(QWidget* owner);

} // namespace vapora
