#pragma once
// The unit's side of the wire: turns each request frame into the answer of a
// Unit (the simulated unit in practice). A request repeated with the same
// sequence number gets the answer it already got and is not carried out
// again, so a write retried after a lost answer is applied once.

#include "Frame.h"
#include "Unit.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sernox::wire {

class UnitServer {
public:
    explicit UnitServer(Unit& unit) : unit_(unit) {}

    // The answer frame, or nothing when the unit has stopped answering.
    std::optional<std::vector<uint8_t>> Handle(const Frame& request);
    static std::vector<uint8_t> LineErrorNotice();

    // The unit, kept still while f runs (requests wait).
    template <class F>
    auto WithUnit(F&& f)
    {
        std::lock_guard lock(mutex_);
        return f(unit_);
    }

    uint64_t Duplicates() const { return duplicates_; }

private:
    struct Answer {
        bool silent = false;
        bool negative = false;
        uint8_t reason = 0;
        std::vector<uint8_t> payload;
    };

    Answer Dispatch(const Frame& request);
    Answer Failed();
    Answer FirmwareBegin(const std::vector<uint8_t>& payload);
    Answer FirmwareChunk(const std::vector<uint8_t>& payload);
    Answer FirmwareEnd(const std::vector<uint8_t>& payload);

    Unit& unit_;
    std::mutex mutex_;

    bool haveLast_ = false;
    uint8_t lastSeq_ = 0;
    uint8_t lastCmd_ = 0;
    std::vector<uint8_t> lastPayload_;
    std::vector<uint8_t> lastAnswer_;
    uint64_t duplicates_ = 0;

    bool firmwareOpen_ = false;
    std::string firmware_;
    size_t firmwareReceived_ = 0;
};

} // namespace sernox::wire
