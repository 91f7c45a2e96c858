// The S-record checker on any text: an accepted file describes an image whose
// segments are in order, apart and within the address space; writing that
// image as S-records again is accepted and gives the same image; and the
// simulated unit programs an accepted file without fault.

#include "fuzz/FuzzSupport.h"
#include "sim/SRecord.h"
#include "sim/SimUnit.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

using namespace sernox;

namespace {

void AppendRecord(std::string& out, char type, uint32_t address, int addressBytes, const uint8_t* data, size_t size)
{
    const size_t count = static_cast<size_t>(addressBytes) + size + 1;
    unsigned sum = static_cast<unsigned>(count);
    char hex[3];
    out += 'S';
    out += type;
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(count));
    out += hex;
    for (int i = addressBytes - 1; i >= 0; --i) {
        const unsigned byte = (address >> (8 * i)) & 0xFF;
        sum += byte;
        std::snprintf(hex, sizeof hex, "%02X", byte);
        out += hex;
    }
    for (size_t i = 0; i < size; ++i) {
        sum += data[i];
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        out += hex;
    }
    std::snprintf(hex, sizeof hex, "%02X", ~sum & 0xFF);
    out += hex;
    out += "\r\n";
}

std::string Write(const FirmwareImage& image)
{
    std::string out;
    if (!image.header.empty()) {
        const size_t length = std::min<size_t>(image.header.size(), 250);
        AppendRecord(out, '0', 0, 2, reinterpret_cast<const uint8_t*>(image.header.data()), length);
    }
    for (const FirmwareSegment& segment : image.segments)
        for (size_t at = 0; at < segment.bytes.size(); at += 32)
            AppendRecord(out, '3', segment.address + static_cast<uint32_t>(at), 4, segment.bytes.data() + at,
                         std::min<size_t>(32, segment.bytes.size() - at));
    AppendRecord(out, '7', image.entry, 4, nullptr, 0);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SRecordResult result = ParseSRecords(text);
    if (!result.ok) {
        FUZZ_CHECK(!result.error.empty());
    } else {
        uint64_t end = 0;
        for (size_t i = 0; i < result.image.segments.size(); ++i) {
            const FirmwareSegment& s = result.image.segments[i];
            FUZZ_CHECK(!s.bytes.empty());
            FUZZ_CHECK(i == 0 || s.address > end); // contiguous data is one segment
            end = uint64_t{s.address} + s.bytes.size();
            FUZZ_CHECK(end <= uint64_t{1} << 32);
        }
        const std::string again = Write(result.image);
        const SRecordResult reread = ParseSRecords(again);
        FUZZ_CHECK(reread.ok);
        FUZZ_CHECK(reread.image.entry == result.image.entry);
        FUZZ_CHECK(reread.image.segments.size() == result.image.segments.size());
        for (size_t i = 0; i < result.image.segments.size(); ++i) {
            FUZZ_CHECK(reread.image.segments[i].address == result.image.segments[i].address);
            FUZZ_CHECK(reread.image.segments[i].bytes == result.image.segments[i].bytes);
        }
    }
    SimUnit unit;
    FUZZ_CHECK(unit.Open());
    int lastPercent = -1;
    const int32_t programmed = unit.Program(std::string(text), [&](int32_t percent) {
        FUZZ_CHECK(percent > lastPercent && percent <= 100);
        lastPercent = percent;
    });
    FUZZ_CHECK(programmed == (result.ok ? 0 : 2));
    if (result.ok)
        FUZZ_CHECK(lastPercent == 100);
    return 0;
}
