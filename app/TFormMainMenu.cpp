// The label menu: highlight, keys, mouse and the two layouts.
#include "TFormMain.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

namespace vapora {
namespace {
const QColor kWindowColour(255, 255, 255);
}

void TFormMain::Highlight(int index)
{
    for (int i = 0; i < kEntries; ++i) {
        QLabel* label = entries_[i];
        const bool on = i == index;
        QFont f = label->font();
        f.setUnderline(on);
        label->setFont(f);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, on ? QColor(Qt::red) : kWindowColour);
        label->setPalette(pal);
        label->adjustSize();
    }
    arrowTag_ = index;
    arrow_->setProperty("Tag", index);
    arrow_->move(arrow_->x(), entries_[index]->y());
}

void TFormMain::MouseOver(int index)
{
    if (index == arrowTag_)
        return;
    Highlight(index);
}

void TFormMain::RunEntry(int index)
{
    if (QAction* action = entryActions_[index])
        action->trigger();
}

void TFormMain::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Q && (event->modifiers() & Qt::AltModifier)) {
        close();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        RunEntry(arrowTag_);
        return;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int step = key == Qt::Key_Up ? -1 : 1;
        for (int i = arrowTag_ + step; i >= 0 && i < kEntries; i += step) {
            if (!entries_[i]->isVisibleTo(client_))
                continue;
            Highlight(i);
            break;
        }
        return; // consumed even when the highlight stays
    }
    QMainWindow::keyPressEvent(event);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = std::find(entries_.begin(), entries_.end(), watched);
    if (it != entries_.end()) {
        const int index = static_cast<int>(it - entries_.begin());
        if (event->type() == QEvent::Enter) {
            MouseOver(index);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && entries_[index]->rect().contains(mouse->position().toPoint())) {
                RunEntry(index);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::LayoutVertical()
{
    const int h = std::max(0, client_->height() / (7 + 3));
    labelMenu_->move(labelMenu_->x(), h / 2);
    int n = 0;
    for (int i = 0; i < kEntries - 1; ++i) {
        QLabel* label = entries_[i];
        if (!label->isVisibleTo(client_))
            continue;
        label->move(label->x(), h / 2 + h + n * h);
        ++n;
    }
    QLabel* termina = entries_[kEntries - 1];
    termina->move(termina->x(), entries_[kEntries - 2]->y() + static_cast<int>(1.2 * h));
    arrow_->move(arrow_->x(), entries_[arrowTag_]->y());
}

void TFormMain::LayoutHorizontal()
{
    const int width = client_->width();
    labelMenu_->adjustSize();
    labelMenu_->move((width - labelMenu_->width()) / 2, labelMenu_->y());
    int w = 0;
    for (QLabel* label : entries_) {
        label->adjustSize();
        if (label->isVisibleTo(client_))
            w = std::max(w, label->width());
    }
    for (QLabel* label : entries_)
        label->move((width - w) / 2, label->y());
    arrow_->move((width - w) / 2 - 50, arrow_->y());
}

} // namespace vapora
