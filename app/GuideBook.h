#pragma once
// The guide of one language as the help window uses it: its pages in the order
// of the contents page, each page's headings with their anchors, and a search
// through the text of every section. Also the reading of the Markdown the
// pages are written in, which the guide's own checks share.

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vapora {

struct GuideHeading {
    int level = 0;  // 1 the page title, 2 and 3 its sections
    QString text;   // as the page shows it
    QString anchor; // the name its mark gives it ("<!-- #name -->" on the line before), or empty
};

struct GuidePage {
    QString file; // name within the language folder, "start.md"
    QString path;
    QString markdown;
    QList<GuideHeading> headings; // in page order, the title first

    QString Title() const;
    // The heading an anchor names, or nullptr.
    const GuideHeading* Anchored(const QString& anchor) const;
};

// One section of a page that holds the searched text.
struct GuideHit {
    QString file;
    QString heading; // the section's heading; the page title for text above the first section
    int count = 0;   // occurrences in the section
    QString snippet; // the text around the first one
};

class GuideBook {
public:
    // The contents page "index.md" of the folder first, then every page it
    // links to, in the order of the links. Empty when there is no contents page.
    static GuideBook Read(const QString& languageFolder);

    bool IsEmpty() const { return pages_.isEmpty(); }
    const QString& Folder() const { return folder_; }
    const QList<GuidePage>& Pages() const { return pages_; }
    const GuidePage* Page(const QString& file) const;

    // Sections holding the text, without regard to case or accents, in page order.
    QList<GuideHit> Search(const QString& text) const;

private:
    QString folder_;
    QList<GuidePage> pages_;
};

// The folder of the guide in the program's language: the language column of
// the dictionary ("ITALIANO") names a language code ("it") whose folder is
// taken when it holds a contents page; otherwise English, then Italian, then
// any language the guide has. Empty when the guide has none.
QString GuideLanguageFolder(const QString& guideRoot, const QString& languageColumn);

// A pattern that finds text in any case and with or without accents
// ("velocita" finds "Velocità").
QRegularExpression LooseMatch(const QString& text);

namespace markdown {

// Lines outside fenced code blocks, with the number of each (from 1).
struct Line {
    int number = 0;
    QString text;
};
QList<Line> ProseLines(const QString& markdown);

// A heading line ("## Title"): its level, else 0.
int HeadingLevel(const QString& line);
// A heading as shown: without the hashes and inline tags (no anchor: that is
// on the line before).
GuideHeading ParseHeading(const QString& line);
// The name of an anchor mark line "<!-- #name -->", else empty. Such a line
// names the heading right below it; the page does not show it.
QString AnchorMark(const QString& line);

struct Link {
    QString target; // as written: "img/x.png", "page.md#anchor", "#anchor"
    bool image = false;
    int line = 0;
};
// Links and pictures of the prose, not those inside code.
QList<Link> Links(const QString& markdown);

// Texts the page quotes in double quotes (straight or curly), outside code
// spans, code blocks, HTML tags and comments, each with its line.
struct Quote {
    QString text;
    int line = 0;
};
QList<Quote> Quotes(const QString& markdown);

// Prose as a reader sees it: without link targets, picture names, emphasis
// marks, code marks, tags and table rules.
QString PlainText(const QString& markdown);

} // namespace markdown
} // namespace vapora
