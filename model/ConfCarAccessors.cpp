// Accessors of the record's tables and flags, in engineering units, with
// write-through to the unit.

#include "model/ConfCar.h"

#include "model/CodeTables.h"
#include "model/Conversions.h"
#include "model/Ntc.h"
#include "model/ParamIds.h"

#include <algorithm>
#include <cmath>

namespace vapora {
namespace {

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }
bool InRange(double v, double lo, double hi) { return v >= lo && v <= hi; }

} // namespace

template <class Send>
void ConfCar::Commit(int32_t& field, int32_t raw, Send send)
{
    Modified = true;
    if (WriteThrough && !send())
        return;
    field = raw;
    ClearOfficial();
}

void ConfCar::CommitElement(int32_t& field, int32_t id, int32_t index, int32_t raw)
{
    Commit(field, raw, [&] { return LinkWriteElement(id, index, raw); });
}

void ConfCar::CommitScalar(int32_t& field, int32_t id, int32_t raw)
{
    Commit(field, raw, [&] { return LinkWriteValue(id, raw); });
}

void ConfCar::ClearOfficial()
{
    if (GetStatusFlag(kOfficial))
        SetStatusFlag(kOfficial, false);
}

// ---- gas map, adaptive table, breakpoints ----

int ConfCar::GetGasMapCell(int row, int col) const
{
    if (!InRange(row, 0, kMapRows - 1) || !InRange(col, 0, kMapCols - 1))
        return 0;
    return MappaCarburazione[row][col];
}

void ConfCar::SetGasMapCell(int row, int col, int steps)
{
    if (!InRange(row, 0, kMapRows - 1) || !InRange(col, 0, kMapCols - 1) || !InRange(steps, 0, 510))
        return;
    Commit(MappaCarburazione[row][col], steps, [&] { return LinkWriteCell(ids::kGasMapCell, row, col, steps); });
}

int ConfCar::GetAdaptCell(int row, int col) const
{
    if (!InRange(row, 0, kMapRows - 1) || !InRange(col, 0, kMapCols - 1))
        return 0;
    return Adattativita[row][col];
}

void ConfCar::SetAdaptCell(int row, int col, int steps)
{
    if (!InRange(row, 0, kMapRows - 1) || !InRange(col, 0, kMapCols - 1) || !InRange(steps, -127, 127))
        return;
    Commit(Adattativita[row][col], steps, [&] { return LinkWriteCell(ids::kAdaptCell, row, col, steps); });
}

double ConfCar::GetMapRef(int index) const
{
    return InRange(index, 0, kMapRows - 1) ? conv::VoltsFromRaw(RifMAP[index]) : 0;
}

void ConfCar::SetMapRef(int index, double volts)
{
    if (!InRange(index, 0, kMapRows - 1) || !InRange(volts, 0.0, 5.0))
        return;
    CommitElement(RifMAP[index], ids::kRifMapElem, index, conv::RawFromVolts(volts));
}

int ConfCar::GetRpmRef(int index) const { return InRange(index, 0, kMapCols - 1) ? RifGiri[index] : 0; }

void ConfCar::SetRpmRef(int index, int rpm)
{
    if (!InRange(index, 0, kMapCols - 1) || !InRange(rpm, 0, 10000))
        return;
    CommitElement(RifGiri[index], ids::kRifGiriElem, index, rpm);
}

// ---- petrol map ----

double ConfCar::GetPetrolMapCell(int row, int col) const
{
    if (!InRange(row, 0, kPetrolSize - 1) || !InRange(col, 0, kPetrolSize - 1))
        return 0;
    return conv::PetrolMsFromRaw(MappaBenzina[row][col]);
}

