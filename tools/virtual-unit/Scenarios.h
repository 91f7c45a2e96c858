#pragma once
// Drive scenarios for the simulated engine, by name or written out.

#include "sim/EngineModel.h"

#include <optional>
#include <string>
#include <vector>

namespace vapora::virtualunit {

// "idle", "drive", "revs", or targets "rpm:throttle:map:steps;..." (steps 0 = hold).
std::optional<std::vector<sernox::EngineTarget>> ParseScenario(const std::string& text);

} // namespace vapora::virtualunit
