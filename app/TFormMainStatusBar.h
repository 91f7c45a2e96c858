#pragma once
// The main window's status bar: four panels, three of them drawn by hand
// (red while no unit is connected, the official-file mark, the fuel colour).

#include <QIcon>
#include <QStatusBar>

#include <array>
#include <functional>

namespace vapora {

class StatusBarMain final : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanels = 4;

    struct State {
        bool connected = false;
        bool official = false;
        bool methane = false;
        QIcon officialImage;
    };

    explicit StatusBarMain(std::function<State()> state, QWidget* parent = nullptr);

    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    void SetPanelWidth(int panel, int width);
    int PanelWidth(int panel) const;
    QRect PanelRect(int panel) const;

    static constexpr QColor kNotConnected{255, 0, 0};
    static constexpr QColor kMethane{0, 255, 255};
    static constexpr QColor kLpg{255, 255, 0};

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<State()> state_;
    std::array<QString, kPanels> texts_;
    std::array<int, kPanels> widths_{230, 280, 215, 60};
};

} // namespace vapora
