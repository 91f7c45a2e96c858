#include "services/i18n/DbfWriter.h"

#include "services/i18n/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <shapefil.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vapora {
namespace {

// Windows ANSI (code page 1252) in the table header's language driver byte.
constexpr const char* kAnsiDriver = "LDID/87";

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool ValidFieldName(const QString& name)
{
    if (name.isEmpty() || name.size() > 10)
        return false;
    for (QChar c : name)
        if (c.unicode() > 0x7F || !(c.isLetterOrNumber() || c == u'_'))
            return false;
    return true;
}

} // namespace

bool WriteDictionary(const QString& path, const QStringList& columns, const QList<QStringList>& rows, QString* error,
                     int fieldWidth)
{
    if (columns.isEmpty())
        return Fail(error, QStringLiteral("no columns"));
    if (fieldWidth < 1 || fieldWidth > 254)
        return Fail(error, QStringLiteral("field width %1 outside 1..254").arg(fieldWidth));
    QSet<QString> names;
    for (const QString& c : columns) {
        // shapelib would cut a longer name silently.
        if (!ValidFieldName(c))
            return Fail(error, QStringLiteral("column name \"%1\" is not 1 to 10 letters, digits or _").arg(c));
        if (names.contains(c.toUpper()))
            return Fail(error, QStringLiteral("column \"%1\" appears twice").arg(c));
        names.insert(c.toUpper());
    }

    // Everything is checked before the file is touched.
    std::vector<std::vector<std::string>> encoded;
    encoded.reserve(static_cast<std::size_t>(rows.size()));
    QSet<QString> keys;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        if (row.size() != columns.size())
            return Fail(error, QStringLiteral("row %1: %2 texts, expected %3")
                                   .arg(r + 1)
                                   .arg(row.size())
                                   .arg(columns.size()));
        const QString& key = row.first();
        if (key.isEmpty())
            return Fail(error, QStringLiteral("row %1: empty key").arg(r + 1));
        if (keys.contains(key))
            return Fail(error, QStringLiteral("row %1: key \"%2\" appears twice").arg(r + 1).arg(key));
        keys.insert(key);
        std::vector<std::string> texts;
        for (qsizetype c = 0; c < row.size(); ++c) {
            bool ok = false;
            std::string bytes = ToCp1252(row[c], &ok);
            if (!ok)
                return Fail(error, QStringLiteral("key \"%1\", column %2: a character has no Windows-1252 code")
                                       .arg(key, columns[c]));
            if (static_cast<int>(bytes.size()) > fieldWidth)
                return Fail(error, QStringLiteral("key \"%1\", column %2: %3 bytes do not fit in %4")
                                       .arg(key, columns[c])
                                       .arg(bytes.size())
                                       .arg(fieldWidth));
            texts.push_back(std::move(bytes));
        }
        encoded.push_back(std::move(texts));
    }

    // shapelib replaces any extension by ".dbf", so the partial file ends in it too.
    const QFileInfo target(path);
    const QString partial = target.absoluteDir().filePath(QStringLiteral(".") + target.completeBaseName() +
                                                          QStringLiteral(".partial.dbf"));
    QFile::remove(partial);
    DBFHandle dbf = DBFCreateEx(QFile::encodeName(partial).constData(), kAnsiDriver);
    if (!dbf)
        return Fail(error, QStringLiteral("cannot create %1").arg(partial));
    bool written = true;
    for (const QString& c : columns)
        written = written && DBFAddField(dbf, c.toLatin1().constData(), FTString, fieldWidth, 0) >= 0;
    for (std::size_t r = 0; written && r < encoded.size(); ++r)
        for (std::size_t c = 0; written && c < encoded[r].size(); ++c)
            written = DBFWriteStringAttribute(dbf, static_cast<int>(r), static_cast<int>(c),
                                              encoded[r][c].c_str()) != 0;
    DBFClose(dbf);
    if (!written) {
        QFile::remove(partial);
        return Fail(error, QStringLiteral("cannot write %1").arg(partial));
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(partial).toStdString(), QFile::encodeName(path).toStdString(), ec);
    if (ec) {
        QFile::remove(partial);
        return Fail(error, QStringLiteral("cannot replace %1: %2").arg(path, QString::fromStdString(ec.message())));
    }
    return true;
}

} // namespace vapora
