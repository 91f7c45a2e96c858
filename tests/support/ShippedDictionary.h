#pragma once
// The dictionary's text tables as the installation data is built from them:
// the main table first, then each window area's part in name order.

#include <QDir>
#include <QStringList>

namespace vapora::test {

inline QStringList ShippedDictionarySources(const QDir& data)
{
    QStringList sources{data.filePath(QStringLiteral("dictionary.txt"))};
    const QDir parts(data.filePath(QStringLiteral("dictionary.d")));
    for (const QString& part : parts.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        sources.append(parts.filePath(part));
    return sources;
}

} // namespace vapora::test
