#include "services/platform/SingleInstance.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QWidget>

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

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(UserQualified(name)), requestFile_(QDir::temp().filePath(name_ + QStringLiteral(".raise")))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim()
{
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!lock_->tryLock(0)) {
        lock_.reset();
        // Any write to the request file is the request.
        QFile request(requestFile_);
        if (request.open(QIODevice::WriteOnly | QIODevice::Truncate))
            request.write(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toUtf8());
        return false;
    }
    QFile request(requestFile_);
    if (request.open(QIODevice::WriteOnly | QIODevice::Truncate))
        request.close();
    watcher_ = new QFileSystemWatcher(QStringList{requestFile_}, this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        // Some systems stop watching a file that was replaced: watch it again.
        if (!watcher_->files().contains(requestFile_) && QFile::exists(requestFile_))
            watcher_->addPath(requestFile_);
        emit RaiseRequested();
    });
    return true;
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
