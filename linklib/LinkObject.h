#pragma once
// The link object the library hands to the program: the program's side of
// the link, over one unit. It keeps the connection state, posts it to the
// program's screen, and shields the program from a unit that refuses or
// stops answering.

#include "Unit.h"
#include "link/SerialLink.h"

#include <memory>

namespace sernox {

class LinkObject final : public vapora::SerialLink {
public:
    // Over the simulated unit.
    LinkObject();
    explicit LinkObject(std::unique_ptr<Unit> unit);
    ~LinkObject();

    LinkObject(const LinkObject&) = delete;
    LinkObject& operator=(const LinkObject&) = delete;

    Unit& unit() { return *unit_; }
    int32_t mode() const { return mode_; }
    int32_t option() const { return option_; }
    bool programming() const { return programming_; }

    void Init(int32_t mode) override { mode_ = mode; }
    void Configure(int32_t option) override { option_ = option; }
    void AttachScreen(vapora::LinkScreen* screen) override { screen_ = screen; }

    int32_t IsConnected() override { return connected_ ? 1 : 0; }
    void Connect() override;
    void Disconnect() override;
    uint8_t GetStatusFlags() override;

    void EndProgramming() override { programming_ = false; }
    void BeginProgramming() override { programming_ = true; }

    bool ReadParam(int32_t id, int32_t* dest) override;
    bool ReadParamRow(int32_t id, int32_t* dest, int32_t row) override;
    bool ReadLive(int32_t block, uint8_t* buffer, int32_t* length) override;
    bool WriteParam(int32_t id, const int32_t* source) override;
    bool WriteValue(int32_t id, int32_t value) override;
    bool WriteElement(int32_t id, int32_t index, int32_t value) override;
    bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) override;
    bool WriteParamRow(int32_t id, const int32_t* source, int32_t row) override;

    bool Identify(uint8_t* idBytes) override;
    bool OpenLink() override;
    int32_t ProgramFirmware(const char* path, int32_t a, int32_t b, int32_t c) override;

private:
    bool Checked(bool ok);
    void LinkLost();
    void Post(int32_t state);
    bool CopyOut(const std::vector<int32_t>& values, int32_t id, int32_t* dest);

    std::unique_ptr<Unit> unit_;
    vapora::LinkScreen* screen_ = nullptr;
    bool connected_ = false;
    bool programming_ = false;
    int32_t mode_ = 0;
    int32_t option_ = 0;
};

} // namespace sernox
