#pragma once
// Writes a dictionary table as a dBase file: character columns, texts in
// Windows-1252. Used by the installation-data generator and by test fixtures.

#include <QList>
#include <QString>
#include <QStringList>

namespace vapora {

constexpr int kDictionaryFieldWidth = 254;

// columns: field names (the key column first, at most 10 ASCII characters each).
// rows: one text per column, the key first; keys must be unique and not empty.
// Fails, leaving any existing file in place, when a name, a row or a text does
// not fit; error (when given) then says which.
bool WriteDictionary(const QString& path, const QStringList& columns, const QList<QStringList>& rows,
                     QString* error = nullptr, int fieldWidth = kDictionaryFieldWidth);

} // namespace vapora
