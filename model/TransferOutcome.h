#pragma once
// What a whole transfer with the unit achieved, for whoever tells the user: the
// program's windows and the command-line tool alike. Plain data, no text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vapora {

// A value the unit does not hold after a write: refused, then read back.
struct RefusedValue {
    int32_t id = 0;      // the identifier the value was sent with (value, block or row)
    int32_t index = 0;   // element within the record field (row * columns + column for tables)
    std::string key;     // the value's key, as configuration files name it
    int32_t sent = 0;    // what the record held and sent
    int32_t held = 0;    // what the unit answered when read back (the record now holds it)
};

struct TransferOutcome {
    enum class Direction { Read, Write };

    Direction direction = Direction::Read;
    // Groups are the link requests of the transfer: one value, block or table row each.
    int groupsDone = 0;     // answered before the link was lost (refusals are answers)
    int groupsTotal = 0;    // what the whole transfer takes
    bool linkLost = false;  // the unit stopped answering: the groups after groupsDone never ran
    int refusedGroups = 0;  // answered with a refusal
    std::vector<RefusedValue> refused; // writes only: the values the unit did not take

    bool Complete() const { return !linkLost && refusedGroups == 0 && refused.empty(); }
    // The keys of the first n refused values, in transfer order.
    std::vector<std::string> FirstRefusedKeys(std::size_t n) const
    {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < refused.size() && i < n; ++i)
            keys.push_back(refused[i].key);
        return keys;
    }
};

} // namespace vapora
