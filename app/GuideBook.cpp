#include "GuideBook.h"

#include "services/i18n/QtTranslations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace vapora {
namespace markdown {
namespace {

const QRegularExpression kTag(QStringLiteral("<[^>]*>"));
const QRegularExpression kAnchorMark(QStringLiteral("^\\s*<!--\\s*#([A-Za-z0-9_-]+)\\s*-->\\s*$"));
const QRegularExpression kLink(QStringLiteral("(!?)\\[([^\\]]*)\\]\\(([^)\\s]+)(?:\\s+\"[^\"]*\")?\\)"));

bool IsFence(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1String("```")) || t.startsWith(QLatin1String("~~~"));
}

// The line with its code spans blanked, so that nothing inside them counts as
// a quote, a link or a tag.
QString WithoutCode(const QString& line)
{
    QString out = line;
    int open = -1;
    for (int i = 0; i < out.size(); ++i) {
        if (out[i] != u'`')
            continue;
        if (open < 0) {
            open = i;
        } else {
            for (int k = open; k <= i; ++k)
                out[k] = u' ';
            open = -1;
        }
    }
    return out;
}

} // namespace

QList<Line> ProseLines(const QString& markdown)
{
    QList<Line> lines;
    bool fenced = false;
    const QStringList all = markdown.split(u'\n');
    for (int i = 0; i < all.size(); ++i) {
        QString text = all[i];
        if (text.endsWith(u'\r'))
            text.chop(1);
        if (IsFence(text)) {
            fenced = !fenced;
            continue;
        }
        if (!fenced)
            lines.append({i + 1, text});
    }
    return lines;
}

int HeadingLevel(const QString& line)
{
    int level = 0;
    while (level < line.size() && line[level] == u'#')
        ++level;
    return level > 0 && level <= 6 && level < line.size() && line[level] == u' ' ? level : 0;
}

GuideHeading ParseHeading(const QString& line)
{
    GuideHeading heading;
    heading.level = HeadingLevel(line);
    if (heading.level == 0)
        return heading;
    heading.text = line.mid(heading.level + 1).remove(kTag).simplified();
    return heading;
}

QString AnchorMark(const QString& line)
{
    const QRegularExpressionMatch m = kAnchorMark.match(line);
    return m.hasMatch() ? m.captured(1) : QString();
}

QList<Link> Links(const QString& markdown)
{
    QList<Link> links;
    for (const Line& line : ProseLines(markdown)) {
        auto it = kLink.globalMatch(WithoutCode(line.text));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            links.append({m.captured(3), !m.captured(1).isEmpty(), line.number});
        }
    }
    return links;
}

QList<Quote> Quotes(const QString& markdown)
{
    QList<Quote> quotes;
    // A quote may run on over the next lines of its paragraph: it is read whole,
    // its lines joined by a blank, and counted on the line where it starts.
    QString pending;
    int pendingLine = 0;
    int lastLine = 0;
    for (const Line& line : ProseLines(markdown)) {
        // Tags (the anchor marks) carry quoted attribute values of their own.
        const QString text = WithoutCode(line.text).replace(kTag, QStringLiteral(" "));
        const bool sameParagraph = pendingLine > 0 && line.number == lastLine + 1 && !text.trimmed().isEmpty();
        int open = -1;
        if (sameParagraph) {
            pending += u' ';
        } else if (pendingLine > 0) {
            // Never closed: given as it stands, so that the check reports it.
            quotes.append({pending.simplified(), pendingLine});
            pendingLine = 0;
        }
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const bool straight = c == u'"';
            if (pendingLine > 0) {
                if (straight || c == QChar(0x201D)) {
                    quotes.append({pending.simplified(), pendingLine});
                    pendingLine = 0;
                } else {
                    pending += c;
                }
            } else if (open < 0 && (straight || c == QChar(0x201C))) {
                open = i;
            } else if (open >= 0 && (straight || c == QChar(0x201D))) {
                quotes.append({text.mid(open + 1, i - open - 1), line.number});
                open = -1;
            }
        }
        if (open >= 0) {
            pending = text.mid(open + 1);
            pendingLine = line.number;
        }
        lastLine = line.number;
    }
    if (pendingLine > 0)
        quotes.append({pending.simplified(), pendingLine});
    return quotes;
}

