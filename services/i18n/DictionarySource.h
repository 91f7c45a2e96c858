#pragma once
// The dictionary's readable source: a UTF-8 text table, tab-separated, with a
// header line naming the columns (key column first, then one per language).
// Blank lines and lines starting with '#' are skipped. In a text, "\n" stands
// for a line break, "\t" for a tab and "\\" for a backslash.

#include <QList>
#include <QString>
#include <QStringList>

namespace vapora {

struct DictionarySource {
    QStringList columns;
    QList<QStringList> rows;
};

// False with error "file:line: what" on a malformed table (wrong number of
// fields, empty or repeated key, unknown escape, invalid UTF-8).
bool ReadDictionarySource(const QString& path, DictionarySource* out, QString* error = nullptr);

// Source table -> dBase file; what the generator tool does.
bool MakeDictionary(const QString& sourcePath, const QString& tablePath, QString* error = nullptr);

// Several source tables with the same columns -> one dBase file. The main
// table comes first; a key that an earlier table already has is skipped, so
// windows sharing a control name (ButtonOk) keep one text.
bool MakeDictionary(const QStringList& sourcePaths, const QString& tablePath, QString* error = nullptr);

} // namespace vapora
