// The file codec on bytes in memory: scrambling twice gives the bytes back, and
// decoding what was encoded gives the plain text under its header line.

#include "fuzz/FuzzSupport.h"
#include "model/FileCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

using namespace vapora;

namespace {

// The first word of a text, as far as the codec looks for a header.
std::string_view FirstToken(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && end < 10 && std::string_view(" \t\r\n\v\f").find(text[end]) == std::string_view::npos)
        ++end;
    return text.substr(0, end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string key = in.ConsumeBool() ? std::string() : in.ConsumeRandomLengthString(16);
    const std::string body = in.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(ScrambleBytes(ScrambleBytes(body, key), key) == body);
    FUZZ_CHECK(CryptBytes(CryptBytes(body, false, false, key), true, false, key) == body);

    const std::string encoded = CryptBytes(body, false, true, key);
    const std::string decoded = CryptBytes(encoded, true, true, key);
    const std::string_view token = FirstToken(body);
    if (token != kEncodedHeader && token != kPlainHeader) {
        FUZZ_CHECK(encoded.starts_with(std::string(kEncodedHeader) + "\r\n"));
        FUZZ_CHECK(decoded == std::string(kPlainHeader) + "\r\n" + body);
    }
    // Whatever the source, one more round changes nothing.
    FUZZ_CHECK(CryptBytes(CryptBytes(decoded, false, true, key), true, true, key) == decoded);
    // A header already in place is kept as it is.
    FUZZ_CHECK(CryptBytes(decoded, true, true, key) == decoded);
    FUZZ_CHECK(CryptBytes(encoded, false, true, key) == encoded);
    return 0;
}
