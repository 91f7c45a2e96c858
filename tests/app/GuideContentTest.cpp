// The guide against the program it describes: its pages, links and pictures
// are whole in every language, and every text it quotes in double quotes is a
// text the program shows in that language, so a renamed caption or message
// breaks this test rather than the guide.
#include "app/GuideBook.h"
#include "app/HelpTopics.h"
#include "services/i18n/DictionarySource.h"
#include "support/ShippedDictionary.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

const QString kGuide = QStringLiteral(VAPORA_SOURCE_DIR "/docs/guide");
const QStringList kLanguages{QStringLiteral("it"), QStringLiteral("en")};
constexpr qint64 kPictureBudget = 8 * 1024 * 1024;

// A quote and a program text compare without access-key marks, runs of blanks
// and a closing colon.
QString Normal(QString text)
{
    text.remove(u'&');
    text = text.simplified();
    while (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

// The texts a reader may meet on screen in one language: the dictionary's
// column of that language (the first row of a key wins, as in the shipped
// table), the language menu's names of every language, and the texts the
// windows show the same in every language (literals of the program that are
// no Italian dictionary text). Each text also counts line by line.
struct ProgramTexts {
    QSet<QString> exact;
    QList<QRegularExpression> patterns; // texts with placeholders

    void Add(const QString& text)
    {
        QStringList forms{text, QString(text).replace(u'\n', u' ')};
        forms += text.split(u'\n');
        static const QRegularExpression placeholder(QStringLiteral("%[0-9ns]"));
        for (const QString& form : forms) {
            const QString n = Normal(form);
            if (n.isEmpty())
                continue;
            if (!n.contains(placeholder)) {
                exact.insert(n);
                continue;
            }
            // A placeholder stands for any text; a pattern needs words of its own to mean something.
            static const QRegularExpression letter(QStringLiteral("\\p{L}"));
            if (QString(n).remove(placeholder).count(letter) < 4)
                continue;
            QString pattern;
            qsizetype from = 0;
            auto it = placeholder.globalMatch(n);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                pattern += QRegularExpression::escape(n.mid(from, m.capturedStart() - from)) + QStringLiteral(".+");
                from = m.capturedEnd();
            }
            pattern += QRegularExpression::escape(n.mid(from));
            patterns.append(QRegularExpression(QRegularExpression::anchoredPattern(pattern)));
        }
    }

    bool Knows(const QString& quote) const
    {
        const QString n = Normal(quote);
        if (exact.contains(n))
            return true;
        for (const QRegularExpression& p : patterns)
            if (p.match(n).hasMatch())
                return true;
        return false;
    }
};

// String literals of the window code, adjacent ones joined as the compiler does.
QStringList WindowLiterals()
{
    static const QRegularExpression charLiteral(QStringLiteral("'(?:[^'\\\\\\n]|\\\\.)'"));
    static const QRegularExpression run(QStringLiteral("\"(?:[^\"\\\\\\n]|\\\\.)*\"(?:\\s*\"(?:[^\"\\\\\\n]|\\\\.)*\")*"));
    static const QRegularExpression piece(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    QStringList literals;
    for (const char* area : {"app", "editor", "files", "calib/forms", "widgets", "services"}) {
        QDirIterator it(QStringLiteral(VAPORA_SOURCE_DIR "/") + QLatin1String(area), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString code = QString::fromUtf8(file.readAll()).replace(charLiteral, QStringLiteral("' '"));
            auto runs = run.globalMatch(code);
            while (runs.hasNext()) {
                QString text;
                auto pieces = piece.globalMatch(runs.next().captured(0));
                while (pieces.hasNext())
                    text += pieces.next().captured(1);
                literals << text.replace(QStringLiteral("\\n"), QStringLiteral("\n")).replace(QStringLiteral("\\\""), QStringLiteral("\""));
            }
        }
    }
    return literals;
}

ProgramTexts TextsOf(int language)
{
    QHash<QString, QStringList> rows;
    for (const QString& path : ShippedDictionarySources(QDir(QStringLiteral(VAPORA_DATA_DIR)))) {
        DictionarySource source;
        EXPECT_TRUE(ReadDictionarySource(path, &source)) << path.toStdString();
        for (const QStringList& row : source.rows)
            if (!rows.contains(row.value(0)))
                rows.insert(row.value(0), row);
    }
    ProgramTexts texts;
    QSet<QString> italian;
    for (const QStringList& row : rows) {
        texts.Add(row.value(language + 1));
        italian.insert(row.value(1));
    }
    for (const QString& name : rows.value(QStringLiteral("MenuLingua")).mid(1))
        texts.Add(name);
    for (const QString& literal : WindowLiterals())
        if (!italian.contains(literal))
            texts.Add(literal);
    return texts;
}

GuideBook Book(const QString& language)
{
    const GuideBook book = GuideBook::Read(kGuide + u'/' + language);
    EXPECT_FALSE(book.IsEmpty()) << language.toStdString();
    return book;
}

QStringList Anchors(const GuidePage& page)
{
    QStringList anchors;
    for (const GuideHeading& h : page.headings)
        if (!h.anchor.isEmpty())
            anchors << h.anchor;
    return anchors;
}

// Pages, links, anchors and pictures: every page is in the contents, every
// link and picture leads somewhere, every picture is used, and the two
// languages have the same pages, anchors and pictures.
TEST(GuideContent, PagesLinksAndPicturesAreWholeInEveryLanguage)
{
    QMap<QString, QStringList> anchorsOf[2];
    QStringList picturesOf[2];
    qint64 pictureBytes = 0;
    for (int l = 0; l < kLanguages.size(); ++l) {
        const QString language = kLanguages[l];
        SCOPED_TRACE(language.toStdString());
        const GuideBook book = Book(language);
        const QDir folder(book.Folder());
        QStringList listed;
        for (const GuidePage& page : book.Pages())
            listed << page.file;
        for (const QString& file : folder.entryList({QStringLiteral("*.md")}, QDir::Files))
            EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not in the contents";

        QSet<QString> used;
        for (const GuidePage& page : book.Pages()) {
            const QStringList anchors = Anchors(page);
            anchorsOf[l].insert(page.file, anchors);
            EXPECT_EQ(anchors.size(), QSet<QString>(anchors.begin(), anchors.end()).size())
                << page.file.toStdString() << ": an anchor is named twice";
            for (const GuideHeading& h : page.headings)
                EXPECT_FALSE(h.text.contains(QRegularExpression(QStringLiteral("[`*_\\[]"))))
                    << page.file.toStdString() << ": a heading with marks, which the page shows plain: "
                    << h.text.toStdString();
            for (const markdown::Link& link : markdown::Links(page.markdown)) {
                const QString where = page.file + u':' + QString::number(link.line) + u' ' + link.target;
                if (link.image) {
                    EXPECT_TRUE(QFileInfo(folder.filePath(link.target)).isFile()) << where.toStdString();
                    used.insert(QDir::cleanPath(link.target));
                    continue;
                }
                if (link.target.contains(QLatin1String("://")))
                    continue;
                const QString file = link.target.section(u'#', 0, 0);
                const QString anchor = link.target.section(u'#', 1);
                const GuidePage* target = file.isEmpty() ? &page : book.Page(file);
                ASSERT_NE(target, nullptr) << where.toStdString() << ": no such page in the contents";
                if (!anchor.isEmpty()) {
                    EXPECT_NE(target->Anchored(anchor), nullptr) << where.toStdString() << ": no such anchor";
                }
            }
        }
        const QDir img(folder.filePath(QStringLiteral("img")));
        for (const QFileInfo& picture : img.entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
            picturesOf[l] << picture.fileName();
            pictureBytes += picture.size();
            EXPECT_TRUE(used.contains(QStringLiteral("img/") + picture.fileName()))
                << picture.fileName().toStdString() << " is used by no page";
        }
    }
    EXPECT_EQ(anchorsOf[0], anchorsOf[1]) << "the languages differ in pages or anchors";
    EXPECT_EQ(picturesOf[0], picturesOf[1]) << "the languages differ in pictures";
    EXPECT_LT(pictureBytes, kPictureBudget);
}

// Every quoted text is a text of the program in the page's language.
TEST(GuideContent, QuotedTextsAreTheProgramsOwnInThePageLanguage)
{
    for (int l = 0; l < kLanguages.size(); ++l) {
        SCOPED_TRACE(kLanguages[l].toStdString());
        const ProgramTexts texts = TextsOf(l);
        int quotes = 0;
        const GuideBook book = Book(kLanguages[l]);
        for (const GuidePage& page : book.Pages()) {
            for (const markdown::Quote& quote : markdown::Quotes(page.markdown)) {
                ++quotes;
                EXPECT_TRUE(texts.Knows(quote.text))
                    << page.file.toStdString() << ':' << quote.line << ": \"" << quote.text.toStdString()
                    << "\" is no text of the program in this language";
            }
        }
        EXPECT_GT(quotes, 200); // the check reads the quotes at all
    }
}

// The quote check itself: what it must take and what it must refuse.
TEST(GuideContent, QuoteCheckTakesPlaceholdersPartsAndAccessKeysOnly)
{
    ProgramTexts texts;
    texts.Add(QStringLiteral("Collegamento perso: letti %1 di %2 gruppi.\nRiprovare?"));
    texts.Add(QStringLiteral("&Modifica riferimenti mappa"));
    texts.Add(QStringLiteral("%1"));
    EXPECT_TRUE(texts.Knows(QStringLiteral("Collegamento perso: letti 3 di 9 gruppi.")));
    EXPECT_TRUE(texts.Knows(QStringLiteral("Riprovare?")));
    EXPECT_TRUE(texts.Knows(QStringLiteral("Modifica riferimenti mappa")));
    EXPECT_FALSE(texts.Knows(QStringLiteral("Modifica i riferimenti")));
    EXPECT_FALSE(texts.Knows(QStringLiteral("anything at all"))); // a bare placeholder matches nothing

    const QString page = QStringLiteral("Press \"OK\", then `\"not this\"` and\n```\n\"nor this\"\n```\n"
                                        "<!-- #x -->\nand \u201Cthis\u201D, \"one\ntwo\" and \"left\n\nopen \"end.");
    QStringList found;
    for (const markdown::Quote& q : markdown::Quotes(page))
        found << q.text;
    // A quote runs on over its paragraph's lines; one a paragraph leaves open stands as it is.
    EXPECT_EQ(found, (QStringList{QStringLiteral("OK"), QStringLiteral("this"), QStringLiteral("one two"),
                                  QStringLiteral("left"), QStringLiteral("end.")}));
}

// Every window the help key can be pressed in has its place, in both languages.
TEST(GuideContent, EveryWindowAndConfigurationPageHasItsSection)
{
    // The windows of the program: every TForm class of the window areas, and the about box.
    static const QRegularExpression windowClass(QStringLiteral("class\\s+(TForm\\w+|TAboutBox)\\s+(?:final\\s+)?:\\s*public"));
    QStringList classes;
    for (const char* area : {"app", "editor", "files", "calib/forms", "widgets"}) {
        QDirIterator it(QStringLiteral(VAPORA_SOURCE_DIR "/") + QLatin1String(area), {QStringLiteral("*.h")}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            auto m = windowClass.globalMatch(QString::fromUtf8(file.readAll()));
            while (m.hasNext())
                classes << m.next().captured(1);
        }
    }
    ASSERT_GT(classes.size(), 20);
    QStringList covered;
    for (const TopicEntry& e : WindowTopics())
        covered << e.name;
    for (const QString& name : classes)
        EXPECT_TRUE(covered.contains(name)) << name.toStdString() << " has no place in the guide";

    QList<TopicEntry> all = WindowTopics() + ConfigPageTopics();
    all.append({QStringLiteral("messages"), QStringLiteral("troubleshooting.md")});
    for (const QString& language : kLanguages) {
        const GuideBook book = Book(language);
        for (const TopicEntry& e : all) {
            const HelpTopic topic = ParseTopic(e.topic);
            const GuidePage* page = book.Page(topic.page);
            ASSERT_NE(page, nullptr) << language.toStdString() << ' ' << e.name.toStdString();
            if (!topic.anchor.isEmpty()) {
                EXPECT_NE(page->Anchored(topic.anchor), nullptr)
                    << language.toStdString() << ' ' << e.name.toStdString() << ' ' << e.topic.toStdString();
            }
        }
    }
}

} // namespace
} // namespace vapora::test
