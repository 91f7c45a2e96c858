#include "GuideHelp.h"

#include "GuideFolder.h"
#include "TFormGuida.h"

#include "services/AppContext.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/i18n/WindowTexts.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace vapora {
namespace {

const QKeySequence kF1(Qt::Key_F1);

} // namespace

GuideHelp::GuideHelp(AppContext& context, QObject* parent) : QObject(parent), ctx_(context), root_(GuideFolder())
{
    qApp->installEventFilter(this);
}

GuideHelp::~GuideHelp()
{
    qApp->removeEventFilter(this);
    delete window_.data();
}

bool GuideHelp::WindowUsesKey(const QWidget* window, const QKeySequence& key)
{
    if (window == nullptr)
        return false;
    for (const QShortcut* s : window->findChildren<QShortcut*>())
        if (s->isEnabled() && s->key() == key)
            return true;
    QList<QAction*> actions = window->actions();
    actions += window->findChildren<QAction*>();
    for (const QAction* a : actions)
        if (a->isEnabled() && a->shortcuts().contains(key))
            return true;
    return false;
}

TFormGuida* GuideHelp::Open(const HelpTopic& topic, QWidget* from)
{
    // Above the modal window if there is one, so that the guide takes input.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr && from != nullptr)
        owner = from->window();
    if (window_ != nullptr && from != nullptr && from->window() == window_)
        owner = window_->parentWidget(); // asked from the guide itself
    if (window_ != nullptr && window_->parentWidget() != owner) {
        delete window_.data();
        window_ = nullptr;
    }
    const TDataModuleMur* d = ctx_.dictionary;
    if (GuideLanguageFolder(root_, d != nullptr ? d->ColumnNames().value(d->LanguageIndex() + 1) : QString()).isEmpty()) {
        WindowTexts texts(ctx_.dictionary);
        QStringList shown;
        for (const QString& folder : root_.isEmpty() ? GuideFolderCandidates(QCoreApplication::applicationDirPath())
                                                     : QStringList{root_})
            shown << QDir::toNativeSeparators(folder);
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(owner, texts.Get("FinestraGuida", QStringLiteral("Guida di Vapora")),
                                  texts.Get("MessGuidaMancante",
                                            QStringLiteral("La guida non è installata. Cartelle cercate:\n%1"))
                                      .arg(shown.join(u'\n')),
                                  MsgIcon::Error);
        return nullptr;
    }
    auto* guide = static_cast<TFormGuida*>(window_.data());
    if (guide == nullptr) {
        guide = new TFormGuida(ctx_, owner);
        window_ = guide;
        if (geometry_.isValid())
            guide->setGeometry(geometry_);
    }
    // Shown first: where a heading lies depends on the width the page gets.
    guide->show();
    guide->raise();
    guide->activateWindow();
    guide->Open(root_, topic);
    return guide;
}

TFormGuida* GuideHelp::OpenFor(QWidget* from) { return Open(HelpTopicFor(from), from); }

TFormGuida* GuideHelp::Window() const { return static_cast<TFormGuida*>(window_.data()); }

bool GuideHelp::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == window_.data() && watched != nullptr && (type == QEvent::Move || type == QEvent::Resize))
        geometry_ = window_->geometry();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() != Qt::Key_F1 || widget == nullptr)
        return false;
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool help = mods == Qt::ControlModifier || (mods == Qt::NoModifier && !WindowUsesKey(widget->window(), kF1));
    if (!help)
        return false;
    if (type == QEvent::ShortcutOverride) {
        event->accept(); // a key press, not a shortcut: it comes back below
        return true;
    }
    OpenFor(widget);
    return true;
}

} // namespace vapora