void ConfCar::SetPetrolMapCell(int row, int col, double ms)
{
    if (!InRange(row, 0, kPetrolSize - 1) || !InRange(col, 0, kPetrolSize - 1) || !InRange(ms, 0.0, 25.0))
        return;
    const int32_t raw = conv::RawFromPetrolMs(ms);
    Modified = true;
    if (WriteThrough && !LinkWriteCell(ids::kPetrolMapCell, row, col, raw))
        return;
    MappaBenzina[row][col] = raw;
    // The test is on the value given: a tiny time that rounds to 0 still counts.
    if (ms != 0 && MappaBenzinaAmmessa)
        MappaBenzinaPresente = true;
    ClearOfficial();
}

double ConfCar::GetPetrolMapRef(int index) const
{
    return InRange(index, 0, kPetrolSize - 1) ? conv::VoltsFromRaw(RifMAPB[index]) : 0;
}

void ConfCar::SetPetrolMapRef(int index, double volts)
{
    if (!InRange(index, 0, kPetrolSize - 1) || !InRange(volts, 0.0, 5.0))
        return;
    CommitElement(RifMAPB[index], ids::kRifMapBElem, index, conv::RawFromVolts(volts));
}

int ConfCar::GetPetrolRpmRef(int index) const { return InRange(index, 0, kPetrolSize - 1) ? RifGiriB[index] : 0; }

void ConfCar::SetPetrolRpmRef(int index, int rpm)
{
    if (!InRange(index, 0, kPetrolSize - 1) || !InRange(rpm, 0, 10000))
        return;
    CommitElement(RifGiriB[index], ids::kRifGiriBElem, index, rpm);
}

// ---- per-column parameters ----

int ConfCar::GetOpenLoop(int col, int part) const
{
    if (!InRange(col, 0, kMapCols - 1))
        return 0;
    return part == 1 ? (RifOpenLoop[col] & 0x03) : ((RifOpenLoop[col] >> 2) & 0x0F);
}

void ConfCar::SetOpenLoop(int col, int part, int value)
{
    if (!InRange(col, 0, kMapCols - 1) || !InRange(value, 0, part == 1 ? 3 : 7))
        return;
    const int32_t raw = part == 1 ? (RifOpenLoop[col] & ~0x03) | value : (RifOpenLoop[col] & ~0x3C) | (value << 2);
    CommitElement(RifOpenLoop[col], ids::kOpenLoopElem, col, raw);
}

int ConfCar::GetStepParam(int col, int kind) const
{
    if (!InRange(col, 0, kMapCols - 1))
        return 0;
    switch (kind) {
    case 1: return (PassiInv[col] >> 4) & 0x0F;
    case 2: return PassiInv[col] & 0x0F;
    case 3: return static_cast<int>(conv::Times20FromRaw(PassiIngr[col]));
    case 4: return static_cast<int>(conv::Times20FromRaw(PassiSmag[col]));
    default: return 0;
    }
}

void ConfCar::SetStepParam(int col, int kind, int value)
{
    Modified = true;
    if (!InRange(col, 0, kMapCols - 1))
        return;
    switch (kind) {
    case 1:
        if (InRange(value, 0, 15))
            CommitElement(PassiInv[col], ids::kPassiInvElem, col, (PassiInv[col] & 0x0F) | (value << 4));
        break;
    case 2:
        if (InRange(value, 0, 15))
            CommitElement(PassiInv[col], ids::kPassiInvElem, col, (PassiInv[col] & 0xF0) | value);
        break;
    case 3:
        if (InRange(value, 0, 5100))
            CommitElement(PassiIngr[col], ids::kPassiIngrElem, col, conv::RawFromTimes20(value));
        break;
    case 4:
        if (InRange(value, 0, 5100))
            CommitElement(PassiSmag[col], ids::kPassiSmagElem, col, conv::RawFromTimes20(value));
        break;
    default: break;
    }
}

// ---- level sensor ----

int ConfCar::GetSensorRef(int index) const
{
    if (!InRange(index, 0, 3))
        return 0;
    const int32_t raw = RifSensore[index];
    if (SensoreResistivo) {
        // A full-scale reading is an open circuit: answer the largest resistance.
        if (raw >= 255)
            return 100000;
        return static_cast<int>(raw * 120.0 / (255 - raw) + 0.5);
    }
    return IsSensorInverted() ? 255 - raw : raw;
}

