#pragma once
// SHA-256 of a byte string, as the lowercase hex text `sha256sum` prints, so a
// manifest of checksums can be checked by hand with the system's own tool.

#include <string>
#include <string_view>

namespace vapora {

std::string Sha256Hex(std::string_view bytes);

} // namespace vapora
