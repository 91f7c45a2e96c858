#pragma once

namespace sernox {

class ParamStore;

// Fills a fresh store with what a unit leaves the factory with: the program's
// reset configuration for LPG (named "ResetLpg", official flag clear), except
// that the gas map is not empty but 10% leaner than the simulated engine
// needs, so the car runs and a calibration has something to correct.
// The petrol map is empty, as on a new unit.
void LoadInitialConfiguration(ParamStore& store);

} // namespace sernox
