#pragma once
// A unit at the far end of a serial line, spoken to with the wire protocol.
// A refusal is an answer; only a unit that stays silent (or a port that
// fails) counts as gone, and then Alive() turns false until the next Open.

#include "Channel.h"
#include "Unit.h"
#include "WireClient.h"

#include <memory>

namespace sernox::wire {

class SerialUnit final : public Unit {
public:
    SerialUnit(std::unique_ptr<Channel> channel, const WireTiming& timing);
    ~SerialUnit() override;

    bool Open() override;
    void Close() override;
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
    int32_t Program(const std::string& srecordText, const std::function<void(int32_t)>& progress) override;
    bool Alive() override { return alive_; }

    const WireClient& client() const { return client_; }

private:
    bool Ask(uint8_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer);
    bool Tell(uint8_t command, const std::vector<uint8_t>& payload);
    bool ReadElements(uint8_t command, int32_t id, const std::vector<uint8_t>& payload, std::vector<int32_t>& out);
    bool WriteElements(uint8_t command, int32_t id, int32_t row, const std::vector<int32_t>& values);
    bool SendFirmware(const std::string& text, const std::function<void(int32_t)>& progress);

    std::unique_ptr<Channel> channel_;
    WireClient client_;
    bool alive_ = false;
    uint32_t sessions_ = 0;
};

} // namespace sernox::wire
