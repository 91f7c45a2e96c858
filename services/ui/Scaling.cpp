#include "services/ui/Scaling.h"

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vapora {

namespace {
constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 600;
} // namespace

QRect AvailableArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    return area.isValid() ? area : QRect(0, 0, kDesignWidth, kDesignHeight);
}

QSize FrameReserve()
{
    // A title bar and thin borders, as the usual window managers draw them.
    return {10, 34};
}

double WindowScale(QSize design)
{
    const QRect area = AvailableArea();
    const QSize frame = FrameReserve();
    double scale = std::min(area.width() / double(kDesignWidth), area.height() / double(kDesignHeight));
    if (design.width() > 0)
        scale = std::min(scale, (area.width() - frame.width()) / double(design.width()));
    if (design.height() > 0)
        scale = std::min(scale, (area.height() - frame.height()) / double(design.height()));
    return scale > 0 ? scale : 1.0;
}

double ScreenScale() { return WindowScale({kDesignWidth, kDesignHeight}); }

int Scaled(double scale, int designPixels) { return static_cast<int>(std::lround(designPixels * scale)); }

void UseWindowFont(QWidget* window, double scale, int designPixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, Scaled(scale, designPixels)));
    window->setFont(font);
}

void CentreOnScreen(QWidget* window)
{
    const QRect area = AvailableArea();
    const QSize frame = FrameReserve();
    const QSize outer = window->size() + frame;
    const int x = area.x() + std::max(0, (area.width() - outer.width()) / 2);
    const int y = area.y() + std::max(0, (area.height() - outer.height()) / 2);
    window->move(x, y);
}

void FixedDialogFrame(QWidget* window)
{
    window->setWindowFlags((window->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint) &
                           ~(Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
}

QWidget* MaximiseAroundDesign(QWidget* window, QSize design, const QString& panelName)
{
    auto* panel = new QWidget(window);
    panel->setObjectName(panelName);
    panel->setFixedSize(design);
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w == nullptr || w == panel || w->isWindow())
            continue;
        // A new parent hides a control; the ones the window hides stay hidden.
        const bool hidden = w->isHidden();
        const QPoint at = w->pos();
        w->setParent(panel);
        w->move(at);
        if (!hidden)
            w->show();
    }
    auto* centre = new QGridLayout(window);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(panel, 0, 0, Qt::AlignCenter);
    window->setMinimumSize(design);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return panel;
}

void KeepTitleWhole(QWidget* window)
{
    QFont titleFont = QGuiApplication::font();
    titleFont.setBold(true);
    // Room for the window manager's icon and buttons beside the title.
    int needed = QFontMetrics(titleFont).horizontalAdvance(window->windowTitle()) + 100;
    // An explicit minimum replaces the layout's own: keep the larger.
    if (window->layout() != nullptr) {
        window->layout()->activate();
        needed = std::max(needed, window->layout()->totalMinimumSize().width());
    }
    if (window->minimumWidth() == window->maximumWidth()) {
        if (window->width() < needed)
            window->setFixedWidth(needed);
    } else if (window->minimumWidth() < needed) {
        window->setMinimumWidth(needed);
    }
}

void ScaledPlacer::operator()(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(Scaled(scale_, x), Scaled(scale_, y), Scaled(scale_, width), Scaled(scale_, height));
}

} // namespace vapora
