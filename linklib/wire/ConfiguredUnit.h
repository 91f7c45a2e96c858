#pragma once
// The unit the link setting names, looked up again each time the link opens:
// a port chosen while the program runs is used at the next connection. While
// the setting stays the same the unit stays the same (the simulated unit keeps
// what was written to it).

#include "Unit.h"

#include <functional>
#include <memory>
#include <string>

namespace sernox::wire {

class ConfiguredUnit final : public Unit {
public:
    using Resolve = std::function<std::string()>;
    using Make = std::function<std::unique_ptr<Unit>(const std::string& setting)>;

    ConfiguredUnit(Resolve resolve, Make make);

    const std::string& Setting() const { return setting_; }

    bool Open() override;
    void Close() override { unit_->Close(); }
    bool Identify(uint8_t idBytes[4]) override { return unit_->Identify(idBytes); }
    bool StatusFlags(uint8_t& flags) override { return unit_->StatusFlags(flags); }
    bool ReadValue(int32_t id, int32_t& value) override { return unit_->ReadValue(id, value); }
    bool ReadBlock(int32_t id, std::vector<int32_t>& out) override { return unit_->ReadBlock(id, out); }
    bool ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out) override { return unit_->ReadRow(id, row, out); }
    bool WriteValue(int32_t id, int32_t value) override { return unit_->WriteValue(id, value); }
    bool WriteElement(int32_t id, int32_t index, int32_t value) override
    {
        return unit_->WriteElement(id, index, value);
    }
    bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) override
    {
        return unit_->WriteCell(id, row, column, value);
    }
    bool WriteBlock(int32_t id, const std::vector<int32_t>& values) override { return unit_->WriteBlock(id, values); }
    bool WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values) override
    {
        return unit_->WriteRow(id, row, values);
    }
    bool ReadLive(int32_t block, std::vector<uint8_t>& out) override { return unit_->ReadLive(block, out); }
    int32_t Program(const std::string& srecordText, const std::function<void(int32_t)>& progress) override
    {
        return unit_->Program(srecordText, progress);
    }
    bool Alive() override { return unit_->Alive(); }

private:
    Resolve resolve_;
    Make make_;
    std::string setting_;
    std::unique_ptr<Unit> unit_;
};

} // namespace sernox::wire
