#pragma once
// Text drawn by hand into a cell or panel. Painting cuts a text that is wider
// or taller than its cell without a trace, so the owner keeps the texts that
// did not fit (property "cutTexts") for the layout check to read.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;
class QWidget;

namespace vapora {

void DrawCellText(QPainter& painter, QWidget* owner, const QRect& rect, int flags, const QString& text);
// A single-line text in a cell of fixed width: what does not fit ends in an
// ellipsis, and the owner keeps the whole text for that cell's tooltip.
void DrawElidedCellText(QPainter& painter, QWidget* owner, const QRect& rect, int flags, const QString& text);
// The whole text of an elided cell under a point of the owner; empty when the
// text there was drawn whole.
QString ElidedTextAt(const QWidget* owner, const QPoint& point);
// The texts cut since the last clear.
QStringList CutTexts(const QWidget* owner);
void ClearCutTexts(QWidget* owner);

} // namespace vapora
