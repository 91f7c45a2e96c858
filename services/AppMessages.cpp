#include "services/AppMessages.h"

#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace vapora {
namespace {

std::vector<QPointer<QWidget>>& Targets()
{
    static std::vector<QPointer<QWidget>> targets;
    return targets;
}

} // namespace

void PostState(QWidget* target, int lParam)
{
    if (target != nullptr)
        QCoreApplication::postEvent(target, new StateEvent(lParam));
}

void PostStateToAll(int lParam)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        PostState(w, lParam);
}

void SendProgress(int amount, bool add)
{
    QWidget* target = ProgressTarget::Current();
    if (target == nullptr)
        target = QApplication::activeWindow();
    if (target == nullptr)
        return;
    ProgressEvent event(amount, add);
    QCoreApplication::sendEvent(target, &event);
}

ProgressTarget::ProgressTarget(QWidget* window) : window_(window) { Targets().push_back(window_); }

ProgressTarget::~ProgressTarget()
{
    auto& t = Targets();
    t.erase(std::remove(t.begin(), t.end(), window_), t.end());
}

QWidget* ProgressTarget::Current()
{
    auto& t = Targets();
    for (auto it = t.rbegin(); it != t.rend(); ++it)
        if (!it->isNull())
            return it->data();
    return nullptr;
}

void AppScreen::PostState(int32_t state) { vapora::PostState(main_, state); }

void AppScreen::SendProgress(int32_t amount, int32_t add) { vapora::SendProgress(amount, add != 0); }

} // namespace vapora