void ConfCar::SetSensorRef(int index, int value)
{
    Modified = true;
    if (!InRange(index, 0, 3))
        return;
    int32_t raw = 0;
    if (SensoreResistivo) {
        if (!InRange(value, 0, 100000))
            return;
        raw = static_cast<int32_t>(value * 255.0 / (value + 120.0) + 0.5);
    } else {
        if (!InRange(value, 0, 255))
            return;
        raw = IsSensorInverted() ? 255 - value : value;
    }
    CommitElement(RifSensore[index], ids::kRifSensoreElem, index, raw);
}

// ---- enrichment ----

int ConfCar::GetEnrichParam(int band, int kind) const
{
    if (!InRange(band, 0, kBands - 1))
        return 0;
    switch (kind) {
    case 1: return ArrPerTps[band];
    case 2: return ArriccUscitaMin[band];
    case 3: return Arricc2UscitaMin[band];
    case 4: return static_cast<int>(conv::Times5FromRaw(DecrCumulo[band]));
    case 5: return VarCumulo[band];
    default: return 0;
    }
}

void ConfCar::SetEnrichParam(int band, int kind, int value)
{
    Modified = true;
    if (!InRange(band, 0, kBands - 1))
        return;
    switch (kind) {
    case 1:
        if (InRange(value, 0, 255))
            CommitElement(ArrPerTps[band], ids::kArrPerTpsElem, band, value);
        break;
    case 2:
        if (InRange(value, 0, 255))
            CommitElement(ArriccUscitaMin[band], ids::kArriccUscitaMinElem, band, value);
        break;
    case 3:
        if (InRange(value, 0, 255))
            CommitElement(Arricc2UscitaMin[band], ids::kArricc2UscitaMinElem, band, value);
        break;
    case 4:
        if (InRange(value, 0, 1275))
            CommitElement(DecrCumulo[band], ids::kDecrCumuloElem, band, conv::RawFromTimes5(value));
        break;
    case 5:
        if (InRange(value, 0, 255))
            CommitElement(VarCumulo[band], ids::kVarCumuloElem, band, value);
        break;
    default: break;
    }
}

int ConfCar::GetStartEnrich() const { return ArriccUscitaMin[1]; }

void ConfCar::SetStartEnrich(int value)
{
    SetEnrichParam(0, 2, value);
    SetEnrichParam(1, 2, value);
}

double ConfCar::GetPetrolEnrichTime(int band) const
{
    if (!InRange(band, 0, kBands - 1))
        return 0;
    const int slot = SoftwareVersion() >= 15 ? band : 0;
    return conv::FastSecondsFromRaw(TempoArrBenzina[slot]);
}

void ConfCar::SetPetrolEnrichTime(int band, double seconds)
{
    if (!InRange(band, 0, kBands - 1) || std::isnan(seconds))
        return;
    const int32_t raw = conv::RawFromFastSeconds(std::clamp(seconds, 0.0, 1.0));
    if (SoftwareVersion() >= 15) {
        if (WriteThrough && !LinkWriteElement(ids::kTempoArrBenzinaElem, band, raw))
            return;
        TempoArrBenzina[band] = raw;
        return;
    }
    // Older units keep one time for every band.
    if (WriteThrough && !LinkWriteValue(ids::kTempoArrBenzinaOld, raw))
        return;
    for (int32_t& slot : TempoArrBenzina)
        slot = raw;
}

// ---- diagnosis words and temperatures ----

int ConfCar::GetDiagParam(int index, int kind)
{
    if (!InRange(index, 0, 1))
        return 0;
    if (kind == 1) {
        LinkRead(ids::kStatoBlock, Stato);
        return Stato[index];
    }
    return kind == 2 ? Abilitazione[index] : 0;
}

void ConfCar::SetDiagParam(int index, int kind, int value)
{
    Modified = true;
    if (!InRange(index, 0, 1) || !InRange(value, 0, 65535))
        return;
    if (kind == 1)
        CommitElement(Stato[index], ids::kStatoElem, index, value);
    else if (kind == 2)
        CommitElement(Abilitazione[index], ids::kAbilitazioneElem, index, value);
}

