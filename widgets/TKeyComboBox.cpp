#include "TKeyComboBox.h"

#include "FocusChain.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QWheelEvent>

namespace vapora {

TKeyComboBox::TKeyComboBox(QWidget* parent) : QComboBox(parent)
{
    // Installed after the list's own filter, so it sees the keys first.
    view()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this](int) { Chosen(); });
}

QWidget* TKeyComboBox::GetNextControl() const { return WalkFocusLinks(this, true); }
QWidget* TKeyComboBox::GetPrevControl() const { return WalkFocusLinks(this, false); }

void TKeyComboBox::showPopup()
{
    QComboBox::showPopup();
    listOpen_ = true;
    pending_ = true;
}

void TKeyComboBox::hidePopup()
{
    QComboBox::hidePopup();
    listOpen_ = false;
}

void TKeyComboBox::HandleEnter()
{
    if (pending_)
        committed_ = currentIndex();
    else
        showPopup();
    emit enterPressed();
    pending_ = listOpen_;
}

// A choice made by the mouse in the list, or a change made with the list
// closed (typing a letter, Home, End), counts as confirmed at once.
void TKeyComboBox::Chosen()
{
    if (listOpen_)
        return;
    pending_ = true;
    HandleEnter();
}

void TKeyComboBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HandleEnter();
        event->accept();
        return;
    case Qt::Key_Escape:
        event->ignore();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        QWidget* target = event->key() == Qt::Key_Up ? GetPrevControl() : GetNextControl();
        if (target != nullptr)
            target->setFocus(event->key() == Qt::Key_Up ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        event->accept();
        return;
    }
    default: QComboBox::keyPressEvent(event);
    }
}

bool TKeyComboBox::ListKey(QKeyEvent* event)
{
    QAbstractItemView* list = view();
    const int row = list->currentIndex().isValid() ? list->currentIndex().row() : currentIndex();
    const int last = count() - 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        hidePopup();
        pending_ = false;
        setCurrentIndex(committed_);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    case Qt::Key_Up:
        if (row <= 0 && last >= 0) {
            list->setCurrentIndex(model()->index(last, modelColumn(), rootModelIndex()));
            return true;
        }
        return false;
    case Qt::Key_Down:
        if (row >= last && last >= 0) {
            list->setCurrentIndex(model()->index(0, modelColumn(), rootModelIndex()));
            return true;
        }
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row >= 0)
            setCurrentIndex(row);
        hidePopup();
        HandleEnter();
        return true;
    default: return false;
    }
}

bool TKeyComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && listOpen_) {
        if (event->type() == QEvent::ShortcutOverride) {
            // The list's own handling would close it before the key arrives.
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Escape:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                event->accept();
                return true;
            default: break;
            }
        }
        if (event->type() == QEvent::KeyPress)
            return ListKey(static_cast<QKeyEvent*>(event));
    }
    return QComboBox::eventFilter(watched, event);
}

void TKeyComboBox::focusInEvent(QFocusEvent* event)
{
    // Coming back from the list is not entering the control.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        committed_ = currentIndex();
        pending_ = false;
    }
    QComboBox::focusInEvent(event);
}

void TKeyComboBox::wheelEvent(QWheelEvent* event)
{
    // The wheel passing over a page must not rewrite a parameter.
    event->ignore();
}

} // namespace vapora
