#pragma once
// The client's byte stream to the unit (a serial port in the library).

#include <cstddef>
#include <cstdint>

namespace sernox::wire {

class Channel {
public:
    virtual ~Channel() = default;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Every byte handed over, or false when the stream failed.
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    // Bytes read (> 0), 0 when none came within timeoutMs, < 0 when the stream failed.
    virtual int Read(uint8_t* buffer, size_t capacity, int timeoutMs) = 0;
};

} // namespace sernox::wire
