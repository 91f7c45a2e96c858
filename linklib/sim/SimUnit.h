#pragma once
// The simulated unit: parameter memory, identification, ready status, the
// engine behind the live blocks and firmware programming, plus the faults a
// test needs to reach every failure path of the program. It knows nothing of
// the link object, so a serial transport can put it at the far end of a line.

#include "EngineModel.h"
#include "LiveBlocks.h"
#include "ParamStore.h"
#include "SRecord.h"
#include "Unit.h"

#include <array>
#include <memory>
#include <set>
#include <utility>

namespace sernox {

struct SimConfig {
    // Family 8,1, model code 1, software version 15.
    std::array<uint8_t, 4> identification{8, 1, 1, 15};
    uint16_t compatibility588 = 0;
    uint16_t compatibility594 = 0;
    // Reads of parameter 2 answer 0 this many times after opening, then 172.
    int readyAfterPolls = 0;
    // Status flag bit 2: the unit has no room for the petrol map.
    bool petrolMapBlocked = false;
};

class SimUnit final : public Unit {
public:
    static constexpr int32_t kReady = 172;

    explicit SimUnit(const SimConfig& config = {});

    // Unit
    bool Open() override;
    void Close() override {}
    bool Identify(uint8_t idBytes[4]) override;
    bool StatusFlags(uint8_t& flags) override;
    bool ReadValue(int32_t id, int32_t& value) override;
    bool ReadBlock(int32_t id, std::vector<int32_t>& out) override;
    bool ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out) override;
    bool WriteValue(int32_t id, int32_t value) override;
    bool WriteElement(int32_t id, int32_t index, int32_t value) override;
    bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) override;
    bool WriteBlock(int32_t id, const std::vector<int32_t>& values) override;
    bool WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values) override;
    bool ReadLive(int32_t block, std::vector<uint8_t>& out) override;
    int32_t Program(const std::string& srecordText,
                    const std::function<void(int32_t)>& progress) override;
    bool Alive() override { return !dropped_; }

    // Configuration
    const SimConfig& config() const { return config_; }
    void SetIdentification(const std::array<uint8_t, 4>& bytes) { config_.identification = bytes; }
    void SetModelCode(uint8_t code) { config_.identification[2] = code; }
    void SetSoftwareVersion(uint8_t version) { config_.identification[3] = version; }
    void SetCompatibilityWords(uint16_t word588, uint16_t word594);
    void SetReadyAfterPolls(int polls);
    void SetPetrolMapBlocked(bool blocked) { config_.petrolMapBlocked = blocked; }

    // Faults
    void RefuseAllWrites(bool on) { refuseAllWrites_ = on; }
    void RefuseWritesOf(int number, bool on = true);
    void RefuseNextWrites(int count) { refuseNextWrites_ = count; }
    void FailReads(bool on) { failReads_ = on; }
    // Refuses the reads of parameter `number` (bits 0 to 7 of the identifier): every read of
    // it, or with a row only that row of a table.
    void RefuseReadsOf(int number, int row = -1, bool on = true);
    void DropLink() { dropped_ = true; }
    void RestoreLink() { dropped_ = false; }
    void SetBatteryLow(bool low) { batteryLow_ = low; }

    // Test helpers: direct access to the memory, bypassing the request checks
    // (only the element's range is kept) and the faults.
    int32_t StoredElement(int number, int index = 0) const { return store_.Get(number, index); }
    bool StoreElement(int number, int index, int32_t value) { return store_.Set(number, index, value); }
    ParamStore& store() { return store_; }
    EngineModel& engine() { return engine_; }
    LiveTail liveTail() const;

    // Requests received since construction or ResetCounts (Open, Close and
    // Alive are not requests).
    int RequestCount() const { return reads_ + writes_ + others_; }
    int ReadCount() const { return reads_; }
    int WriteCount() const { return writes_; }
    void ResetCounts() { reads_ = writes_ = others_ = 0; }

    // The last image programmed, null before any.
    const FirmwareImage* Firmware() const { return firmware_.get(); }

private:
    bool ReadAllowed();
    bool ReadRefused(int32_t id, int32_t row) const;
    bool WriteAllowed(int32_t id);
    void AnswerReadyStatus();

    SimConfig config_;
    ParamStore store_;
    EngineModel engine_;
    std::unique_ptr<FirmwareImage> firmware_;

    int readyPolls_ = 0;
    bool dropped_ = false;
    bool failReads_ = false;
    bool refuseAllWrites_ = false;
    int refuseNextWrites_ = 0;
    std::set<int> refusedParams_;
    std::set<std::pair<int, int>> refusedReads_; // parameter number, row (-1 every read)
    bool batteryLow_ = false;

    int reads_ = 0;
    int writes_ = 0;
    int others_ = 0;
};

} // namespace sernox
