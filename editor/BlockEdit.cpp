#include "editor/BlockEdit.h"

#include <cmath>

namespace vapora {

int BlockValue(int old, int v, int mode)
{
    switch (mode) {
    case kModAbsolute: return v;
    case kModLinear: return old + v;
    case kModPercentage: return static_cast<int>(old * (1 + v * 0.01));
    default: return old;
    }
}

double BlockValue(double old, double v, int mode)
{
    switch (mode) {
    case kModAbsolute: return v;
    case kModLinear: return old + v;
    case kModPercentage: return old * (1 + v * 0.01);
    default: return old;
    }
}

double BlockSeconds(double oldSeconds, int vMs, int mode)
{
    switch (mode) {
    case kModAbsolute: return vMs * 0.001;
    case kModLinear: return oldSeconds + vMs * 0.001;
    case kModPercentage: return oldSeconds * (1 + vMs * 0.01);
    default: return oldSeconds;
    }
}

int SecondsToShownMs(double seconds) { return static_cast<int>(seconds * 1000); }

} // namespace vapora
