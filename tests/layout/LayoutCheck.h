#pragma once
// The layout check: a shown top-level window fits the available screen with
// its frame, every visible child lies inside its parent, and no label, button,
// tab, menu title, table cell, edit or hand-drawn cell text is cut (its font
// metrics against the space it has).

#include <QString>
#include <QStringList>

class QWidget;

namespace vapora::test {

struct LayoutRules {
    // Tab bars may scroll (each caption still whole) below this screen width.
    int tabsScrollBelow = 1024;
};

// Every problem found, one line each, "window/child: what".
QStringList CheckLayout(QWidget* window, const LayoutRules& rules = {});

} // namespace vapora::test
