#pragma once
// One running copy per user. The first copy holds a lock file and watches a
// request folder of the same name; a later copy finds the lock taken, leaves a
// request there (the files it was asked to open, if any) and waits until the
// running copy takes it, which is how it knows the files were handed over.
// (Files and not a local socket: the program links Qt's core and widgets only.)

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QFileSystemWatcher;
class QLockFile;
class QWidget;

namespace vapora {

class Clock;

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy (the lock is held from now on). False
    // when another copy runs: Forward then passes the request on.
    bool Claim();

    // A later copy: asks the running one to come forward and to open files
    // (absolute paths). True once the running copy has taken the request;
    // false, with the request withdrawn, when it could not be left or was
    // not taken within timeoutMs.
    bool Forward(const QStringList& files, Clock& clock, uint32_t timeoutMs = kForwardTimeoutMs);
    // The same in two steps: leave the request (its file name, empty when it
    // could not be written), then wait for it to be taken.
    QString LeaveRequest(const QStringList& files);
    bool WaitTaken(const QString& request, Clock& clock, uint32_t timeoutMs);

    // The running copy: takes every request waiting in the folder (also called
    // when the folder changes).
    void TakeRequests();

    static constexpr uint32_t kForwardTimeoutMs = 10000;

signals:
    // Another copy started and wants this one in front.
    void RaiseRequested();
    // ...and asks it to open these files.
    void FilesRequested(const QStringList& files);

private:
    QString name_;
    QString requestFolder_;
    std::unique_ptr<QLockFile> lock_;
    QFileSystemWatcher* watcher_ = nullptr;
};

// Restores a minimised window, raises it and gives it the focus; a modal
// window open above it comes to the top too.
void RaiseWindow(QWidget* window);

} // namespace vapora
