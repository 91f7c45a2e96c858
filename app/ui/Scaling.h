#pragma once
// The windows were drawn for an 800-pixel-wide screen; on any other width they
// scale their geometry and fonts by width / 800 once, when they are created.

class QWidget;

namespace vapora {

// 1 on an 800-pixel screen (or when there is no screen), else width / 800.
double ScreenScale();
// A design measure in pixels at that scale.
int Scaled(double scale, int designPixels);
// The windows' base font: a sans serif of the given design size.
void UseWindowFont(QWidget* window, double scale, int designPixels);

// Places controls by their design geometry: at(w, x, y, width, height).
class ScaledPlacer {
public:
    explicit ScaledPlacer(double scale) : scale_(scale) {}
    void operator()(QWidget* widget, int x, int y, int width, int height) const;

private:
    double scale_;
};

} // namespace vapora
