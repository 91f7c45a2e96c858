#include "services/i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace vapora {

QString LocaleOfLanguageColumn(const QString& column)
{
    static const struct {
        const char* column;
        const char* locale;
    } known[] = {{"ITALIANO", "it"}, {"ENGLISH", "en"}, {"INGLESE", "en"},  {"FRANCAIS", "fr"}, {"FRANCESE", "fr"},
                 {"DEUTSCH", "de"},  {"TEDESCO", "de"}, {"ESPANOL", "es"},  {"SPAGNOLO", "es"}, {"POLSKI", "pl"},
                 {"POLACCO", "pl"}};
    const QString upper = column.trimmed().toUpper();
    for (const auto& k : known)
        if (upper == QLatin1String(k.column))
            return QString::fromLatin1(k.locale);
    return upper.left(2).toLower();
}

bool UseQtTranslations(const QString& languageColumn)
{
    static QPointer<QTranslator> installed;
    if (QCoreApplication::instance() == nullptr)
        return false;
    if (installed != nullptr) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }
    const QString locale = LocaleOfLanguageColumn(languageColumn);
    if (locale == QLatin1String("en") || locale.isEmpty())
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace vapora
