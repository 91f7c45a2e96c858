#include "files/FloppyUpdate.h"

#include "services/platform/FilePaths.h"
#include "services/i18n/Cp1252.h"
#include "model/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <filesystem>
#include <system_error>

namespace vapora {

namespace fs = std::filesystem;

namespace {

struct Keyword {
    const char* word;
    const char* folder; // under the main folder; empty for the main folder itself
};

const Keyword kKeywords[] = {
    {"VAPCONFIG", "Configurazioni"},
    {"VAPCALIBRA", "Calibrazione"},
    {"VAPPROG", "Programmazione"},
    {"VAPMAIN", ""},
};

// Index files are written on Windows: backslashes separate folders.
QString WithSlashes(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

QString Joined(const QString& folder, const QString& name)
{
    return QDir::cleanPath(QDir(folder).filePath(name));
}

} // namespace

QStringList ReadUpdateIndex(const QByteArray& bytes)
{
    QStringList lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(FromCp1252(std::string_view(line.constData(), static_cast<size_t>(line.size()))));
    }
    // The line end of the last line does not start another one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString UpdateDestination(const QString& value, const QString& mainFolder, const QString& currentDir)
{
    const QString trimmed = value.trimmed();
    for (const Keyword& k : kKeywords)
        if (trimmed.compare(QLatin1String(k.word), Qt::CaseInsensitive) == 0)
            return QDir::cleanPath(QDir(mainFolder).filePath(QLatin1String(k.folder)));
    const QString folder = WithSlashes(trimmed);
    if (QDir::isAbsolutePath(folder))
        return QDir::cleanPath(folder);
    return Joined(currentDir, folder);
}

bool NameStaysInside(const QString& name)
{
    const QString path = WithSlashes(name);
    // A drive ("a:x") or an absolute name would leave the folder it is joined to.
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char(':')) ||
        QDir::isAbsolutePath(path))
        return false;
    const QString clean = QDir::cleanPath(path);
    return clean != QLatin1String("..") && !clean.startsWith(QLatin1String("../"));
}

std::vector<UpdateEntry> PlanUpdate(const QStringList& lines, const QString& sourceFolder, const QString& mainFolder,
                                    const QString& currentDir)
{
    // A name's destination is that of its first line.
    QHash<QString, QString> firstValue;
    struct Split {
        QString name, value;
        bool named = false;
    };
    std::vector<Split> split;
    for (const QString& line : lines) {
        Split s;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) {
            s.name = WithSlashes(line.left(eq).trimmed());
            s.value = line.mid(eq + 1);
            s.named = !s.name.isEmpty();
        }
        if (s.named && !firstValue.contains(s.name.toLower()))
            firstValue.insert(s.name.toLower(), s.value);
        split.push_back(s);
    }

    std::vector<UpdateEntry> plan;
    for (const Split& s : split) {
        UpdateEntry e;
        e.name = s.name;
        if (!s.named) {
            e.kind = UpdateEntry::Kind::Skip;
        } else if (!NameStaysInside(s.name)) {
            e.kind = UpdateEntry::Kind::Refused;
        } else {
            e.kind = UpdateEntry::Kind::Copy;
            e.source = Joined(sourceFolder, s.name);
            e.target = Joined(UpdateDestination(firstValue.value(s.name.toLower()), mainFolder, currentDir), s.name);
        }
        plan.push_back(e);
    }
    return plan;
}

bool IsNewer(const QString& source, const QString& target)
{
    std::error_code ec;
    const fs::path from = FsPath(source);
    if (!fs::is_regular_file(from, ec))
        return false;
    const fs::path to = FsPath(target);
    if (!fs::exists(to, ec))
        return true;
    const auto sourceTime = fs::last_write_time(from, ec);
    if (ec)
        return false;
    const auto installedTime = fs::last_write_time(to, ec);
    return ec || installedTime < sourceTime;
}

bool CopyReplacing(const QString& source, const QString& target)
{
    std::string bytes;
    if (!ReadFileBytes(FsPath(source), bytes))
        return false;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    std::error_code ec;
    const fs::path to = FsPath(target);
    if (fs::exists(to, ec))
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, ec);
    if (!WriteFileReplacing(to, bytes))
        return false;
    // The installed copy is as new as its source, so the same floppy finds nothing newer next time.
    const auto sourceTime = fs::last_write_time(FsPath(source), ec);
    if (!ec)
        fs::last_write_time(to, sourceTime, ec);
    return true;
}

UpdateResult RunUpdate(const std::vector<UpdateEntry>& plan, const std::function<void(int)>& progress)
{
    UpdateResult result;
    const int count = static_cast<int>(plan.size());
    for (int i = 0; i < count; ++i) {
        const UpdateEntry& e = plan[static_cast<size_t>(i)];
        if (e.kind == UpdateEntry::Kind::Refused) {
            result.failed.append(e.name);
        } else if (e.kind == UpdateEntry::Kind::Copy && IsNewer(e.source, e.target)) {
            if (CopyReplacing(e.source, e.target))
                ++result.copied;
            else
                result.failed.append(e.name);
        }
        if (result.copied > 0 && progress)
            progress((i + 1) * 100 / count);
    }
    return result;
}

} // namespace vapora
