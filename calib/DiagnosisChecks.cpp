#include "calib/DiagnosisChecks.h"

namespace vapora {

bool DiagCheckVisible(int n, bool unitKind2, bool twoProbes)
{
    if (n >= 1 && n <= 7)
        return true;
    if (n == 8)
        return unitKind2;
    if (n >= 9 && n <= kDiagChecks)
        return twoProbes;
    return false;
}

std::array<int, kDiagChecks> LayoutDiagChecks(const std::array<bool, kDiagChecks>& visible,
                                              const std::array<int, kDiagChecks>& designTops)
{
    std::array<int, kDiagChecks> tops = designTops;
    int count = 0;
    for (bool v : visible)
        count += v ? 1 : 0;
    // A single visible check has no spacing to share; keep it at the top.
    const int step = count > 1 ? (designTops[kDiagChecks - 1] - designTops[0]) / (count - 1) : 0;
    int slot = 0;
    for (int i = 0; i < kDiagChecks; ++i)
        if (visible[i])
            tops[i] = designTops[0] + step * slot++;
    return tops;
}

int EnableWordAfterClick(int enableWord, int tag, bool ticked)
{
    return ticked ? (enableWord | tag) : (enableWord & ~tag);
}

int ErrorWordBeforeDisable(int errorWord, int tag) { return errorWord & ~tag; }

std::string FormatOperatingTime(int minutes, const std::string& hoursUnit, const std::string& minutesUnit)
{
    return std::to_string(minutes / 60) + " " + hoursUnit + ", " + std::to_string(minutes % 60) + " " + minutesUnit;
}

} // namespace vapora
