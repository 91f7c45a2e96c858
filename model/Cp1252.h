#pragma once
// Windows-1252, the code page of every text in the files and the dictionary
// (they come from Windows installations). Bytes 0x80..0x9F are the only ones
// that differ from Latin-1; the five the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value.

#include <cstdint>
#include <string>
#include <string_view>

namespace vapora {

char16_t Cp1252ToUnicode(uint8_t byte);
// -1 when the code page has no byte for the character.
int UnicodeToCp1252(char16_t c);

// For terminals.
std::string Cp1252ToUtf8(std::string_view bytes);

} // namespace vapora
