#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vapora {

// First line of a codec file: the body that follows is scrambled / plain.
inline constexpr std::string_view kEncodedHeader = "EVMF";
inline constexpr std::string_view kPlainHeader = "DVMF";

// The key every file of the program is written with.
std::string BuildFileKey();

// XORs each byte with the key byte of its position shifted left by (position mod 5) bits.
// Applying it twice gives the bytes back. An empty key means the default key.
std::string ScrambleBytes(std::string_view body, std::string_view key);

// The whole codec on bytes in memory. With header, a source already starting with the wanted
// header ("DVMF" when decoding, "EVMF" when encoding) comes back unchanged; one starting with
// the other header loses it; anything else is body. The result then gets the wanted header
// line. An empty key means the default key.
std::string CryptBytes(std::string_view source, bool decode, bool withHeader, std::string_view key);

// Runs the codec from file to file. False when both paths name the same file (however they
// are spelled), the source cannot be read or the target cannot be written; the target is
// replaced only on success. A null or empty key means the default key.
bool CryptFile(const std::filesystem::path& source, const std::filesystem::path& target, bool decode,
               bool withHeader, const char* key = nullptr);

// True when the two paths lead to the same file, or would once it exists.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace vapora
