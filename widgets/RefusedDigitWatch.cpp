#include "RefusedDigitWatch.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace vapora {

RefusedDigitWatch::RefusedDigitWatch(QAbstractSpinBox* box, Handler handler)
    : QObject(box), handler_(std::move(handler))
{
}

void RefusedDigitWatch::Install(QAbstractSpinBox* box, Handler handler)
{
    box->installEventFilter(new RefusedDigitWatch(box, std::move(handler)));
}

bool RefusedDigitWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* box = qobject_cast<QAbstractSpinBox*>(watched);
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (box == nullptr || box->isReadOnly() || typed.size() != 1 || !typed.at(0).isDigit())
        return false;
    const QLineEdit* edit = box->findChild<QLineEdit*>();
    if (edit == nullptr)
        return false;
    // The text the digit would make, judged as the box itself will judge it.
    QString next = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    next.replace(start, length, typed);
    int position = start + 1;
    if (box->validate(next, position) != QValidator::Invalid)
        return false;
    handler_(box);
    return true; // dropped, as the box would have dropped it
}

} // namespace vapora
