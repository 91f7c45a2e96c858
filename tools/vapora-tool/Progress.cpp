#include "Progress.h"

#include <algorithm>

namespace vapora::tool {

void Progress::Start(const std::string& label)
{
    label_ = label;
    percent_ = 0;
    lastShown_ = -1;
    active_ = true;
    Draw();
}

void Progress::Report(int amount, bool add)
{
    if (!active_)
        return;
    percent_ = std::clamp(add ? percent_ + amount : amount, 0, 100);
    Draw();
}

void Progress::Finish()
{
    if (!active_)
        return;
    if (!quiet_ && terminal_ && lastShown_ >= 0)
        err_ << "\n";
    err_.flush();
    active_ = false;
}

void Progress::Line(const std::string& text)
{
    if (active_ && terminal_ && !quiet_ && lastShown_ >= 0)
        err_ << "\n";
    err_ << text << "\n";
    lastShown_ = -1;
    err_.flush();
}

void Progress::Draw()
{
    if (quiet_)
        return;
    if (terminal_) {
        if (percent_ == lastShown_)
            return;
        constexpr int kWidth = 30;
        const int filled = percent_ * kWidth / 100;
        err_ << "\r" << label_ << " [" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
             << percent_ << "%";
        err_.flush();
        lastShown_ = percent_;
        return;
    }
    const int step = percent_ / 10 * 10;
    if (step == lastShown_)
        return;
    err_ << label_ << ": " << step << "%\n";
    lastShown_ = step;
}

} // namespace vapora::tool