QString PlainText(const QString& markdown)
{
    QStringList out;
    static const QRegularExpression picture(QStringLiteral("!\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression rule(QStringLiteral("^\\s*\\|?\\s*:?-{3,}"));
    static const QRegularExpression marks(QStringLiteral("(\\*\\*|__|\\*|`)"));
    for (const Line& line : ProseLines(markdown)) {
        QString text = line.text;
        if (rule.match(text).hasMatch())
            continue;
        text.replace(picture, QString()).replace(link, QStringLiteral("\\1")).replace(kTag, QString());
        text.replace(marks, QString());
        text.replace(u'|', u' ');
        if (const int level = HeadingLevel(text))
            text = text.mid(level + 1);
        if (text.startsWith(QLatin1String("> ")))
            text = text.mid(2);
        out.append(text.simplified());
    }
    return out.join(u'\n');
}

} // namespace markdown

QString GuidePage::Title() const
{
    for (const GuideHeading& h : headings)
        if (h.level == 1)
            return h.text;
    return file;
}

const GuideHeading* GuidePage::Anchored(const QString& anchor) const
{
    for (const GuideHeading& h : headings)
        if (!anchor.isEmpty() && h.anchor == anchor)
            return &h;
    return nullptr;
}

namespace {

bool ReadPage(const QDir& folder, const QString& file, GuidePage* page)
{
    QFile f(folder.filePath(file));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    page->file = file;
    page->path = QFileInfo(f).absoluteFilePath();
    page->markdown = QString::fromUtf8(f.readAll());
    QString mark;
    for (const markdown::Line& line : markdown::ProseLines(page->markdown)) {
        GuideHeading h = markdown::ParseHeading(line.text);
        if (h.level > 0 && h.level <= 3) {
            h.anchor = mark;
            page->headings.append(h);
        }
        mark = markdown::AnchorMark(line.text);
    }
    return true;
}

// The text of each section of a page: the heading it lies under and its prose.
QList<std::pair<QString, QString>> Sections(const GuidePage& page)
{
    QList<std::pair<QString, QString>> sections;
    QString heading = page.Title();
    QStringList text;
    auto flush = [&] {
        sections.append({heading, markdown::PlainText(text.join(u'\n'))});
        text.clear();
    };
    for (const markdown::Line& line : markdown::ProseLines(page.markdown)) {
        const GuideHeading h = markdown::ParseHeading(line.text);
        if (h.level >= 2 && h.level <= 3) {
            flush();
            heading = h.text;
        }
        text.append(line.text);
    }
    flush();
    return sections;
}

} // namespace

GuideBook GuideBook::Read(const QString& languageFolder)
{
    GuideBook book;
    const QDir folder(languageFolder);
    GuidePage index;
    if (!ReadPage(folder, QStringLiteral("index.md"), &index))
        return book;
    book.folder_ = folder.absolutePath();
    book.pages_.append(index);
    QStringList seen{index.file};
    for (const markdown::Link& link : markdown::Links(index.markdown)) {
        const QString file = link.target.section(u'#', 0, 0);
        if (link.image || !file.endsWith(QLatin1String(".md")) || !QUrl(file).isRelative() ||
            seen.contains(file))
            continue;
        seen.append(file);
        GuidePage page;
        if (ReadPage(folder, file, &page))
            book.pages_.append(page);
    }
    return book;
}

const GuidePage* GuideBook::Page(const QString& file) const
{
    for (const GuidePage& page : pages_)
        if (page.file == file)
            return &page;
    return nullptr;
}

QList<GuideHit> GuideBook::Search(const QString& text) const
{
    QList<GuideHit> hits;
    if (text.trimmed().isEmpty())
        return hits;
    const QRegularExpression pattern = LooseMatch(text.trimmed());
    for (const GuidePage& page : pages_) {
        for (const auto& [heading, prose] : Sections(page)) {
            GuideHit hit;
            auto it = pattern.globalMatch(prose);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                if (hit.count++ == 0) {
                    const qsizetype from = std::max<qsizetype>(0, m.capturedStart() - 40);
                    hit.snippet = prose.mid(from, m.capturedLength() + 80).simplified();
                }
            }
            if (hit.count == 0)
                continue;
            hit.file = page.file;
            hit.heading = heading;
            hits.append(hit);
        }
    }
    return hits;
}

QString GuideLanguageFolder(const QString& guideRoot, const QString& languageColumn)
{
    if (guideRoot.isEmpty())
        return {};
    const QDir root(guideRoot);
    QStringList wanted{LocaleOfLanguageColumn(languageColumn), QStringLiteral("en"), QStringLiteral("it")};
    wanted += root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& code : wanted)
        if (!code.isEmpty() && QFileInfo(root.filePath(code + QStringLiteral("/index.md"))).isFile())
            return root.absoluteFilePath(code);
    return {};
}

QRegularExpression LooseMatch(const QString& text)
{
    static const struct {
        char16_t base;
        const char16_t* variants;
    } kAccents[] = {{u'a', u"aàáâäå"}, {u'e', u"eèéêë"}, {u'i', u"iìíîï"}, {u'o', u"oòóôö"},
                    {u'u', u"uùúûü"},  {u'c', u"cç"},    {u'n', u"nñ"}};
    QString pattern;
    for (const QChar c : text) {
        // The base letter of an accented one, so that either spelling finds both.
        QChar base = c.toLower();
        if (const QString d = base.decomposition(); !d.isEmpty())
            base = d.at(0);
        bool done = false;
        for (const auto& accent : kAccents) {
            if (base == QChar(accent.base)) {
                pattern += u'[' + QString::fromUtf16(accent.variants) + u']';
                done = true;
                break;
            }
        }
        if (!done)
            pattern += c.isSpace() ? QStringLiteral("\\s+") : QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
}

} // namespace vapora
