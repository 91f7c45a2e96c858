#pragma once
// The petrol correction of the live strip: how far, in thousandths, the
// measured petrol injection time lies from the petrol map at the live point.

namespace vapora {

class ConfCar;

// column and row: the petrol marker's cell; manifoldVolts: the second manifold
// voltage; measuredMs: the injection time the unit reports. Interpolates the
// map along load and speed from that cell; 0 where the arithmetic would
// divide by zero (equal neighbouring breakpoints, a map value of 0).
int PetrolCorrection(const ConfCar& car, int column, int row, double manifoldVolts, int speed, double measuredMs);

} // namespace vapora
