#include "services/i18n/DictionarySource.h"

#include "services/i18n/DbfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QHash>
#include <QStringDecoder>

namespace vapora {
namespace {

bool Unescape(const QString& field, QString* out)
{
    out->clear();
    out->reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\') {
            out->append(field[i]);
            continue;
        }
        if (++i == field.size())
            return false;
        switch (field[i].unicode()) {
        case u'n': out->append(u'\n'); break;
        case u't': out->append(u'\t'); break;
        case u'\\': out->append(u'\\'); break;
        default: return false;
        }
    }
    return true;
}

} // namespace

bool ReadDictionarySource(const QString& path, DictionarySource* out, QString* error)
{
    const QString where = QFileInfo(path).fileName();
    auto fail = [&](int line, const QString& what) {
        if (error)
            *error = line > 0 ? QStringLiteral("%1:%2: %3").arg(where).arg(line).arg(what)
                              : QStringLiteral("%1: %2").arg(where, what);
        return false;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(0, file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(file.readAll());
    if (utf8.hasError())
        return fail(0, QStringLiteral("not valid UTF-8"));

    DictionarySource table;
    QHash<QString, int> firstLine;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n + 1);
        QString line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (table.columns.isEmpty()) {
            table.columns = fields;
            continue;
        }
        if (fields.size() != table.columns.size())
            return fail(lineNo, QStringLiteral("%1 fields, expected %2").arg(fields.size()).arg(table.columns.size()));
        QStringList row;
        for (const QString& f : fields) {
            QString t;
            if (!Unescape(f, &t))
                return fail(lineNo, QStringLiteral("unknown escape in \"%1\"").arg(f));
            row << t;
        }
        if (row.first().isEmpty())
            return fail(lineNo, QStringLiteral("empty key"));
        if (firstLine.contains(row.first()))
            return fail(lineNo,
                        QStringLiteral("key \"%1\" already on line %2").arg(row.first()).arg(firstLine[row.first()]));
        firstLine.insert(row.first(), lineNo);
        table.rows << row;
    }
    if (table.columns.isEmpty())
        return fail(0, QStringLiteral("no header line"));
    *out = table;
    return true;
}

bool MakeDictionary(const QString& sourcePath, const QString& tablePath, QString* error)
{
    return MakeDictionary(QStringList{sourcePath}, tablePath, error);
}

bool MakeDictionary(const QStringList& sourcePaths, const QString& tablePath, QString* error)
{
    DictionarySource merged;
    QSet<QString> keys;
    for (const QString& path : sourcePaths) {
        DictionarySource table;
        if (!ReadDictionarySource(path, &table, error))
            return false;
        if (merged.columns.isEmpty()) {
            merged.columns = table.columns;
        } else if (table.columns != merged.columns) {
            if (error)
                *error = QStringLiteral("%1: columns differ from the first table").arg(QFileInfo(path).fileName());
            return false;
        }
        for (const QStringList& row : table.rows)
            if (!keys.contains(row.first())) {
                keys.insert(row.first());
                merged.rows.append(row);
            }
    }
    QString why;
    if (!WriteDictionary(tablePath, merged.columns, merged.rows, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QFileInfo(sourcePaths.value(0)).fileName(), why);
        return false;
    }
    return true;
}

} // namespace vapora
