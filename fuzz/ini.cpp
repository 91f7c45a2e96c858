// The INI object on any text: values written are read back as written (one
// line, nothing trimmed away), and the text it writes reads again as the same
// object, down to the last byte of its text.

#include "fuzz/FuzzSupport.h"
#include "model/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace vapora;

namespace {

// Section and key names as the program writes them: letters, digits, blanks
// inside, '-' and '_'. Values are any bytes.
std::string Name(FuzzedDataProvider& in)
{
    static constexpr std::string_view kChars = "aAbBcCdDeE019 -_";
    std::string name(1, 'k');
    const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < length; ++i)
        name += kChars[in.ConsumeIntegralInRange<std::size_t>(0, kChars.size() - 1)];
    return name;
}

// Names as lookups see them: without outer blanks, letters in lower case.
std::string Folded(std::string name)
{
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return name;
}

std::string OneLine(std::string value)
{
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::size_t writes = in.ConsumeIntegralInRange<std::size_t>(0, 8);
    struct Written {
        std::string section, key, value;
    };
    std::vector<Written> plan;
    for (std::size_t i = 0; i < writes; ++i) {
        Written w{Name(in), Name(in), in.ConsumeRandomLengthString(40)};
        plan.push_back(std::move(w));
    }
    IniFile ini = IniFile::FromText(in.ConsumeRemainingBytesAsString());

    // Reading twice from the same text gives the same object.
    const std::string first = ini.Text();
    FUZZ_CHECK(IniFile::FromText(first).Text() == first);

    std::vector<Written> expected;
    for (const Written& w : plan) {
        ini.WriteString(w.section, w.key, w.value);
        FUZZ_CHECK(ini.KeyExists(w.section, w.key));
        FUZZ_CHECK(ini.ReadString(w.section, w.key, "\x01") == OneLine(w.value));
        // A later write of the same key (names compare without regard to case) replaces it.
        std::erase_if(expected, [&](const Written& e) {
            return Folded(e.section) == Folded(w.section) && Folded(e.key) == Folded(w.key);
        });
        expected.push_back(w);
    }
    const std::string text = ini.Text();
    const IniFile again = IniFile::FromText(text);
    FUZZ_CHECK(again.Text() == text);
    for (const Written& w : expected) {
        FUZZ_CHECK(ini.ReadString(w.section, w.key, "\x01") == OneLine(w.value));
        FUZZ_CHECK(again.ReadString(w.section, w.key, "\x01") == OneLine(w.value));
    }
    return 0;
}
