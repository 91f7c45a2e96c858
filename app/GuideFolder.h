#pragma once
// Where the program finds its guide. The one place that knows the guide's
// location: installed, it lies in the shared data beside the program's
// folder; in a build tree, in the main-folder template the build writes.

#include <QString>
#include <QStringList>

namespace vapora {

// The guide folder (holding one folder per language) for a program started
// from programFolder: programFolder/../share/vapora/guide when that holds a
// guide, else programFolder/../vapora-home/guide; empty when neither does.
QString GuideFolder(const QString& programFolder);
// The folders looked at, in order, for a message that names them.
QStringList GuideFolderCandidates(const QString& programFolder);
// The same for this program.
QString GuideFolder();

} // namespace vapora
