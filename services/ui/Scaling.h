#pragma once
// The windows were drawn for an 800x600 screen. Each window takes one scale
// from that design and the screen's available area (in device-independent
// pixels, so a high-density screen counts by its logical size) and applies it
// to every font and measure it has, once, when it is created.

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace vapora {

// The primary screen's available area (800x600 when there is no screen).
QRect AvailableArea();
// What a window manager adds around a window: room kept free so that a window
// with its frame still fits the available area.
QSize FrameReserve();
// The scale of a window whose design measures design pixels on the 800x600
// screen: the screen's own scale, lowered where the window and its frame would
// not fit the available area.
double WindowScale(QSize design);
// WindowScale of a window drawn for the whole 800x600 screen.
double ScreenScale();
// A design measure in pixels at that scale.
int Scaled(double scale, int designPixels);
// The windows' base font: a sans serif of the given design size.
void UseWindowFont(QWidget* window, double scale, int designPixels);
// Centres a top-level window in the available area, frame included, and keeps
// its top-left corner on the screen.
void CentreOnScreen(QWidget* window);
// A fixed-size dialog: no maximize or minimize box.
void FixedDialogFrame(QWidget* window);

// A window drawn for the whole screen that its design shows maximised with a
// fixed border: it fills the available area at every size, and its controls,
// placed so far on the window at their design places, move into a panel of
// the design size centred in it. Call once the controls are built.
QWidget* MaximiseAroundDesign(QWidget* window, QSize design, const QString& panelName);

// Widens a window whose title the window manager would cut.
void KeepTitleWhole(QWidget* window);

// Places controls by their design geometry: at(w, x, y, width, height).
class ScaledPlacer {
public:
    explicit ScaledPlacer(double scale) : scale_(scale) {}
    void operator()(QWidget* widget, int x, int y, int width, int height) const;

private:
    double scale_;
};

} // namespace vapora
