#include "editor/BreakpointChecks.h"

#include <cstddef>

namespace vapora {

int FirstBadSpeedPair(const std::vector<int>& speeds)
{
    for (std::size_t i = 0; i + 1 < speeds.size(); ++i)
        if (!(speeds[i] < speeds[i + 1]))
            return static_cast<int>(i);
    return -1;
}

int FirstBadLoadPair(const std::vector<double>& loads, bool invertedDisplay)
{
    for (std::size_t i = 0; i + 1 < loads.size(); ++i) {
        const bool inOrder = invertedDisplay ? loads[i + 1] <= loads[i] : loads[i + 1] > loads[i];
        if (!inOrder)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace vapora
