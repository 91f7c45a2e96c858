#pragma once
// Reading the dictionary's dBase table into memory: the column names and, per
// key (first column "IDENTIF"), one text per further column. Kept apart from
// the dictionary module so it can be exercised without windows.

#include <QHash>
#include <QString>
#include <QStringList>

#include <shapefil.h>

namespace vapora {

struct DictionaryTable {
    QStringList columns;
    QHash<QString, QStringList> texts; // key -> one text per language column
};

// The table opened for reading, or null with error (when given) saying why.
DBFHandle OpenDictionaryTable(const QString& path, QString* error);

// False with error (when given) on a table that cannot be read, lacks the key
// column or is damaged; the first row of a key wins, empty keys are skipped.
bool ReadDictionaryTable(const QString& path, DictionaryTable* table, QString* error);

} // namespace vapora
