#pragma once
// The diagnosis window's checks: which are shown for a unit, where they sit,
// the words written when one is ticked or unticked, and the time texts.

#include <array>
#include <string>

namespace vapora {

constexpr int kDiagChecks = 11;

// Bit of check n (1..11) in error word 0 and enable word 0.
constexpr int DiagCheckBit(int n) { return 1 << (n - 1); }

// Checks 1-7 always; 8 only for model code 2; 9-11 only with two probes.
bool DiagCheckVisible(int n, bool unitKind2, bool twoProbes);

// Tops of the checks, index 0 = check 1: the visible ones spread evenly, in
// number order, from top1 to top11; hidden ones keep their design top.
std::array<int, kDiagChecks> LayoutDiagChecks(const std::array<bool, kDiagChecks>& visible,
                                              const std::array<int, kDiagChecks>& designTops);

// Enable word after a click on the check with bit `tag`.
int EnableWordAfterClick(int enableWord, int tag, bool ticked);
// Error word to write before a check is disabled: its own error goes with it.
int ErrorWordBeforeDisable(int errorWord, int tag);

// "2 ore, 5 minuti" for 125 minutes.
std::string FormatOperatingTime(int minutes, const std::string& hoursUnit, const std::string& minutesUnit);

} // namespace vapora
