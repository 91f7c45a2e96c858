#pragma once
// Qt's own texts (standard buttons, file dialogs) in the program's language.

#include <QString>

namespace vapora {

// The locale name of a dictionary language column ("ITALIANO" -> "it").
QString LocaleOfLanguageColumn(const QString& column);
// Replaces Qt's translation with the one for the column's language; English,
// Qt's own, needs none. False when a needed translation is not installed.
bool UseQtTranslations(const QString& languageColumn);

} // namespace vapora
