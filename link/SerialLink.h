#pragma once
// The link object made by the link library "SerNoxDL". The virtual functions
// sit at the library's slot numbers (the reserved ones fill the gaps), so a
// library built elsewhere with the same layout can replace ours.

#include <cstdint>

namespace vapora {

// Observer the program attaches to the link. The link posts the state message
// through it (0 link down, 1 link up, 3 reconnect without reloading) and sends
// progress while it programs firmware (amount, add = 1 adds, 0 sets).
class LinkScreen {
public:
    virtual void PostState(int32_t state) = 0;
    virtual void SendProgress(int32_t amount, int32_t add) = 0;

protected:
    ~LinkScreen() = default;
};

constexpr int32_t kLiveBufferSize = 20;

class SerialLink {
public:
    virtual void Reserved0() {}
    virtual void Reserved1() {}
    virtual void Init(int32_t mode) = 0;                       // slot 2
    virtual void Reserved3() {}
    virtual void Configure(int32_t option) = 0;                // slot 4
    virtual void Reserved5() {}
    virtual void Reserved6() {}
    virtual void Reserved7() {}
    virtual void Reserved8() {}
    virtual void AttachScreen(LinkScreen* screen) = 0;         // slot 9
    virtual void Reserved10() {}
    virtual void Reserved11() {}
    virtual void Reserved12() {}
    virtual void Reserved13() {}
    virtual void Reserved14() {}
    virtual void Reserved15() {}
    virtual void Reserved16() {}
    virtual int32_t IsConnected() = 0;                         // slot 17
    virtual void Connect() = 0;                                // slot 18
    virtual void Disconnect() = 0;                             // slot 19
    virtual uint8_t GetStatusFlags() = 0;                      // slot 20
    virtual void Reserved21() {}
    virtual void Reserved22() {}
    virtual void EndProgramming() = 0;                         // slot 23
    virtual void BeginProgramming() = 0;                       // slot 24
    virtual void Reserved25() {}
    virtual void Reserved26() {}
    virtual void Reserved27() {}
    virtual void Reserved28() {}
    // Reads fill the destination only on success; a failed read leaves it untouched.
    virtual bool ReadParam(int32_t id, int32_t* dest) = 0;                 // slot 29
    virtual bool ReadParamRow(int32_t id, int32_t* dest, int32_t row) = 0; // slot 30
    // block 0 engine, 1 status; *length is the buffer's capacity in, bytes delivered out.
    virtual bool ReadLive(int32_t block, uint8_t* buffer, int32_t* length) = 0; // slot 31
    virtual bool WriteParam(int32_t id, const int32_t* source) = 0;       // slot 32
    virtual bool WriteValue(int32_t id, int32_t value) = 0;               // slot 33
    virtual bool WriteElement(int32_t id, int32_t index, int32_t value) = 0; // slot 34
    virtual bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) = 0; // slot 35
    virtual bool WriteParamRow(int32_t id, const int32_t* source, int32_t row) = 0; // slot 36
    virtual void Reserved37() {}
    virtual bool Identify(uint8_t* idBytes) = 0;               // slot 38, four bytes
    virtual bool OpenLink() = 0;                               // slot 39
    virtual void Reserved40() {}
    // 0 done, 1 battery voltage too low, anything else failed.
    virtual int32_t ProgramFirmware(const char* path, int32_t a, int32_t b, int32_t c) = 0; // slot 41

protected:
    // Only the library destroys its objects (_DestroyClassInstance).
    ~SerialLink() = default;
};

// The library's two exports.
using CreateClassInstanceFn = SerialLink* (*)();
using DestroyClassInstanceFn = void (*)(SerialLink*);

} // namespace vapora
