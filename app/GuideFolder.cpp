#include "GuideFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vapora {
namespace {

// A folder holds a guide when one of its languages has a contents page.
bool HoldsGuide(const QDir& folder)
{
    if (!folder.exists())
        return false;
    for (const QString& language : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFileInfo(folder.filePath(language + QStringLiteral("/index.md"))).isFile())
            return true;
    return false;
}

} // namespace

QStringList GuideFolderCandidates(const QString& programFolder)
{
    const QDir program(programFolder);
    QStringList folders;
    for (const char* relative : {"../share/vapora/guide", "../vapora-home/guide"})
        folders << QDir::cleanPath(program.absoluteFilePath(QString::fromLatin1(relative)));
    return folders;
}

QString GuideFolder(const QString& programFolder)
{
    for (const QString& candidate : GuideFolderCandidates(programFolder))
        if (HoldsGuide(QDir(candidate)))
            return candidate;
    return {};
}

QString GuideFolder() { return GuideFolder(QCoreApplication::applicationDirPath()); }

} // namespace vapora
