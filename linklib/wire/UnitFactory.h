#pragma once
// Makes the unit the setting asks for (see LinkSetting.h).

#include "LinkSetting.h"
#include "Unit.h"

#include <memory>

namespace sernox::wire {

std::unique_ptr<Unit> MakeUnit(const LinkSetting& setting);
// The unit the setting in force names, looked up again at each opening (LinkChoice.h).
std::unique_ptr<Unit> MakeConfiguredUnit();

} // namespace sernox::wire
