#pragma once
// QString paths to the forms the model's file functions take.

#include <QDir>
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>

namespace vapora {

inline std::filesystem::path FsPath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

inline QString QtPath(const std::filesystem::path& path)
{
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

// The record's file functions take narrow names in the system's encoding.
inline std::string LocalFilePath(const QString& path)
{
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

} // namespace vapora
