#pragma once
// Decoding of the two live blocks the unit sends: the engine block (selector 0)
// and the status block (selector 1). One decoder for every reader; only the
// pressure coefficient is the reader's choice.

#include <cstdint>

namespace vapora {

struct EngineValues {
    int giri = 0;            // rpm
    int lambdaRaw = 0;
    double lambda = 0;       // probe 1, volts
    int tpsRaw = 0;
    double tps = 0;          // volts
    int mapRaw = 0;
    int mapKpa = 0;
    double mapVolts = 0;
    int pressione = 0;       // differential gas pressure, kPa (hundredths of a bar); 0 = no reading
    int correttore = 0;      // bank 1 lambda correction, signed
    int apertura = 0;        // bank 1 opening
    int variazioneTps = 0;
    int arricchimento = 0;
    uint8_t flags = 0;       // engine status bits
    // Tail with two probes.
    int lambda2Raw = 0;
    double lambda2 = 0;
    int correttore2 = 0;
    int apertura2 = 0;
    // Tail of model-3 units.
    double analog2 = 0;      // second analog input, volts
    int injBenzinaRaw = 0;
    double injBenzinaMs = 0;
};

struct StatusValues {
    int temperaturaRaw = 0;
    bool temperaturaValid = false; // raw 0 is shown as no value
    double temperatura = 0;        // C
    int livello = 0;
    uint8_t flags = 0;
};

// Engine status flags (byte 11).
constexpr uint8_t kEngineIdle = 1;
constexpr uint8_t kEngineCursorGreen = 2;
constexpr uint8_t kEngineCutoff = 4;
constexpr uint8_t kEngineTpsHigh = 8;
// Unit status flags (status block byte 2).
constexpr uint8_t kUnitProbe2Enabled = 4;
constexpr uint8_t kUnitOnGas = 8;
constexpr uint8_t kUnitProbe1Enabled = 16;

constexpr int kEngineBlockBase = 12;
constexpr int kStatusBlockBase = 3;

// Fixed pressure coefficients of the parameter display and the guided calibration.
constexpr double kPressureCoeffLpg = 1.8;
constexpr double kPressureCoeffCng = 2.4;

double LiveVolts(int raw);
int LivePressureKpa(int raw);
int DifferentialPressure(int gasRaw, int mapRaw, double coefficient);

enum class EngineTail { None, Probe2, Kind3 };

// Which tail the block carries for this unit and length.
EngineTail EngineTailFor(int length, bool hasTwoProbes, bool isUnitKind3);

// Decodes bytes 0..11 always and the tail when the unit's kind and the length
// allow it; otherwise the tail fields of values keep what they held. False when
// the block is too short to hold its fixed part (values untouched).
bool DecodeEngineBlock(const uint8_t* buffer, int length, double pressureCoefficient, bool hasTwoProbes,
                       bool isUnitKind3, EngineValues& values);

bool DecodeStatusBlock(const uint8_t* buffer, int length, StatusValues& values);

} // namespace vapora
