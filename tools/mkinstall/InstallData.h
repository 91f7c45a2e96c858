#pragma once
// The main folder tree the program runs in: example configurations, reset
// files, calibration base maps, version names and a sample firmware.

#include <filesystem>
#include <string>

namespace vapora::install {

// A gas map cell for an engine of the given displacement: rises with load (MAP
// breakpoint, raw byte) and with speed.
int BaseMapCell(int displacementCc, int mapRaw, int rpm);

// A valid S-record image: S0 header, contiguous S1 data from 0x1000, S9.
std::string SampleFirmware(const std::string& name, int bytes);

// The name a calibration base map gets so that its displacement reads back
// from the four characters five before the first ".": "Cal#1400a.vap".
std::string BaseMapName(bool methane, int displacementCc);

// Writes the whole tree under root. False with a message in error on failure.
bool WriteInstallation(const std::filesystem::path& root, std::string& error);

} // namespace vapora::install
