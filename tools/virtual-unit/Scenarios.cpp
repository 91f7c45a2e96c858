#include "Scenarios.h"

#include <sstream>

namespace vapora::virtualunit {

using sernox::EngineModel;
using sernox::EngineTarget;

std::optional<std::vector<EngineTarget>> ParseScenario(const std::string& text)
{
    if (text == "idle")
        return std::vector<EngineTarget>{{EngineModel::kIdleRpm, EngineModel::kIdleThrottle, EngineModel::kIdleMap, 0}};
    // Town driving: pull away, cruise, accelerate, lift off, back to idle; over and over.
    if (text == "drive") {
        std::vector<EngineTarget> lap{{EngineModel::kIdleRpm, EngineModel::kIdleThrottle, EngineModel::kIdleMap, 40},
                                      {2200, 90, 110, 60},
                                      {2800, 110, 140, 80},
                                      {4200, 200, 210, 40},
                                      {3000, EngineModel::kIdleThrottle, 20, 30},
                                      {1500, 70, 80, 40}};
        std::vector<EngineTarget> all;
        for (int i = 0; i < 50; ++i)
            all.insert(all.end(), lap.begin(), lap.end());
        all.push_back({EngineModel::kIdleRpm, EngineModel::kIdleThrottle, EngineModel::kIdleMap, 0});
        return all;
    }
    // Standing revs for a guided calibration: each running point held a while.
    if (text == "revs") {
        std::vector<EngineTarget> all;
        for (int rpm : {850, 1500, 2000, 2500, 3000, 3500, 4000, 2500})
            all.push_back({rpm, 40 + rpm / 40, 30 + rpm / 40, rpm == 2500 ? 0 : 150});
        all.back().steps = 0;
        return all;
    }
    std::vector<EngineTarget> targets;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ';')) {
        EngineTarget t;
        char c1 = 0, c2 = 0, c3 = 0;
        std::istringstream fields(item);
        if (!(fields >> t.rpm >> c1 >> t.throttle >> c2 >> t.map >> c3 >> t.steps) || c1 != ':' || c2 != ':'
            || c3 != ':' || t.rpm < 0 || t.throttle < 0 || t.throttle > 255 || t.map < 0 || t.map > 255 || t.steps < 0)
            return std::nullopt;
        targets.push_back(t);
    }
    if (targets.empty())
        return std::nullopt;
    return targets;
}

} // namespace vapora::virtualunit
