#pragma once
// Windows-1252 <-> QString. The dictionary and the files come from Windows
// installations; QStringConverter does not promise this code page everywhere.

#include <QString>

#include <string>
#include <string_view>

namespace vapora {

// Every byte maps to a character; the five bytes Windows leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value.
QString FromCp1252(std::string_view bytes);

// Characters the code page cannot hold become '?' and clear *ok.
std::string ToCp1252(const QString& text, bool* ok = nullptr);

} // namespace vapora
