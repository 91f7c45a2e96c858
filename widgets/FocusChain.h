#pragma once
// The walk along the explicit next/previous links of the numeric edits and
// keyboard lists: hidden or disabled controls are stepped over through their
// own links; a walk that comes back to where it started finds nothing.

class QWidget;

namespace vapora {

bool CanTakeFocus(const QWidget* control);
QWidget* WalkFocusLinks(const QWidget* start, bool forward);

} // namespace vapora
