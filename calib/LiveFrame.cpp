#include "calib/LiveFrame.h"

#include "model/Ntc.h"

namespace vapora {
namespace {

int Word(const uint8_t* p) { return p[0] | (p[1] << 8); }

} // namespace

double LiveVolts(int raw) { return raw * 5.0 / 255.0; }

int LivePressureKpa(int raw) { return raw * 1000 / 1020 + 10; }

int DifferentialPressure(int gasRaw, int mapRaw, double coefficient)
{
    if (gasRaw <= 5)
        return 0;
    const int pg = LivePressureKpa(gasRaw);
    const int pm = LivePressureKpa(mapRaw);
    return static_cast<int>((pg - 100) - (pm - 100) * coefficient);
}

EngineTail EngineTailFor(int length, bool hasTwoProbes, bool isUnitKind3)
{
    if (hasTwoProbes)
        return length >= 16 ? EngineTail::Probe2 : EngineTail::None;
    if (isUnitKind3 && length >= 15)
        return EngineTail::Kind3;
    return EngineTail::None;
}

bool DecodeEngineBlock(const uint8_t* buffer, int length, double pressureCoefficient, bool hasTwoProbes,
                       bool isUnitKind3, EngineValues& v)
{
    // The unit always sends the fixed part; a shorter answer is a broken one.
    if (buffer == nullptr || length < kEngineBlockBase)
        return false;
    v.giri = Word(buffer);
    v.lambdaRaw = buffer[2];
    v.lambda = LiveVolts(buffer[2]);
    v.tpsRaw = buffer[3];
    v.tps = LiveVolts(buffer[3]);
    v.mapRaw = buffer[4];
    v.mapKpa = LivePressureKpa(buffer[4]);
    v.mapVolts = LiveVolts(buffer[4]);
    v.pressione = DifferentialPressure(buffer[5], buffer[4], pressureCoefficient);
    v.correttore = static_cast<int8_t>(buffer[6]);
    v.apertura = Word(buffer + 7);
    v.variazioneTps = buffer[9];
    v.arricchimento = buffer[10];
    v.flags = buffer[11];

    switch (EngineTailFor(length, hasTwoProbes, isUnitKind3)) {
    case EngineTail::Probe2:
        v.lambda2Raw = buffer[12];
        v.lambda2 = LiveVolts(buffer[12]);
        v.correttore2 = static_cast<int8_t>(buffer[13]);
        v.apertura2 = Word(buffer + 14);
        break;
    case EngineTail::Kind3:
        v.analog2 = LiveVolts(buffer[12]);
        v.injBenzinaRaw = Word(buffer + 13);
        v.injBenzinaMs = v.injBenzinaRaw * 0.004;
        break;
    case EngineTail::None: break;
    }
    return true;
}

bool DecodeStatusBlock(const uint8_t* buffer, int length, StatusValues& v)
{
    if (buffer == nullptr || length < kStatusBlockBase)
        return false;
    v.temperaturaRaw = buffer[0];
    v.temperaturaValid = buffer[0] != 0;
    if (v.temperaturaValid)
        v.temperatura = NtcRawToCelsius(buffer[0]);
    v.livello = buffer[1];
    v.flags = buffer[2];
    return true;
}

} // namespace vapora
