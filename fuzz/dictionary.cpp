// The dictionary table reader on any file: it fails cleanly or gives a table
// keyed by its first column, one text per language column; a table it read,
// written again, reads back the same.

#include "fuzz/FuzzSupport.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/DictionaryTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string_view>

using namespace vapora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString file = QString::fromStdString(fuzz::PathOf("DizVapora.dbf"));
    static const QString copy = QString::fromStdString(fuzz::PathOf("Copy.dbf"));
    fuzz::FileWith("DizVapora.dbf", std::string_view(reinterpret_cast<const char*>(data), size));

    DictionaryTable table;
    QString error;
    if (!ReadDictionaryTable(file, &table, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!table.columns.isEmpty());
    FUZZ_CHECK(table.columns.first().compare(u"IDENTIF", Qt::CaseInsensitive) == 0);
    QList<QStringList> rows;
    for (auto it = table.texts.cbegin(); it != table.texts.cend(); ++it) {
        FUZZ_CHECK(!it.key().isEmpty());
        FUZZ_CHECK(it.value().size() == table.columns.size() - 1);
        rows.append(QStringList{it.key()} + it.value());
    }
    // Field names the writer takes (it refuses some a damaged table may carry).
    if (!WriteDictionary(copy, table.columns, rows, &error))
        return 0;
    DictionaryTable again;
    FUZZ_CHECK(ReadDictionaryTable(copy, &again, &error));
    FUZZ_CHECK(again.columns == table.columns);
    FUZZ_CHECK(again.texts == table.texts);
    return 0;
}
