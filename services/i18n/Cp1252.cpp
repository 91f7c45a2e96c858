#include "services/i18n/Cp1252.h"

#include "model/Cp1252.h"

namespace vapora {

QString FromCp1252(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char ch : bytes)
        out.append(QChar(Cp1252ToUnicode(static_cast<uint8_t>(ch))));
    return out;
}

std::string ToCp1252(const QString& text, bool* ok)
{
    bool allMapped = true;
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const int b = UnicodeToCp1252(c.unicode());
        if (b < 0)
            allMapped = false;
        out.push_back(static_cast<char>(b < 0 ? '?' : b));
    }
    if (ok)
        *ok = allMapped;
    return out;
}

} // namespace vapora
