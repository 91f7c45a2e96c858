#pragma once
// The layout check: a shown top-level window fits the available screen with
// its frame (a maximised one fills it), every visible child lies inside its
// parent, no label, button, tab, menu title, table cell or heading, edit or
// hand-drawn cell text is cut (its font metrics against the space it has), no
// page needs a horizontal scroll bar, menus and check-box and radio indicators
// follow the window's scale, and no two controls share an access key.

#include <QString>
#include <QStringList>

class QWidget;

namespace vapora::test {

struct LayoutRules {
    // The smallest capitals a tab bar may shrink its captions to before it scrolls.
    int smallestTabCapitals = 7;
};

// Every problem found, one line each, "window/child: what".
QStringList CheckLayout(QWidget* window, const LayoutRules& rules = {});

} // namespace vapora::test
