#pragma once
// What the connection, reset and fuel commands change on the main window.

#include <QString>

namespace vapora {

class MainPanels {
public:
    virtual ~MainPanels() = default;
    // Panels 0 connection, 1 configuration, 2 software version, 3 fuel.
    virtual void SetPanelText(int panel, const QString& text) = 0;
    virtual QString PanelText(int panel) const = 0;
    virtual void RepaintStatusBar() = 0;
};

} // namespace vapora
