#include "FocusChain.h"

#include "TKeyComboBox.h"
#include "TNumericEdit.h"

#include <QSet>
#include <QWidget>

namespace vapora {
namespace {

QWidget* Link(const QWidget* control, bool forward)
{
    if (const auto* edit = qobject_cast<const TNumericEdit*>(control))
        return forward ? edit->NextControl() : edit->PrevControl();
    if (const auto* combo = qobject_cast<const TKeyComboBox*>(control))
        return forward ? combo->NextControl() : combo->PrevControl();
    return nullptr;
}

bool Linkable(const QWidget* control)
{
    return qobject_cast<const TNumericEdit*>(control) != nullptr ||
           qobject_cast<const TKeyComboBox*>(control) != nullptr;
}

} // namespace

bool CanTakeFocus(const QWidget* control)
{
    if (control == nullptr || !control->isEnabled() || control->focusPolicy() == Qt::NoFocus)
        return false;
    return control->isVisibleTo(control->window());
}

QWidget* WalkFocusLinks(const QWidget* start, bool forward)
{
    QSet<const QWidget*> seen{start};
    QWidget* current = Link(start, forward);
    while (current != nullptr && current != start) {
        if (CanTakeFocus(current))
            return current;
        // A loop that does not pass the start would walk for ever.
        if (!Linkable(current) || seen.contains(current))
            return nullptr;
        seen.insert(current);
        current = Link(current, forward);
    }
    return nullptr;
}

} // namespace vapora
