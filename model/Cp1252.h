#pragma once
// Texts in configuration files are Windows-1252 bytes; terminals want UTF-8.

#include <string>
#include <string_view>

namespace vapora {

std::string Cp1252ToUtf8(std::string_view bytes);

} // namespace vapora
