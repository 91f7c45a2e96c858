#include "services/i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace vapora {

namespace {

QLocale programLocale = QLocale::system();

// Answers only the texts the program supplies; Qt asks the next translator for the others.
class SuppliedTranslator final : public QTranslator {
public:
    explicit SuppliedTranslator(QHash<QString, QString> texts, QObject* parent)
        : QTranslator(parent), texts_(std::move(texts))
    {
    }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return texts_.value(Key(context, sourceText));
    }
    bool isEmpty() const override { return texts_.isEmpty(); }

    static QString Key(const char* context, const char* source)
    {
        return QString::fromLatin1(context) + u'\x1f' + QString::fromUtf8(source);
    }

private:
    QHash<QString, QString> texts_;
};

void Remove(QPointer<QTranslator>& translator)
{
    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator.data();
    }
}

} // namespace

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

const std::vector<SuppliedQtText>& SuppliedQtTexts()
{
    // The file dialog's type column; Qt 6 asks for them under a context its
    // translations do not carry yet.
    static const std::vector<SuppliedQtText> texts = {
        {"QAbstractFileIconProvider", "Folder", "QtCartella"},
        {"QAbstractFileIconProvider", "File Folder", "QtCartella"},
        {"QAbstractFileIconProvider", "Drive", "QtUnita"},
        {"QAbstractFileIconProvider", "File", "QtFile"},
        {"QAbstractFileIconProvider", "%1 File", "QtFileTipo"},
        {"QAbstractFileIconProvider", "Shortcut", "QtCollegamento"},
    };
    return texts;
}

bool UseQtTranslations(const QString& languageColumn, const QHash<QString, QString>& supplied)
{
    static QPointer<QTranslator> installed;
    static QPointer<QTranslator> own;
    if (QCoreApplication::instance() == nullptr)
        return false;
    Remove(own);
    Remove(installed);
    const QString locale = LocaleOfLanguageColumn(languageColumn);
    if (!locale.isEmpty())
        programLocale = QLocale(locale);
    if (locale == QLatin1String("en") || locale.isEmpty())
        return true;
    bool found = true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
        found = false;
    }
    QHash<QString, QString> texts;
    for (const SuppliedQtText& t : SuppliedQtTexts()) {
        const QString text = supplied.value(QString::fromLatin1(t.key));
        if (!text.isEmpty())
            texts.insert(SuppliedTranslator::Key(t.context, t.source), text);
    }
    if (!texts.isEmpty()) {
        // Installed last, asked first.
        own = new SuppliedTranslator(std::move(texts), QCoreApplication::instance());
        QCoreApplication::installTranslator(own);
    }
    return found;
}

QLocale ProgramLocale() { return programLocale; }

} // namespace vapora
