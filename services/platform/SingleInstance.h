#pragma once
// One running copy per user. The first copy holds a lock file and watches a
// request file of the same name; a later copy finds the lock taken, writes the
// request file to ask the running copy to bring its window forward, and gives
// up. (A file and not a local socket: the program links Qt's core and widgets
// only.)

#include <QObject>
#include <QString>

#include <memory>

class QFileSystemWatcher;
class QLockFile;
class QWidget;

namespace vapora {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy (the lock is held from now on). False
    // when another copy runs: it has been asked to raise its window.
    bool Claim();

signals:
    // Another copy started and wants this one in front.
    void RaiseRequested();

private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QString requestFile_;
    QFileSystemWatcher* watcher_ = nullptr;
};

// Restores a minimised window, raises it and gives it the focus; a modal
// window open above it comes to the top too.
void RaiseWindow(QWidget* window);

} // namespace vapora