int ConfCar::GetTempParam(int index, int kind) const
{
    if (kind == 1)
        return InRange(index, 0, 8) ? TempCoeff[index] : 0;
    if (kind != 2 || !InRange(index, 0, 9))
        return 0;
    if (index == 0 || index == 9)
        return TempRif[index];
    return static_cast<int>(vapora::NtcRawToCelsius(TempRif[index]) + 0.5);
}

void ConfCar::SetTempParam(int index, int kind, double value)
{
    Modified = true;
    if (kind == 1) {
        if (InRange(index, 0, 8) && InRange(value, 0.0, 255.0))
            CommitElement(TempCoeff[index], ids::kTempCoeffElem, index, static_cast<int32_t>(value));
        return;
    }
    if (kind != 2 || !InRange(index, 0, 9) || !std::isfinite(value))
        return;
    if (index == 0 || index == 9) {
        if (InRange(value, 0.0, 255.0))
            CommitElement(TempRif[index], ids::kTempRifElem, index, static_cast<int32_t>(value));
        return;
    }
    CommitElement(TempRif[index], ids::kTempRifElem, index, vapora::CelsiusToNtcRaw(value));
}

// ---- status word and configuration name ----

bool ConfCar::GetStatusFlag(int flag) const
{
    const int bit = flag == kMethane ? 0x40 : 0x80;
    return (StatoConfigurazione[0] & bit) != 0;
}

bool ConfCar::SetStatusFlag(int flag, bool on)
{
    int32_t word = StatoConfigurazione[0];
    if (flag == kMethane || flag == kOfficial)
        word = on ? (word | flag) : (word & ~flag);
    // Sent whatever WriteThrough says: the flags follow the unit even offline.
    if (!LinkWriteElement(ids::kStatoConfigElem, 0, word))
        return false;
    StatoConfigurazione[0] = word;
    return true;
}

std::string ConfCar::GetConfigName()
{
    NomeBreve.clear();
    for (int i = 0; i < kNameLength; ++i) {
        const auto c = static_cast<char>(StatoConfigurazione[i + 2] & 0xFF);
        if (c == '\0')
            break;
        NomeBreve.push_back(c);
    }
    return NomeBreve;
}

void ConfCar::SetConfigName(const std::string& name)
{
    const int n = static_cast<int>(std::min<size_t>(name.size(), kNameLength));
    if (WriteThrough) {
        for (int i = 0; i < n; ++i)
            if (!LinkWriteElement(ids::kStatoConfigElem, i + 2, static_cast<uint8_t>(name[i])))
                return;
    }
    for (int i = 0; i < n; ++i)
        StatoConfigurazione[i + 2] = static_cast<uint8_t>(name[i]);
    if (n < kNameLength) {
        if (!LinkWriteElement(ids::kStatoConfigElem, n + 2, 0))
            return;
        StatoConfigurazione[n + 2] = 0;
    }
    if (nameChanged_)
        nameChanged_();
}

// ---- adaptivity, changeover, emulation, sensor type, TPS, climate, probes ----

void ConfCar::SetAdaptEnabled(bool on)
{
    Modified = true;
    const int32_t word = on ? (Adattativo | 2) : (Adattativo & ~2);
    if (WriteThrough && !LinkWriteValue(ids::kAdattativo, word))
        return;
    Adattativo = word;
}

int ConfCar::GetChangeoverMode() const
{
    if (GiriPerCambio == 0 && TempoSovrapposizione == 0)
        return 2;
    return GiriPerCambio & 1;
}

