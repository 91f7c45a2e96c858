#include "editor/MapHistory.h"

namespace vapora {

void MapHistory::Reset(const MapState& current)
{
    seen_ = current;
    undo_.clear();
    redo_.clear();
}

bool MapHistory::Follow(const MapState& current)
{
    if (current == seen_)
        return false;
    Reset(current);
    return true;
}

void MapHistory::Record(const MapState& before, const MapState& after)
{
    seen_ = after;
    if (before.values.size() != after.values.size()) {
        undo_.clear();
        redo_.clear();
        return;
    }
    MapStep step;
    for (size_t i = 0; i < after.values.size(); ++i)
        if (before.values[i] != after.values[i])
            step.changes.push_back({static_cast<int>(i), before.values[i], after.values[i]});
    if (step.changes.empty())
        return;
    redo_.clear();
    undo_.push_back(std::move(step));
    Trim(undo_);
}

void MapHistory::Trim(std::vector<MapStep>& steps)
{
    if (steps.size() > limit_)
        steps.erase(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() - limit_));
}

int MapHistory::Finish(std::vector<MapStep>& from, std::vector<MapStep>& to, const MapState& now, bool undo)
{
    if (from.empty())
        return 0;
    MapStep& step = from.back();
    MapStep done;
    MapStep left;
    for (const MapChange& change : step.changes) {
        const auto at = static_cast<size_t>(change.item);
        const int32_t value = at < now.values.size() ? now.values[at] : 0;
        const int32_t wanted = undo ? change.before : change.after;
        if (value == wanted) {
            done.changes.push_back(change);
            continue;
        }
        // Still to do: the step goes from what the record holds now.
        MapChange rest = change;
        (undo ? rest.after : rest.before) = value;
        if (rest.before != rest.after)
            left.changes.push_back(rest);
    }
    const int refused = static_cast<int>(step.changes.size() - done.changes.size());
    if (left.changes.empty())
        from.pop_back();
    else
        step = std::move(left);
    if (!done.changes.empty()) {
        to.push_back(std::move(done));
        Trim(to);
    }
    seen_ = now;
    return refused;
}

int MapHistory::FinishUndo(const MapState& now) { return Finish(undo_, redo_, now, true); }

int MapHistory::FinishRedo(const MapState& now) { return Finish(redo_, undo_, now, false); }

} // namespace vapora
