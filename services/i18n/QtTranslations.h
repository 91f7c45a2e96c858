#pragma once
// Qt's own texts (standard buttons, file dialogs) in the program's language.

#include <QHash>
#include <QLocale>
#include <QString>

#include <vector>

namespace vapora {

// The locale name of a dictionary language column ("ITALIANO" -> "it").
QString LocaleOfLanguageColumn(const QString& column);

// Texts Qt shows in its dialogs that its own translations lack: each by Qt's
// context and English source text, with the dictionary key the program
// supplies it under.
struct SuppliedQtText {
    const char* context;
    const char* source;
    const char* key;
};
const std::vector<SuppliedQtText>& SuppliedQtTexts();

// Replaces Qt's translation with the one for the column's language; English,
// Qt's own, needs none. supplied holds the dictionary's texts of the
// SuppliedQtTexts keys in that language (key -> text). False when a needed
// translation is not installed.
bool UseQtTranslations(const QString& languageColumn, const QHash<QString, QString>& supplied = {});

// The locale of the chosen language: dates and sizes that Qt formats by itself
// follow the program, not the system. The system's until a language is chosen.
QLocale ProgramLocale();

} // namespace vapora
