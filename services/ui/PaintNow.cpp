#include "services/ui/PaintNow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace vapora {
namespace {

constexpr int kExposeWaitMs = 300;
constexpr int kWakeMs = 10;

bool SomeWindowUnexposed()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isMinimized() && w->windowHandle() != nullptr && !w->windowHandle()->isExposed())
            return true;
    return false;
}

} // namespace

void PaintBeforeBlockingWork()
{
    constexpr auto kFlags = QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(kFlags);
    if (SomeWindowUnexposed()) {
        QTimer wake; // so that waiting for events never outlasts the bound
        wake.start(kWakeMs);
        QElapsedTimer waited;
        waited.start();
        while (SomeWindowUnexposed() && waited.elapsed() < kExposeWaitMs)
            QCoreApplication::processEvents(kFlags | QEventLoop::WaitForMoreEvents);
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->repaint();
}

} // namespace vapora
