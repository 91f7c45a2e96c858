#pragma once
// Order checks of the breakpoint editors, run before anything is written.

#include <vector>

namespace vapora {

// Index of the left value of the first neighbouring pair that is not strictly
// rising; -1 when the whole row is in order.
int FirstBadSpeedPair(const std::vector<int>& speeds);

// Loads must rise strictly; in the inverted throttle display (5 V minus the
// breakpoint) they must not rise, equal neighbours being allowed there only.
int FirstBadLoadPair(const std::vector<double>& loads, bool invertedDisplay);

} // namespace vapora
