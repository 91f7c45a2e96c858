#include "Protocol.h"

namespace sernox::wire {

namespace {
constexpr int32_t kIdWord = 0x200;
constexpr int32_t kIdSigned = 0x400;
} // namespace

Writer& Writer::U8(uint32_t v)
{
    bytes_.push_back(static_cast<uint8_t>(v));
    return *this;
}

Writer& Writer::U16(uint32_t v)
{
    return U8(v).U8(v >> 8);
}

Writer& Writer::U32(uint32_t v)
{
    return U16(v).U16(v >> 16);
}

Writer& Writer::Bytes(const uint8_t* data, size_t size)
{
    bytes_.insert(bytes_.end(), data, data + size);
    return *this;
}

bool Reader::U8(uint32_t& v)
{
    if (Left() < 1)
        return false;
    v = bytes_[pos_++];
    return true;
}

bool Reader::U16(uint32_t& v)
{
    uint32_t lo = 0, hi = 0;
    if (Left() < 2 || !U8(lo) || !U8(hi))
        return false;
    v = lo | (hi << 8);
    return true;
}

bool Reader::U32(uint32_t& v)
{
    uint32_t lo = 0, hi = 0;
    if (Left() < 4 || !U16(lo) || !U16(hi))
        return false;
    v = lo | (hi << 16);
    return true;
}

bool Reader::I32(int32_t& v)
{
    uint32_t u = 0;
    if (!U32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool Reader::Skip(size_t n)
{
    if (Left() < n)
        return false;
    pos_ += n;
    return true;
}

size_t ElementWidth(int32_t id)
{
    return (id & kIdWord) ? 2 : 1;
}

bool PackElements(int32_t id, const std::vector<int32_t>& values, Writer& out)
{
    const size_t width = ElementWidth(id);
    const bool isSigned = (id & kIdSigned) != 0;
    const int32_t bits = static_cast<int32_t>(width * 8);
    const int32_t lo = isSigned ? -(1 << (bits - 1)) : 0;
    const int32_t hi = isSigned ? (1 << (bits - 1)) - 1 : (1 << bits) - 1;
    for (int32_t v : values) {
        if (v < lo || v > hi)
            return false;
        if (width == 2)
            out.U16(static_cast<uint32_t>(v));
        else
            out.U8(static_cast<uint32_t>(v));
    }
    return true;
}

std::optional<std::vector<int32_t>> UnpackElements(int32_t id, const uint8_t* data, size_t size)
{
    const size_t width = ElementWidth(id);
    if (size % width != 0)
        return std::nullopt;
    const bool isSigned = (id & kIdSigned) != 0;
    std::vector<int32_t> values;
    values.reserve(size / width);
    for (size_t i = 0; i < size; i += width) {
        if (width == 2) {
            const uint16_t u = static_cast<uint16_t>(data[i] | (data[i + 1] << 8));
            values.push_back(isSigned ? static_cast<int16_t>(u) : u);
        } else {
            values.push_back(isSigned ? static_cast<int8_t>(data[i]) : data[i]);
        }
    }
    return values;
}

} // namespace sernox::wire
