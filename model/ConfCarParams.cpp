// Scalar parameters by identifier: the data codes the editor's widgets carry.

#include "model/ConfCar.h"

#include "model/CodeTables.h"
#include "model/Conversions.h"
#include "model/Ntc.h"
#include "model/ParamIds.h"

#include <cmath>
#include <span>

namespace vapora {
namespace {

using params::Conversion;

bool IsTpsBitField(int32_t id) { return id == ids::kTpsBit7 || id == ids::kTpsBits0to2 || id == ids::kTpsBits3to5; }

// False when the value has no raw form (a list index outside its table).
bool Raw(Conversion kind, double value, int32_t& raw)
{
    switch (kind) {
    case Conversion::Volts: raw = conv::RawFromVolts(value); return true;
    case Conversion::Celsius: raw = CelsiusToNtcRaw(value); return true;
    case Conversion::SlowSeconds: raw = conv::RawFromSlowSeconds(value); return true;
    case Conversion::FastSeconds: raw = conv::RawFromFastSeconds(value); return true;
    case Conversion::Times20: raw = conv::RawFromTimes20(value); return true;
    case Conversion::Times50: raw = conv::RawFromTimes50(value); return true;
    case Conversion::Negated: raw = conv::Trunc(-value); return true;
    case Conversion::LambdaCode:
    case Conversion::CylinderCode: {
        const int32_t index = conv::Trunc(value);
        const auto& table = kind == Conversion::LambdaCode ? std::span<const int32_t>(codes::kLambda)
                                                           : std::span<const int32_t>(codes::kCylinders);
        if (index < 0 || index >= static_cast<int>(table.size()))
            return false;
        raw = kind == Conversion::LambdaCode ? (table[index] | 0x40) : table[index];
        return true;
    }
    default: raw = conv::Trunc(value); return true;
    }
}

} // namespace

double ConfCar::GetParam(int32_t id)
{
    if (id == ids::kGiriPerCambio)
        return GiriPerCambio & ~1;
    if (IsTpsBitField(id)) {
        if (id == ids::kTpsBits3to5 && (TipoDiTps & 0x40) != 0)
            return 0;
        return (TipoDiTps >> ids::BitShift(id)) & ((1 << ids::BitWidth(id)) - 1);
    }
    const params::Param* p = params::FindDataCode(id);
    if (p == nullptr)
        return 800000;
    int32_t* field = p->Data(*this);
    if (p->reread)
        LinkRead(id, field);
    return params::Engineering(*p, 0, *field, *this);
}

bool ConfCar::ComputeParamRaw(int32_t id, double value, int32_t current, int32_t& raw) const
{
    if (id == ids::kGiriPerCambio) {
        // Held in the word's range first, so that the mode bit survives.
        const int32_t rpm = params::GiriPerCambio.Range().Clamp(conv::Trunc(value));
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
    const params::Param* p = params::FindDataCode(id);
    return p != nullptr && Raw(p->conversion, value, raw);
}

int ConfCar::SetParam(int32_t id, double value)
{
    if (id < 0)
        return -1;
    const params::Param* p = IsTpsBitField(id) ? &params::TipoDiTps : params::FindDataCode(id);
    if (p == nullptr)
        return 0;
    int32_t* field = p->Data(*this);
    // NaN and infinity have no raw form.
    if (!std::isfinite(value))
        return 0;
    Modified = true;
    int32_t raw = 0;
    if (!ComputeParamRaw(id, value, *field, raw))
        return 0;
    // Whatever the editor's limits (or with them unlocked), the field keeps its parameter's range.
    raw = p->Range().Clamp(raw);
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
