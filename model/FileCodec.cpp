#include "model/FileCodec.h"

#include "model/SafeFile.h"

#include <array>
#include <cstdint>

namespace vapora {

namespace fs = std::filesystem;

namespace {

// Each byte is the step from the previous key character; the running sum reaches zero at the
// twelfth byte, giving an 11-character key. The first character, used unshifted on the first
// body byte, turns the '[' that starts every INI text into '6', so an encoded body never
// begins with a blank or a line end that an older reader would skip after the header.
constexpr std::array<std::uint8_t, 12> kKeyTable = {0x6D, 0x56, 0x64, 0x73, 0xB4, 0x63,
                                                     0xC4, 0x73, 0x2A, 0x9D, 0xAD, 0xA4};
constexpr std::size_t kMaxHeaderToken = 10;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsSpace(char c)
{
    return IsBlank(c) || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::string BuildFileKey()
{
    // Each next character is the previous one plus the next table byte; a zero ends the key.
    std::string key;
    std::uint8_t c = 0;
    for (std::size_t i = 0; i < kKeyTable.size(); ++i) {
        c = static_cast<std::uint8_t>(c + kKeyTable[i]);
        if (c == 0)
            break;
        key += static_cast<char>(c);
    }
    return key;
}

std::string ScrambleBytes(std::string_view body, std::string_view key)
{
    const std::string defaultKey = key.empty() ? BuildFileKey() : std::string();
    if (key.empty())
        key = defaultKey;
    std::string out(body);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto k = static_cast<std::uint8_t>(key[i % key.size()]);
        out[i] = static_cast<char>(static_cast<std::uint8_t>(out[i]) ^ static_cast<std::uint8_t>(k << (i % 5)));
    }
    return out;
}

std::string CryptBytes(std::string_view source, bool decode, bool withHeader, std::string_view key)
{
    if (!withHeader)
        return ScrambleBytes(source, key);

    const std::string_view wanted = decode ? kPlainHeader : kEncodedHeader;
    const std::string_view other = decode ? kEncodedHeader : kPlainHeader;

    std::size_t tokenEnd = 0;
    while (tokenEnd < source.size() && tokenEnd < kMaxHeaderToken && !IsSpace(source[tokenEnd]))
        ++tokenEnd;
    const std::string_view token = source.substr(0, tokenEnd);

    if (token == wanted)
        return std::string(source);

    std::size_t bodyStart = 0;
    if (token == other) {
        // Only what is left of the header's own line goes: the body's first bytes may be
        // scrambled blanks or line ends and belong to the data.
        bodyStart = tokenEnd;
        while (bodyStart < source.size() && IsBlank(source[bodyStart]))
            ++bodyStart;
        if (source.substr(bodyStart, 2) == "\r\n")
            bodyStart += 2;
        else if (source.substr(bodyStart, 1) == "\n")
            bodyStart += 1;
    }

    std::string out(wanted);
    out += "\r\n";
    out += ScrambleBytes(source.substr(bodyStart), key);
    return out;
}

bool SameFile(const fs::path& a, const fs::path& b)
{
    if (a == b || a.native() == b.native())
        return true;
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    std::error_code ecA, ecB;
    const fs::path canonicalA = fs::weakly_canonical(fs::absolute(a, ecA), ecA);
    const fs::path canonicalB = fs::weakly_canonical(fs::absolute(b, ecB), ecB);
    return !ecA && !ecB && canonicalA == canonicalB;
}

bool CryptFile(const fs::path& source, const fs::path& target, bool decode, bool withHeader, const char* key)
{
    // Writing over the source would destroy it before it is read.
    if (SameFile(source, target))
        return false;
    std::string bytes;
    if (!ReadFileBytes(source, bytes))
        return false;
    return WriteFileReplacing(target, CryptBytes(bytes, decode, withHeader, key ? key : ""));
}

}  // namespace vapora
