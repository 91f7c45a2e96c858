#pragma once
// What the program asks of a unit before it trusts it: the family, the
// compatibility words, how long it waits for the unit to be ready, and how
// often it tries to program firmware. The windows and the command line share it.

#include <cstdint>

namespace vapora {

class ConfCar;

namespace unitrules {

constexpr int kFamily0 = 8;
constexpr int kFamily1 = 1;
constexpr int kSystemLevel = 1029;
constexpr int kLevelMask = 0x7FFF;
constexpr int kBinding = 0x8000;
constexpr int kWarningInterval = 7; // days the warning stays quiet after being shown
constexpr int kFirstVersionWithWordB = 18;
constexpr int kCounterB = 11;
constexpr uint32_t kReadyTimeoutMs = 20000;

constexpr int kFirmwareAttempts = 3;
constexpr int32_t kProgramDone = 0;
constexpr int32_t kProgramBatteryLow = 1;

enum class Compatibility { Accept, Refuse, Warn };

// The two compatibility words against the program's level; a newer unit whose
// word carries the binding bit is refused, a newer one without it warned about
// at most once a week (`today` and `lastWarning` in days).
Compatibility CheckCompatibility(int wordA, int wordB, int today, int lastWarning);

// True when the identification bytes name the family this program serves.
bool IsSupportedFamily(const uint8_t idBytes[4]);

struct CompatibilityWords {
    int a = 0;
    int b = 0;
};
// Reads the words from the unit; the second exists from software version 18.
CompatibilityWords ReadCompatibilityWords(ConfCar& car);

} // namespace unitrules
} // namespace vapora
