#pragma once
// Makes the unit the setting asks for (see LinkSetting.h).

#include "LinkSetting.h"
#include "Unit.h"

#include <memory>

namespace sernox::wire {

std::unique_ptr<Unit> MakeUnit(const LinkSetting& setting);
// From the environment or SerNoxDL.conf beside the library.
std::unique_ptr<Unit> MakeConfiguredUnit();

} // namespace sernox::wire
