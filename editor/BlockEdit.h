#pragma once
// The arithmetic of a block modification (the "Variazione cella" dialog):
// every selected cell gets a new value from its old one and the entered value.

namespace vapora {

enum ModMode { kModAbsolute = 0, kModLinear = 1, kModPercentage = 2 };

// Absolute: v; linear: old + v; percentage: old x (1 + v / 100), truncated.
int BlockValue(int old, int v, int mode);
double BlockValue(double old, double v, int mode);

// Enrichment grid row 6 keeps seconds and shows milliseconds.
double BlockSeconds(double oldSeconds, int vMs, int mode);
int SecondsToShownMs(double seconds);

} // namespace vapora
