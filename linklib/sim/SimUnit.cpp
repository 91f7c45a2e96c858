#include "SimUnit.h"

#include "InitialConfiguration.h"
#include "LiveBlocks.h"

#include <algorithm>

namespace sernox {

namespace {

constexpr int kReadyStatus = 2;
constexpr int kFlag1 = 3;
constexpr int kCompatibility1 = 76;
constexpr int kCompatibility2 = 82;
constexpr uint8_t kPetrolMapBlockedFlag = 4;

} // namespace

SimUnit::SimUnit(const SimConfig& config)
    : config_(config)
{
    LoadInitialConfiguration(store_);
    SetCompatibilityWords(config.compatibility588, config.compatibility594);
}

void SimUnit::SetCompatibilityWords(uint16_t word588, uint16_t word594)
{
    config_.compatibility588 = word588;
    config_.compatibility594 = word594;
    store_.Set(kCompatibility1, 0, word588);
    store_.Set(kCompatibility2, 0, word594);
}

void SimUnit::SetReadyAfterPolls(int polls)
{
    config_.readyAfterPolls = polls;
    readyPolls_ = 0;
}

void SimUnit::RefuseWritesOf(int number, bool on)
{
    if (on)
        refusedParams_.insert(number);
    else
        refusedParams_.erase(number);
}

void SimUnit::RefuseReadsOf(int number, int row, bool on)
{
    if (on)
        refusedReads_.insert({number, row});
    else
        refusedReads_.erase({number, row});
}

bool SimUnit::ReadRefused(int32_t id, int32_t row) const
{
    const int number = id & 0xFF;
    return refusedReads_.count({number, -1}) != 0 || (row >= 0 && refusedReads_.count({number, row}) != 0);
}

LiveTail SimUnit::liveTail() const
{
    return TailFor(config_.identification[2], config_.identification[3], store_.Get(kFlag1));
}

// Opening the interface is when the unit starts up again as far as the
// program can tell: the ready status restarts its countdown.
bool SimUnit::Open()
{
    readyPolls_ = 0;
    return !dropped_;
}

bool SimUnit::ReadAllowed()
{
    ++reads_;
    return !dropped_ && !failReads_;
}

bool SimUnit::WriteAllowed(int32_t id)
{
    ++writes_;
    if (dropped_ || refuseAllWrites_ || refusedParams_.count(id & 0xFF) != 0)
        return false;
    if (refuseNextWrites_ > 0) {
        --refuseNextWrites_;
        return false;
    }
    return true;
}

bool SimUnit::Identify(uint8_t idBytes[4])
{
    if (!ReadAllowed())
        return false;
    std::copy(config_.identification.begin(), config_.identification.end(), idBytes);
    return true;
}

bool SimUnit::StatusFlags(uint8_t& flags)
{
    if (!ReadAllowed())
        return false;
    flags = config_.petrolMapBlocked ? kPetrolMapBlockedFlag : 0;
    return true;
}

void SimUnit::AnswerReadyStatus()
{
    const bool ready = readyPolls_ >= config_.readyAfterPolls;
    ++readyPolls_;
    store_.Set(kReadyStatus, 0, ready ? kReady : 0);
}

bool SimUnit::ReadValue(int32_t id, int32_t& value)
{
    if (!ReadAllowed())
        return false;
    if (ReadRefused(id, -1))
        return false;
    if (id == kReadyStatus)
        AnswerReadyStatus();
    return store_.ReadValue(id, value);
}

bool SimUnit::ReadBlock(int32_t id, std::vector<int32_t>& out)
{
    return ReadAllowed() && !ReadRefused(id, -1) && store_.ReadBlock(id, out);
}

bool SimUnit::ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out)
{
    return ReadAllowed() && !ReadRefused(id, row) && store_.ReadRow(id, row, out);
}

bool SimUnit::WriteValue(int32_t id, int32_t value)
{
    return WriteAllowed(id) && store_.WriteValue(id, value);
}

bool SimUnit::WriteElement(int32_t id, int32_t index, int32_t value)
{
    return WriteAllowed(id) && store_.WriteElement(id, index, value);
}

bool SimUnit::WriteCell(int32_t id, int32_t row, int32_t column, int32_t value)
{
    return WriteAllowed(id) && store_.WriteCell(id, row, column, value);
}

bool SimUnit::WriteBlock(int32_t id, const std::vector<int32_t>& values)
{
    return WriteAllowed(id) && store_.WriteBlock(id, values);
}

bool SimUnit::WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values)
{
    return WriteAllowed(id) && store_.WriteRow(id, row, values);
}

// Each engine block read is one step of the engine; the status block only
// reports.
bool SimUnit::ReadLive(int32_t block, std::vector<uint8_t>& out)
{
    if (!ReadAllowed() || (block != 0 && block != 1))
        return false;
    if (block == 0) {
        engine_.Step(store_);
        out = EngineBlock(engine_.state(), liveTail());
    } else {
        out = StatusBlock(engine_.state(), liveTail());
    }
    return true;
}

// The battery is checked before anything is sent; the file is checked whole
// before the first byte is programmed, so a bad file leaves the old image.
int32_t SimUnit::Program(const std::string& srecordText, const std::function<void(int32_t)>& progress)
{
    ++others_;
    if (dropped_)
        return 2;
    if (batteryLow_)
        return 1;
    SRecordResult parsed = ParseSRecords(srecordText);
    if (!parsed.ok)
        return 2;
    const int records = parsed.image.dataRecords;
    int reported = -1;
    for (int sent = 0; sent <= records; ++sent) {
        const int percent = sent * 100 / records;
        if (percent != reported && progress)
            progress(percent);
        reported = percent;
    }
    firmware_ = std::make_unique<FirmwareImage>(std::move(parsed.image));
    return 0;
}

} // namespace sernox
