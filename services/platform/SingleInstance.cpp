#include "services/platform/SingleInstance.h"

#include "model/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QSaveFile>
#include <QUuid>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vapora {
namespace {

// Names are per user, so two users on one machine each get their copy.
QString UserQualified(const QString& name)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user.isEmpty() ? name : name + QLatin1Char('-') + user;
}

const QString kRequestSuffix = QStringLiteral(".request");
constexpr uint32_t kPollMs = 100;

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(UserQualified(name)), requestFolder_(QDir::temp().filePath(name_ + QStringLiteral(".requests")))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim()
{
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    // Only this user may leave requests: a folder of someone else is not used.
    QDir().mkpath(requestFolder_);
    QFile::setPermissions(requestFolder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TakeRequests(); // left by a copy that gave up on the previous run
    watcher_ = new QFileSystemWatcher(QStringList{requestFolder_}, this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SingleInstance::TakeRequests);
    return true;
}

QString SingleInstance::LeaveRequest(const QStringList& files)
{
    const QFileInfo folder(requestFolder_);
    if (!folder.isDir())
        return {};
#ifdef Q_OS_UNIX
    if (folder.ownerId() != static_cast<uint>(::getuid()))
        return {};
#endif
    // Written under another name and renamed, so the running copy never reads half a request.
    const QString request = QDir(requestFolder_).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + kRequestSuffix);
    QSaveFile file(request);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (const QString& f : files)
        file.write(f.toUtf8() + '\n');
    return file.commit() ? request : QString();
}

bool SingleInstance::WaitTaken(const QString& request, Clock& clock, uint32_t timeoutMs)
{
    if (request.isEmpty())
        return false;
    const uint32_t start = clock.TickCount();
    while (QFileInfo::exists(request)) {
        if (clock.TickCount() - start >= timeoutMs) {
            // Withdrawn, unless the running copy took it in this very moment.
            return !QFile::remove(request);
        }
        clock.Sleep(kPollMs);
        // The running copy may be this very process (tests); elsewhere there is nothing to do.
        QCoreApplication::processEvents();
    }
    return true;
}

bool SingleInstance::Forward(const QStringList& files, Clock& clock, uint32_t timeoutMs)
{
    return WaitTaken(LeaveRequest(files), clock, timeoutMs);
}

void SingleInstance::TakeRequests()
{
    const QDir folder(requestFolder_);
    const QStringList names = folder.entryList({QStringLiteral("*") + kRequestSuffix}, QDir::Files, QDir::Time | QDir::Reversed);
    QStringList files;
    bool any = false;
    for (const QString& name : names) {
        QFile request(folder.filePath(name));
        if (!request.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = request.readAll();
        request.close();
        // Removing it is the answer the other copy waits for.
        if (!request.remove())
            continue;
        any = true;
        for (const QByteArray& line : content.split('\n'))
            if (!line.isEmpty())
                files << QString::fromUtf8(line);
    }
    if (!any)
        return;
    emit RaiseRequested();
    if (!files.isEmpty())
        emit FilesRequested(files);
}

void RaiseWindow(QWidget* window)
{
    if (window == nullptr)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != window) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace vapora
