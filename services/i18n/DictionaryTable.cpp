#include "services/i18n/DictionaryTable.h"

#include "services/i18n/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace vapora {

namespace {

// shapelib reports its errors through a hook without a context pointer; the
// module is used from the UI thread only.
QString g_readerError;

void KeepReaderError(const char* message) { g_readerError = QString::fromLocal8Bit(message); }

} // namespace

DBFHandle OpenDictionaryTable(const QString& path, QString* error)
{
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = KeepReaderError;
    g_readerError.clear();
    DBFHandle dbf = DBFOpenLL(QFile::encodeName(path).constData(), "rb", &hooks);
    if (!dbf && error) {
        if (!g_readerError.isEmpty())
            *error = g_readerError;
        else if (!QFile::exists(path))
            *error = QStringLiteral("Table does not exist: %1").arg(QDir::toNativeSeparators(path));
        else
            *error = QStringLiteral("Cannot read table: %1").arg(QDir::toNativeSeparators(path));
    }
    return dbf;
}

bool ReadDictionaryTable(const QString& path, DictionaryTable* table, QString* error)
{
    DBFHandle dbf = OpenDictionaryTable(path, error);
    if (!dbf)
        return false;
    const int fields = DBFGetFieldCount(dbf);
    for (int f = 0; f < fields; ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(dbf, f, name, &width, &decimals);
        table->columns << QString::fromLatin1(name);
    }
    if (table->columns.isEmpty() || table->columns.first().compare(u"IDENTIF", Qt::CaseInsensitive) != 0) {
        DBFClose(dbf);
        if (error)
            *error = QStringLiteral("Field 'IDENTIF' not found in %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    // The header's record count is believed only as far as the file bears it
    // out: a damaged count would otherwise have the reader walk past the end
    // of the file for hours, one failed read per record.
    const int records = DBFGetRecordCount(dbf);
    const qint64 size = QFileInfo(path).size();
    const qint64 held = dbf->nRecordLength > 0 && size > dbf->nHeaderLength
                            ? (size - dbf->nHeaderLength) / dbf->nRecordLength
                            : 0;
    if (records < 0 || records > held) {
        DBFClose(dbf);
        if (error)
            *error = QStringLiteral("Damaged table: the header declares %1 records, the file holds %2: %3")
                         .arg(static_cast<unsigned>(records))
                         .arg(held)
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    g_readerError.clear();
    for (int r = 0; r < records; ++r) {
        if (DBFIsRecordDeleted(dbf, r))
            continue;
        const char* key = DBFReadStringAttribute(dbf, r, 0);
        if (!g_readerError.isEmpty()) { // a record the reader could not fetch
            DBFClose(dbf);
            if (error)
                *error = g_readerError;
            return false;
        }
        const QString k = FromCp1252(key ? std::string_view(key, std::strlen(key)) : std::string_view());
        if (k.isEmpty() || table->texts.contains(k)) // the first row of a key wins
            continue;
        QStringList texts;
        for (int f = 1; f < fields; ++f) {
            const char* t = DBFReadStringAttribute(dbf, r, f);
            texts << FromCp1252(t ? std::string_view(t, std::strlen(t)) : std::string_view());
        }
        table->texts.insert(k, texts);
    }
    DBFClose(dbf);
    return true;
}

} // namespace vapora