void ConfCar::SetChangeoverMode(int mode)
{
    if (mode == 0 || mode == 1) {
        const int32_t rpm = CambioSospeso ? GiriCambioSalvati : GiriPerCambio;
        const int32_t overlap = CambioSospeso ? SovrapposizioneSalvata : TempoSovrapposizione;
        const int32_t word = mode == 0 ? (rpm & ~1) : (rpm | 1);
        // The kept values are dropped only once the unit has taken them back.
        if (WriteThrough &&
            (!LinkWriteValue(ids::kGiriPerCambio, word) || !LinkWriteValue(ids::kTempoSovrapposizione, overlap)))
            return;
        CambioSospeso = false;
        GiriPerCambio = word;
        TempoSovrapposizione = overlap;
    } else if (mode == 2) {
        if (WriteThrough &&
            (!LinkWriteValue(ids::kGiriPerCambio, 0) || !LinkWriteValue(ids::kTempoSovrapposizione, 0)))
            return;
        // Switching off twice must not lose the kept values.
        if (!CambioSospeso) {
            GiriCambioSalvati = GiriPerCambio != 0 ? GiriPerCambio : 1000;
            SovrapposizioneSalvata = TempoSovrapposizione;
        }
        CambioSospeso = true;
        GiriPerCambio = 0;
        TempoSovrapposizione = 0;
    } else {
        return;
    }
    Modified = true;
    ClearOfficial();
}

namespace {

struct EmulationPreset {
    int type;
    int32_t alto, basso, sconnessa, onde;
};

constexpr EmulationPreset kEmulation[] = {
    {0, 0, 0, 50, 1}, {1, 0, 50, 0, 1}, {2, 18, 18, 0, 1}, {4, 18, 18, 0, 255}};

} // namespace

int ConfCar::GetEmulationType() const
{
    for (const EmulationPreset& p : kEmulation) {
        if (p.type == 4)
            break;
        if (TempoAlto == p.alto && TempoBasso == p.basso && TempoSondaSconnessa == p.sconnessa && NumeroOnde == p.onde)
            return p.type;
    }
    return NumeroOnde == 255 ? 4 : 3;
}

void ConfCar::SetEmulationType(int type)
{
    Modified = true;
    const EmulationPreset* preset = nullptr;
    for (const EmulationPreset& p : kEmulation)
        if (p.type == type)
            preset = &p;
    if (preset == nullptr)
        return;
    if (WriteThrough &&
        (!LinkWriteValue(ids::kTempoAlto, preset->alto) || !LinkWriteValue(ids::kTempoBasso, preset->basso) ||
         !LinkWriteValue(ids::kTempoSondaSconnessa, preset->sconnessa) ||
         !LinkWriteValue(ids::kNumeroOnde, preset->onde)))
        return;
    TempoAlto = preset->alto;
    TempoBasso = preset->basso;
    TempoSondaSconnessa = preset->sconnessa;
    NumeroOnde = preset->onde;
    ClearOfficial();
}

int ConfCar::GetSensorTypeIndex()
{
    const int index = codes::IndexOf(codes::kLevelSensor, TipoSensore);
    SensoreResistivo = index == 2;
    return index;
}

void ConfCar::SetSensorType(int index)
{
    Modified = true;
    if (!InRange(index, 0, static_cast<int>(codes::kLevelSensor.size()) - 1))
        return;
    const int32_t code = codes::kLevelSensor[index];
    if (WriteThrough && !LinkWriteValue(ids::kTipoSensore, code))
        return;
    SensoreResistivo = false;
    TipoSensore = code;
    if (index <= 2)
        for (int i = 0; i < 4; ++i)
            SetSensorRef(i, codes::kDefaultSensorRefs[index][i]);
    SensoreResistivo = index == 2;
    ClearOfficial();
}

int ConfCar::GetTpsWire() const
{
    if ((TipoDiTps & 0x40) == 0)
        return 0;
    return (TipoDiTps & 0x10) != 0 ? 2 : 1;
}

void ConfCar::SetTpsWire(int mode)
{
    int32_t word = TipoDiTps;
    switch (mode) {
    case 0: word &= ~(0x10 | 0x40); break;
    case 1: word = (word | 0x40) & ~(0x08 | 0x10); break;
    case 2: word = (word | 0x40 | 0x10) & ~0x08; break;
    default: return;
    }
    if (WriteThrough && !LinkWriteValue(ids::kTipoDiTps, word))
        return;
    TipoDiTps = word;
}

