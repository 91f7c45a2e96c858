#pragma once
// What a whole transfer with the unit achieved, for whoever tells the user: the
// program's windows and the command-line tool alike. Plain data, no text.

#include <algorithm>
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
    int32_t row = -1;    // the table row the value was sent in, -1 for a value or block
};

// A request of a transfer that the unit answered with a refusal.
struct RefusedGroup {
    int32_t id = 0;   // the identifier of the value, block or row
    int32_t row = -1; // the table row, -1 for a value or block
    std::string key; // the field's key; "Mappa3_0..Mappa3_19" for a table row
};

struct TransferOutcome {
    enum class Direction { Read, Write };

    Direction direction = Direction::Read;
    // Groups are the link requests of the transfer: one value, block or table row each.
    int groupsDone = 0;     // answered before the link was lost (refusals are answers)
    int groupsTotal = 0;    // what the whole transfer takes
    bool linkLost = false;  // the unit stopped answering: the groups after groupsDone never ran
    int refusedGroups = 0;  // answered with a refusal
    std::vector<RefusedGroup> refusals; // those groups, in transfer order
    std::vector<RefusedValue> refused;  // writes only: the values the unit did not take

    // Every group answered and taken: for a read, the record holds the unit's configuration.
    bool Complete() const { return !linkLost && refusedGroups == 0 && refused.empty(); }
    // A read that was cut or refused leaves fields the unit never gave; a write reads back
    // what the unit refused, so only a lost link leaves the record unlike the unit.
    bool RecordMatchesUnit() const
    {
        return !linkLost && (direction == Direction::Write || refusedGroups == 0);
    }
    // The keys of the first n refused values, in transfer order.
    std::vector<std::string> FirstRefusedKeys(std::size_t n) const
    {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < refused.size() && i < n; ++i)
            keys.push_back(refused[i].key);
        return keys;
    }
    // The keys of the refused groups, in transfer order.
    std::vector<std::string> RefusedGroupKeys() const
    {
        std::vector<std::string> keys;
        for (const RefusedGroup& group : refusals)
            keys.push_back(group.key);
        return keys;
    }
    // Writes only: the refused groups whose every value the unit already held, so that
    // nothing was lost by the refusal.
    std::vector<std::string> KeptGroupKeys() const
    {
        std::vector<std::string> keys;
        if (direction != Direction::Write || linkLost) // groups after the loss were never read back
            return keys;
        for (const RefusedGroup& group : refusals) {
            const bool differs = std::any_of(refused.begin(), refused.end(), [&group](const RefusedValue& v) {
                return v.id == group.id && v.row == group.row;
            });
            if (!differs)
                keys.push_back(group.key);
        }
        return keys;
    }
};

} // namespace vapora
