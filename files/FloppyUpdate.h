#pragma once
// The update from a floppy without its window: reading the index file
// "vapora.dat" (lines name=destination), planning what goes where, and
// copying the files that are newer than the installed ones.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vapora {

struct UpdateEntry {
    enum class Kind {
        Skip,    // a line without a name
        Copy,    // copied when newer
        Refused, // the name reaches outside its folder: never read nor written
    };
    Kind kind = Kind::Skip;
    QString name;   // as in the index, trimmed, with '/' separators
    QString source; // source folder + name
    QString target; // destination folder + name
};

struct UpdateResult {
    int copied = 0;
    QStringList failed; // names, in index order
};

// The index's lines, Windows-1252 text with CR LF or LF line ends.
QStringList ReadUpdateIndex(const QByteArray& bytes);

// A keyword's folder under the main folder, or the value itself as a folder
// (relative to currentDir when it is not absolute). Keywords ignore case.
QString UpdateDestination(const QString& value, const QString& mainFolder, const QString& currentDir);

// True when name, joined to a folder, stays inside that folder.
bool NameStaysInside(const QString& name);

// One entry per line, in order. A name given twice takes the destination of
// its first line (names compare without regard to case).
std::vector<UpdateEntry> PlanUpdate(const QStringList& lines, const QString& sourceFolder, const QString& mainFolder,
                                    const QString& currentDir);

// The source exists and the installed file is missing or older.
bool IsNewer(const QString& source, const QString& target);

// Copies source over target so that a failure leaves the installed file as it
// was: a read-only target is made writable, the bytes go to a temporary file
// beside it that is then renamed over it. The copy keeps the source's time.
bool CopyReplacing(const QString& source, const QString& target);

// Copies every newer file of the plan; refused lines and failed copies are
// listed. progress gets the percentage after each line once a file has been
// copied.
UpdateResult RunUpdate(const std::vector<UpdateEntry>& plan, const std::function<void(int percent)>& progress);

} // namespace vapora
