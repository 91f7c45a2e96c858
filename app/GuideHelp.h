#pragma once
// The help key and the one help window. F1 opens the guide at the page of
// the window it is pressed in, unless that window uses F1 itself (the
// configuration window selects its pages with the function keys); Ctrl+F1
// does so in every window. The help window is kept above the window the user
// works in, so that it stays usable while that window is modal.

#include "HelpTopics.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QWidget;

namespace vapora {

struct AppContext;
class TFormGuida;

class GuideHelp final : public QObject {
    Q_OBJECT
public:
    // Watches the keys of every window of the application while it lives.
    GuideHelp(AppContext& context, QObject* parent);
    ~GuideHelp() override;

    // The guide's folder; by default the one the program finds (GuideFolder).
    void SetGuideRoot(const QString& root) { root_ = root; }
    const QString& GuideRoot() const { return root_; }

    // Opens the guide at a topic over the window `from` lies in; nullptr (after
    // saying why) when there is no guide.
    TFormGuida* Open(const HelpTopic& topic, QWidget* from);
    // The page of the window `from` lies in.
    TFormGuida* OpenFor(QWidget* from);
    TFormGuida* Window() const;

    // True when the window binds the key to a command of its own.
    static bool WindowUsesKey(const QWidget* window, const QKeySequence& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& ctx_;
    QString root_;
    QPointer<QWidget> window_; // a TFormGuida; watched as a plain widget, also while it is destroyed
    QRect geometry_; // where the user last had the help window
};

} // namespace vapora
