// Scalar parameters by identifier: the data codes the editor's widgets carry.

#include "model/ConfCar.h"

#include "model/CodeTables.h"
#include "model/Conversions.h"
#include "model/Ntc.h"
#include "model/ParamIds.h"

#include <cmath>

namespace vapora {
namespace {

enum class Kind { Plain, Volts, Celsius, SlowSeconds, FastSeconds, Times20, Times50, Negated, Lambda, Cylinders };

struct ScalarParam {
    int32_t id;
    Kind kind;
    bool reread; // re-read from the unit before answering
};

constexpr ScalarParam kScalars[] = {
    {ids::kFlag1, Kind::Plain, false},
    {ids::kTipoDiLambda, Kind::Lambda, false},
    {ids::kRifLambda, Kind::Volts, true},
    {ids::kRifSupSondaFredda, Kind::Volts, true},
    {ids::kRifInfSondaFredda, Kind::Volts, true},
    {ids::kRifSupSondaCalda, Kind::Volts, true},
    {ids::kRifInfSondaCalda, Kind::Volts, true},
    {ids::kRitardoLetturaSonda, Kind::Plain, false},
    {ids::kTempoSondaFredda, Kind::Plain, false},
    {ids::kRitardoMinimoCambio, Kind::Plain, false},
    {ids::kFasciaGiriMinimo, Kind::Plain, false},
    {ids::kMotoreCutoff, Kind::Plain, false},
    {ids::kMotoreFineCutoff, Kind::Plain, false},
    {ids::kTipoDiTps, Kind::Plain, false},
    {ids::kNumeroOnde, Kind::Plain, false},
    {ids::kPassiSbana, Kind::Plain, false},
    {ids::kMinCumulo, Kind::Plain, false},
    {ids::kTpsArrBenzina, Kind::Plain, false},
    {ids::kAdattativo, Kind::Plain, false},
    {ids::kTempoRitBenzina, Kind::Plain, false},
    {ids::kLimitazioneCorrettore, Kind::Plain, false},
    {ids::kFuoriGiri, Kind::Plain, false},
    {ids::kGiriCutoff, Kind::Plain, false},
    {ids::kGiriSbana, Kind::Plain, false},
    {ids::kGiriArrBenzina, Kind::Plain, false},
    {ids::kTemperaturaCambio, Kind::Celsius, false},
    {ids::kTempoSovrapposizione, Kind::SlowSeconds, false},
    {ids::kRitardoCutoff, Kind::SlowSeconds, false},
    {ids::kTempoAlto, Kind::SlowSeconds, false},
    {ids::kTempoBasso, Kind::SlowSeconds, false},
    {ids::kTempoSondaSconnessa, Kind::SlowSeconds, false},
    {ids::kNumeroCilindri, Kind::Cylinders, false},
    {ids::kTempoPassiCutoff, Kind::Times20, false},
    {ids::kTempoChSbana, Kind::Times20, false},
    {ids::kTempoApSbana, Kind::Times20, false},
    {ids::kIsteresi, Kind::Volts, false},
    {ids::kTpsSbana, Kind::Volts, false},
    {ids::kTpsMoltoFuori, Kind::Volts, false},
    {ids::kTempoMinArrBenzina, Kind::FastSeconds, false},
    {ids::kRegistroDiagnosi, Kind::Plain, true},
    {ids::kNumeroReset, Kind::Plain, true},
    {ids::kLivelloAlto, Kind::Volts, true},
    {ids::kLivelloBasso, Kind::Volts, true},
    {ids::kCilindrata, Kind::Times50, false},
    {ids::kTempoGas, Kind::Times20, true},
    {ids::kTempoBenzina, Kind::Times20, true},
    {ids::kMaxErroreIntegrale, Kind::Plain, false},
    {ids::kMaxErroreIntegraleAlMinimo, Kind::Plain, false},
    {ids::kCorrRientroMin, Kind::Plain, false},
    {ids::kMinErroreIntegrale, Kind::Negated, false},
    {ids::kMinErroreIntegraleAlMinimo, Kind::Negated, false},
};

const ScalarParam* FindScalar(int32_t id)
{
    for (const ScalarParam& p : kScalars)
        if (p.id == id)
            return &p;
    return nullptr;
}

bool IsTpsBitField(int32_t id) { return id == ids::kTpsBit7 || id == ids::kTpsBits0to2 || id == ids::kTpsBits3to5; }

double Engineering(Kind kind, int32_t raw)
{
    switch (kind) {
    case Kind::Plain: return raw;
    case Kind::Volts: return conv::VoltsFromRaw(raw);
    case Kind::Celsius: return NtcRawToCelsius(raw);
    case Kind::SlowSeconds: return conv::SlowSecondsFromRaw(raw);
    case Kind::FastSeconds: return conv::FastSecondsFromRaw(raw);
    case Kind::Times20: return conv::Times20FromRaw(raw);
    case Kind::Times50: return conv::Times50FromRaw(raw);
    case Kind::Negated: return -raw;
    case Kind::Lambda: return codes::IndexOf(codes::kLambda, raw & ~0x40);
    case Kind::Cylinders: return codes::IndexOf(codes::kCylinders, raw);
    }
    return 0;
}

// False when the value has no raw form (a list index outside its table).
bool Raw(Kind kind, double value, int32_t& raw)
{
    switch (kind) {
    case Kind::Plain: raw = conv::Trunc(value); return true;
    case Kind::Volts: raw = conv::RawFromVolts(value); return true;
    case Kind::Celsius: raw = CelsiusToNtcRaw(value); return true;
    case Kind::SlowSeconds: raw = conv::RawFromSlowSeconds(value); return true;
    case Kind::FastSeconds: raw = conv::RawFromFastSeconds(value); return true;
    case Kind::Times20: raw = conv::RawFromTimes20(value); return true;
    case Kind::Times50: raw = conv::RawFromTimes50(value); return true;
    case Kind::Negated: raw = conv::Trunc(-value); return true;
    case Kind::Lambda:
    case Kind::Cylinders: {
        const int32_t index = conv::Trunc(value);
        const auto& table = kind == Kind::Lambda ? std::span<const int32_t>(codes::kLambda)
                                                 : std::span<const int32_t>(codes::kCylinders);
        if (index < 0 || index >= static_cast<int>(table.size()))
            return false;
        raw = kind == Kind::Lambda ? (table[index] | 0x40) : table[index];
        return true;
    }
    }
    return false;
}

} // namespace

int32_t* ConfCar::ScalarField(int32_t id)
{
    switch (id) {
    case ids::kFlag1: return &Flag1;
    case ids::kTipoDiLambda: return &TipoDiLambda;
    case ids::kRifLambda: return &RifLambda;
    case ids::kRitardoLetturaSonda: return &RitardoLetturaSonda;
    case ids::kTempoSondaFredda: return &TempoSondaFredda;
    case ids::kRifSupSondaFredda: return &RifSupSondaFredda;
    case ids::kRifInfSondaFredda: return &RifInfSondaFredda;
    case ids::kRifSupSondaCalda: return &RifSupSondaCalda;
    case ids::kRifInfSondaCalda: return &RifInfSondaCalda;
    case ids::kTemperaturaCambio: return &TemperaturaCambio;
    case ids::kGiriPerCambio: return &GiriPerCambio;
    case ids::kRitardoMinimoCambio: return &RitardoMinimoCambio;
    case ids::kTempoSovrapposizione: return &TempoSovrapposizione;
    case ids::kFuoriGiri: return &FuoriGiri;
    case ids::kNumeroCilindri: return &NumeroCilindri;
    case ids::kFasciaGiriMinimo: return &FasciaGiriMinimo;
    case ids::kGiriCutoff: return &GiriCutoff;
    case ids::kMotoreCutoff: return &MotoreCutoff;
    case ids::kMotoreFineCutoff: return &MotoreFineCutoff;
    case ids::kTempoPassiCutoff: return &TempoPassiCutoff;
    case ids::kRitardoCutoff: return &RitardoCutoff;
    case ids::kTipoDiTps: return &TipoDiTps;
    case ids::kIsteresi: return &Isteresi;
    case ids::kTempoAlto: return &TempoAlto;
    case ids::kTempoBasso: return &TempoBasso;
    case ids::kTempoSondaSconnessa: return &TempoSondaSconnessa;
    case ids::kNumeroOnde: return &NumeroOnde;
    case ids::kTipoSensore: return &TipoSensore;
    case ids::kMaxErroreIntegrale: return &MaxErroreIntegrale;
    case ids::kMinErroreIntegrale: return &MinErroreIntegrale;
    case ids::kMaxErroreIntegraleAlMinimo: return &MaxErroreIntegraleAlMinimo;
    case ids::kMinErroreIntegraleAlMinimo: return &MinErroreIntegraleAlMinimo;
    case ids::kTpsSbana: return &TpsSbana;
    case ids::kGiriSbana: return &GiriSbana;
    case ids::kPassiSbana: return &PassiSbana;
    case ids::kMinCumulo: return &MinCumulo;
    case ids::kTempoMinArrBenzina: return &TempoMinArrBenzina;
    case ids::kTpsArrBenzina: return &TpsArrBenzina;
    case ids::kTempoGas: return &TempoGas;
    case ids::kTempoBenzina: return &TempoBenzina;
    case ids::kAdattativo: return &Adattativo;
    case ids::kTempoRitBenzina: return &TempoRitBenzina;
    case ids::kTpsMoltoFuori: return &TpsMoltoFuori;
    case ids::kRegistroDiagnosi: return &RegistroDiagnosi;
    case ids::kNumeroReset: return &NumeroReset;
    case ids::kTempoChSbana: return &TempoChSbana;
    case ids::kTempoApSbana: return &TempoApSbana;
    case ids::kLivelloAlto: return &LivelloAlto;
    case ids::kLivelloBasso: return &LivelloBasso;
    case ids::kCorrRientroMin: return &CorrRientroMin;
    case ids::kGiriArrBenzina: return &GiriArrBenzina;
    case ids::kCilindrata: return &Cilindrata;
    case ids::kEffettoClima: return &EffettoClima;
    case ids::kLimitazioneCorrettore: return &LimitazioneCorrettore;
    default: return nullptr;
    }
}

double ConfCar::GetParam(int32_t id)
{
    if (id == ids::kGiriPerCambio)
        return GiriPerCambio & ~1;
    if (IsTpsBitField(id)) {
        if (id == ids::kTpsBits3to5 && (TipoDiTps & 0x40) != 0)
            return 0;
        return (TipoDiTps >> ids::BitShift(id)) & ((1 << ids::BitWidth(id)) - 1);
    }
    const ScalarParam* p = FindScalar(id);
    if (p == nullptr)
        return 800000;
    int32_t* field = ScalarField(id);
    if (field == nullptr)
        return 800000;
    if (p->reread)
        LinkRead(id, field);
    return Engineering(p->kind, *field);
}

bool ConfCar::ComputeParamRaw(int32_t id, double value, int32_t current, int32_t& raw) const
{
    if (id == ids::kGiriPerCambio) {
        // Held in the word's range first, so that the mode bit survives.
        const int32_t rpm = ids::RangeOfParam(ids::ParamNumber(id)).Clamp(conv::Trunc(value));
        raw = (rpm & ~1) | (current & 1);
        return true;
    }
    const int32_t bits = ids::RawRange{0, 255}.Clamp(conv::Trunc(value));
    if (id == ids::kTpsBit7) {
        raw = (current & ~0x80) | ((bits & 1) << 7);
        return true;
    }
    if (id == ids::kTpsBits0to2) {
        raw = (current & ~1) | bits;
        return true;
    }
    if (id == ids::kTpsBits3to5) {
        raw = (current & ~0x18) | (bits << 3);
        return true;
    }
    const ScalarParam* p = FindScalar(id);
    return p != nullptr && Raw(p->kind, value, raw);
}

int ConfCar::SetParam(int32_t id, double value)
{
    if (id < 0)
        return -1;
    int32_t* field = IsTpsBitField(id) ? &TipoDiTps : ScalarField(id);
    if (field == nullptr || (!IsTpsBitField(id) && id != ids::kGiriPerCambio && FindScalar(id) == nullptr))
        return 0;
    // NaN and infinity have no raw form.
    if (!std::isfinite(value))
        return 0;
    Modified = true;
    int32_t raw = 0;
    if (!ComputeParamRaw(id, value, *field, raw))
        return 0;
    // Whatever the editor's limits (or with them unlocked), the field keeps its parameter's range.
    raw = ids::RangeOfParam(IsTpsBitField(id) ? ids::ParamNumber(ids::kTipoDiTps) : ids::ParamNumber(id)).Clamp(raw);
    // Sent with the identifier received, whatever WriteThrough says.
    if (!LinkWriteValue(id, raw))
        return 0;
    const bool changed = *field != raw;
    *field = raw;
    if (changed)
        ClearOfficial();
    return 1;
}

} // namespace vapora
