#pragma once
// The two application messages: the state message (link down / up, name
// changed, reconnect, save request) and the progress message of long
// operations.

#include "link/SerialLink.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace vapora {

constexpr int kStateLinkDown = 0;
constexpr int kStateLinkUp = 1;
constexpr int kStateNameChanged = 2;
constexpr int kStateReconnect = 3;
constexpr int kStateSaveRequest = 4;

class StateEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 0x190);
    explicit StateEvent(int lParam) : QEvent(kType), lParam_(lParam) {}
    int lParam() const { return lParam_; }

private:
    int lParam_;
};

class ProgressEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 0x191);
    ProgressEvent(int amount, bool add) : QEvent(kType), amount_(amount), add_(add) {}
    int amount() const { return amount_; }
    bool add() const { return add_; }

private:
    int amount_;
    bool add_;
};

// Posts the state message to one window (the main window, for the link).
void PostState(QWidget* target, int lParam);
// Posts the state message to every top-level window (a name change).
void PostStateToAll(int lParam);
// Sends a progress message, synchronously, to the window that shows progress:
// the innermost registered progress window, else the active window.
void SendProgress(int amount, bool add);

// A wait window or the splash registers itself while it shows progress, so
// that progress reaches it even when the platform gives it no focus.
class ProgressTarget {
public:
    explicit ProgressTarget(QWidget* window);
    ~ProgressTarget();
    ProgressTarget(const ProgressTarget&) = delete;
    ProgressTarget& operator=(const ProgressTarget&) = delete;
    static QWidget* Current();

private:
    QPointer<QWidget> window_;
};

// The link's screen object: posts its state messages to the main window and
// sends programming progress like any long operation.
class AppScreen final : public LinkScreen {
public:
    void SetMainWindow(QWidget* window) { main_ = window; }
    void PostState(int32_t state) override;
    void SendProgress(int32_t amount, int32_t add) override;

private:
    QPointer<QWidget> main_;
};

} // namespace vapora
