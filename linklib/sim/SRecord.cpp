#include "SRecord.h"

#include <optional>

namespace sernox {

namespace {

struct Record {
    char type = 0;
    uint32_t address = 0;
    std::vector<uint8_t> data;
};

// Address bytes by record type, 0 for a type that does not exist.
int AddressLength(char type)
{
    switch (type) {
    case '0': case '1': case '5': case '9': return 2;
    case '2': case '6': case '8': return 3;
    case '3': case '7': return 4;
    default: return 0;
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool DecodeHex(std::string_view hex, std::vector<uint8_t>& bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

std::string_view Trimmed(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

// One line into a record; error text on failure.
std::optional<Record> ParseLine(std::string_view line, std::string& error)
{
    if (line.size() < 2 || line[0] != 'S') {
        error = "not an S-record";
        return std::nullopt;
    }
    const char type = line[1];
    const int addressLength = AddressLength(type);
    if (addressLength == 0) {
        error = "unknown record type";
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    if (!DecodeHex(line.substr(2), bytes)) {
        error = "bad hex";
        return std::nullopt;
    }
    if (bytes.empty() || bytes[0] + 1u != bytes.size() || bytes[0] < addressLength + 1) {
        error = "byte count does not match";
        return std::nullopt;
    }
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        sum += bytes[i];
    if (static_cast<uint8_t>(~sum) != bytes.back()) {
        error = "checksum";
        return std::nullopt;
    }
    Record record{type, 0, {}};
    for (int i = 0; i < addressLength; ++i)
        record.address = (record.address << 8) | bytes[1 + i];
    record.data.assign(bytes.begin() + 1 + addressLength, bytes.end() - 1);
    return record;
}

bool IsData(char type) { return type >= '1' && type <= '3'; }
bool IsCount(char type) { return type == '5' || type == '6'; }
bool IsTermination(char type) { return type >= '7' && type <= '9'; }

uint64_t AddressSpace(char type)
{
    return uint64_t{1} << (8 * AddressLength(type));
}

class Builder {
public:
    // Takes the next record in file order; false with error text when it does not fit.
    bool Add(const Record& record, std::string& error)
    {
        if (terminated_) {
            error = "record after the termination record";
            return false;
        }
        if (record.type == '0')
            return AddHeader(record, error);
        if (IsData(record.type))
            return AddData(record, error);
        if (IsCount(record.type))
            return CheckCount(record, error);
        if (!IsTermination(record.type)) {
            error = "unknown record type";
            return false;
        }
        terminated_ = true;
        image_.entry = record.address;
        return true;
    }

    bool terminated() const { return terminated_; }
    FirmwareImage& image() { return image_; }

private:
    bool AddHeader(const Record& record, std::string& error)
    {
        if (image_.dataRecords > 0) {
            error = "header after data";
            return false;
        }
        image_.header.assign(record.data.begin(), record.data.end());
        return true;
    }

    bool AddData(const Record& record, std::string& error)
    {
        const uint64_t end = uint64_t{record.address} + record.data.size();
        if (end > AddressSpace(record.type)) {
            error = "data beyond the address range";
            return false;
        }
        if (image_.dataRecords > 0 && record.address < nextAddress_) {
            error = "data overlaps or goes back";
            return false;
        }
        auto& segments = image_.segments;
        if (segments.empty() || record.address != nextAddress_)
            segments.push_back({record.address, {}});
        segments.back().bytes.insert(segments.back().bytes.end(), record.data.begin(), record.data.end());
        nextAddress_ = end;
        ++image_.dataRecords;
        return true;
    }

    bool CheckCount(const Record& record, std::string& error)
    {
        if (!record.data.empty() || record.address != static_cast<uint32_t>(image_.dataRecords)) {
            error = "record count does not match";
            return false;
        }
        return true;
    }

    FirmwareImage image_;
    uint64_t nextAddress_ = 0;
    bool terminated_ = false;
};

SRecordResult Fail(int line, std::string error)
{
    SRecordResult result;
    result.line = line;
    result.error = std::move(error);
    return result;
}

} // namespace

SRecordResult ParseSRecords(std::string_view text)
{
    Builder builder;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        if (line.empty())
            continue;
        std::string error;
        const auto record = ParseLine(line, error);
        if (!record || !builder.Add(*record, error))
            return Fail(lineNumber, error);
    }
    if (!builder.terminated())
        return Fail(lineNumber, "no termination record (file truncated)");
    if (builder.image().dataRecords == 0)
        return Fail(lineNumber, "no data");
    SRecordResult result;
    result.ok = true;
    result.image = std::move(builder.image());
    return result;
}

} // namespace sernox