void ConfCar::ClearTpsWire()
{
    if ((TipoDiTps & 0x40) != 0)
        SetTpsWire(0);
}

void ConfCar::SetClimateEffect(int delta)
{
    delta = std::clamp(delta, -10, 10);
    if (delta == EffettoClima)
        return;
    if (WriteThrough && !LinkWriteValue(ids::kEffettoClima, delta))
        return;
    const int shift = delta - EffettoClima;
    EffettoClima = delta;
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < 2; ++c)
            SetGasMapCell(r, c, MappaCarburazione[r][c] + shift);
}

bool ConfCar::HasTwoProbes() const
{
    return ModelCode() == 1 && (SoftwareVersion() < 12 || (Flag1 & 4) == 0);
}

void ConfCar::SetProbeCount(int n)
{
    const int32_t word = n == 2 ? (Flag1 & ~4) : (Flag1 | 4);
    if (WriteThrough && !LinkWriteValue(ids::kFlag1, word))
        return;
    Flag1 = word;
    SetDiagParam(0, 1, GetDiagParam(0, 1) & ~0x700);
}

bool ConfCar::IsLambdaCodeFree()
{
    if (!Connected())
        return true;
    LinkRead(ids::kTipoDiLambda, &TipoDiLambda);
    return (TipoDiLambda & 0x40) == 0;
}

void ConfCar::CheckPetrolMap()
{
    MappaBenzinaPresente = false;
    if (!Connected())
        MappaBenzinaAmmessa = true;
    if (!MappaBenzinaAmmessa)
        return;
    for (const auto& row : MappaBenzina)
        for (int32_t cell : row)
            if (cell != 0)
                MappaBenzinaPresente = true;
}

int ConfCar::GetEnrichBandRpm(int band) const
{
    if (!InRange(band, 1, 5))
        return 0;
    return ((RifGiri[3 * band] + RifGiri[3 * band - 1]) / 100) * 50;
}

// ---- vehicle data ----

int ConfCar::GetVehicleNumber(int kind) const
{
    switch (kind) {
    case 6: return CentCubici;
    case 7: return Valvole;
    case 8: return NCilindri;
    case 9: return AnnoVettura;
    default: return 0;
    }
}

void ConfCar::SetVehicleNumber(int kind, int value)
{
    switch (kind) {
    case 6: CentCubici = value; break;
    case 7: Valvole = value; break;
    case 8: NCilindri = value; break;
    case 9: AnnoVettura = value; break;
    default: break;
    }
}

std::string ConfCar::GetVehicleText(int kind) const
{
    switch (kind) {
    case 1: return DescrizAuto;
    case 2: return Euro;
    case 3: return Motore;
    case 4: return Centralina;
    case 5: return Cambio;
    default: return {};
    }
}

void ConfCar::SetVehicleText(int kind, const std::string& text)
{
    switch (kind) {
    case 1: DescrizAuto = text.substr(0, kVehicleTextMax); break;
    case 2: Euro = text.substr(0, kEuroMax); break;
    case 3: Motore = text.substr(0, kVehicleTextMax); break;
    case 4: Centralina = text.substr(0, kVehicleTextMax); break;
    case 5: Cambio = text.substr(0, kVehicleTextMax); break;
    default: break;
    }
}

// ---- whole-record operations ----

bool ConfCar::ResetUnit()
{
    WriteThrough = false;
    SetDefaults(true);
    WriteThrough = true;
    WriteAll();
    return true;
}

bool ConfCar::ResetAdaptation()
{
    Modified = true;
    const int32_t zeros[kMapCols] = {};
    for (int r = 0; r < kMapRows; ++r)
        if (!LinkWriteRow(ids::kAdaptRow, zeros, r))
            return false;
    for (auto& row : Adattativita)
        for (int32_t& cell : row)
            cell = 0;
    return true;
}

} // namespace vapora
