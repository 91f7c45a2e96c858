#include "model/UnitRules.h"

#include "model/ConfCar.h"

namespace vapora::unitrules {

Compatibility CheckCompatibility(int wordA, int wordB, int today, int lastWarning)
{
    const int levelA = wordA & kLevelMask;
    const int levelB = wordB & kLevelMask;
    if (levelA <= kSystemLevel && levelB <= kSystemLevel)
        return Compatibility::Accept;
    if ((levelA > kSystemLevel && (wordA & kBinding) != 0) || (levelB > kSystemLevel && (wordB & kBinding) != 0))
        return Compatibility::Refuse;
    return today <= lastWarning + kWarningInterval ? Compatibility::Accept : Compatibility::Warn;
}

bool IsSupportedFamily(const uint8_t idBytes[4]) { return idBytes[0] == kFamily0 && idBytes[1] == kFamily1; }

CompatibilityWords ReadCompatibilityWords(ConfCar& car)
{
    CompatibilityWords words;
    words.a = car.ReadCounter(0);
    words.b = car.SoftwareVersion() >= kFirstVersionWithWordB ? car.ReadCounter(kCounterB) : 0;
    return words;
}

} // namespace vapora::unitrules
