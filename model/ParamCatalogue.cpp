#include "model/ParamCatalogue.h"

#include "model/CodeTables.h"
#include "model/Conversions.h"
#include "model/Ntc.h"

#include <array>
#include <cctype>
#include <charconv>
#include <iterator>

namespace vapora::params {
namespace {

constexpr const Param* kAll[] = {
    &Ready,           &Flag1,          &TipoDiLambda,       &RifLambda,           &RitardoLetturaSonda,
    &TempoSondaFredda, &RifSupSondaFredda, &RifInfSondaFredda, &RifSupSondaCalda,  &RifInfSondaCalda,
    &RifGiri,         &RifMAP,         &MappaCarburazione,  &TemperaturaCambio,   &GiriPerCambio,
    &RitardoMinimoCambio, &TempoSovrapposizione, &FuoriGiri, &NumeroCilindri,     &FasciaGiriMinimo,
    &GiriCutoff,      &MotoreCutoff,   &TempoPassiCutoff,   &RitardoCutoff,       &TipoDiTps,
    &Isteresi,        &RifOpenLoop,    &PassiInv,           &PassiIngr,           &PassiSmag,
    &TempoAlto,       &TempoBasso,     &TempoSondaSconnessa, &NumeroOnde,         &TipoSensore,
    &RifSensore,      &MaxErroreIntegrale, &MinErroreIntegrale, &MaxErroreIntegraleAlMinimo,
    &MinErroreIntegraleAlMinimo, &TempRif, &TempCoeff,      &TpsSbana,            &GiriSbana,
    &PassiSbana,      &ArriccUscitaMin, &VarCumulo,         &ArrPerTps,           &DecrCumulo,
    &MinCumulo,       &TempoArrBenzinaOld, &StatoConfigurazione, &TempoMinArrBenzina, &Adattativita,
    &TpsArrBenzina,   &Stato,          &Abilitazione,       &TempoGas,            &TempoBenzina,
    &Adattativo,      &TempoRitBenzina, &TpsMoltoFuori,     &RegistroDiagnosi,    &NumeroReset,
    &TempoChSbana,    &TempoApSbana,   &LivelloAlto,        &LivelloBasso,        &CorrRientroMin,
    &GiriArrBenzina,  &Cilindrata,     &Compatibility1,     &MotoreFineCutoff,    &Arricc2UscitaMin,
    &EffettoClima,    &TempoArrBenzina, &LimitazioneCorrettore, &Compatibility2,  &RifMAPB,
    &RifGiriB,        &MappaBenzina,
};

constexpr bool InNumberOrder()
{
    for (size_t i = 1; i < std::size(kAll); ++i)
        if (kAll[i - 1]->number >= kAll[i]->number)
            return false;
    return true;
}
static_assert(InNumberOrder(), "one entry per parameter, in number order");

// ---- the file's fixed order ----

enum class ItemKind : uint8_t { Keys, Paired, Columns, Mark };

struct FileItem {
    ItemKind kind = ItemKind::Keys;
    const Param* a = nullptr;
    const Param* b = nullptr; // Paired: element n of a, then element n of b
    FileMark mark{};
};

constexpr FileItem Keys(const Param& p) { return {ItemKind::Keys, &p}; }
constexpr FileItem Paired(const Param& a, const Param& b) { return {ItemKind::Paired, &a, &b}; }
// A table column by column, with a mark after each column.
constexpr FileItem Columns(const Param& p) { return {ItemKind::Columns, &p}; }
constexpr FileItem Mark(FileMark::Kind kind) { return {ItemKind::Mark, nullptr, nullptr, {kind, 0, 0}}; }
constexpr FileItem Step(int8_t save, int8_t load)
{
    return {ItemKind::Mark, nullptr, nullptr, {FileMark::Group, save, load}};
}

constexpr FileItem kGasMap[] = {Keys(RifGiri), Keys(RifMAP), Mark(FileMark::Breakpoints), Columns(MappaCarburazione)};
constexpr FileItem kPetrolMap[] = {Keys(RifGiriB), Keys(RifMAPB), Mark(FileMark::Breakpoints), Columns(MappaBenzina)};

constexpr FileItem kParameters[] = {
    Keys(Flag1),
    Keys(TipoDiLambda), Keys(RifLambda), Keys(RitardoLetturaSonda), Keys(TempoSondaFredda), Keys(RifSupSondaFredda),
    Keys(RifInfSondaFredda), Keys(RifSupSondaCalda), Keys(RifInfSondaCalda),
    Step(1, 2),
    Keys(TemperaturaCambio), Keys(GiriPerCambio), Keys(TempoSovrapposizione), Keys(RitardoMinimoCambio),
    Keys(FuoriGiri),
    Step(1, 2),
    Keys(NumeroCilindri), Keys(FasciaGiriMinimo),
    Keys(GiriCutoff), Keys(RitardoCutoff), Keys(MotoreCutoff), Keys(MotoreFineCutoff), Keys(TempoPassiCutoff),
    Keys(TipoDiTps), Keys(Isteresi), Keys(TpsMoltoFuori),
    Step(1, 2),
    Keys(RifOpenLoop), Keys(PassiInv),
    Step(1, 3),
    Paired(PassiIngr, PassiSmag),
    Step(2, 2),
    Keys(TempoAlto), Keys(TempoBasso), Keys(TempoSondaSconnessa), Keys(NumeroOnde), Keys(LivelloAlto),
    Keys(LivelloBasso),
    Keys(TipoSensore), Keys(TempoRitBenzina), Keys(RifSensore),
    Step(1, 3),
    Keys(MinErroreIntegrale), Keys(MaxErroreIntegrale), Keys(MaxErroreIntegraleAlMinimo),
    Keys(MinErroreIntegraleAlMinimo), Keys(TpsSbana), Keys(GiriSbana), Keys(PassiSbana), Keys(TempoApSbana),
    Keys(TempoChSbana), Keys(CorrRientroMin), Keys(EffettoClima),
    Keys(DecrCumulo), Keys(ArriccUscitaMin), Keys(Arricc2UscitaMin), Keys(ArrPerTps), Keys(VarCumulo),
    Step(2, 2),
    Keys(MinCumulo), Keys(TempoArrBenzina), Keys(TpsArrBenzina), Keys(TempoMinArrBenzina), Keys(GiriArrBenzina),
    Paired(Stato, Abilitazione),
    Keys(TempRif), Keys(TempCoeff),
    Keys(LimitazioneCorrettore),
};

std::span<const FileItem> ItemsOf(FilePart part)
{
    switch (part) {
    case FilePart::GasMap: return kGasMap;
    case FilePart::PetrolMap: return kPetrolMap;
    case FilePart::Parameters: return kParameters;
    }
    return {};
}

int Decimals(Conversion c)
{
    switch (c) {
    case Conversion::Volts:
    case Conversion::SlowSeconds: return 2;
    case Conversion::PetrolMs:
    case Conversion::FastSeconds: return 3;
    case Conversion::Celsius: return 1;
    default: return 0;
    }
}

std::string Fixed(double v, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

bool IsLastOrFirst(const Param& p, int index) { return index == 0 || index == p.Count() - 1; }

} // namespace

std::string Param::ElementKey(int index) const
{
    std::string k(key.empty() ? std::to_string(number) : std::string(key));
    if (Rows() > 1)
        return k + std::to_string(index / Columns()) + "_" + std::to_string(index % Columns());
    if (Count() == 1 || (index == 0 && firstUnnumbered))
        return k;
    return k + std::to_string(index);
}

std::span<const Param* const> All() { return kAll; }

const Param* Find(int32_t number)
{
    // Every value a file loads and every transfer asks: a table by number, made once.
    static const auto byNumber = [] {
        std::array<const Param*, 256> table{};
        for (const Param* p : kAll)
            if (p->number >= 0 && p->number < 256 && table[static_cast<size_t>(p->number)] == nullptr)
                table[static_cast<size_t>(p->number)] = p;
        return table;
    }();
    return number >= 0 && number < 256 ? byNumber[static_cast<size_t>(number)] : nullptr;
}

const Param* FindById(int32_t id)
{
    const Param* p = Find(ids::ParamNumber(id));
    if (p == nullptr)
        return nullptr;
    const bool fits = ids::IsBlock(id) ? (p->Block() != 0 && id == p->Block()) : id == p->Single();
    return fits ? p : nullptr;
}

const Param* FindDataCode(int32_t id)
{
    const Param* p = FindById(id);
    return p != nullptr && p->dataCode && id == p->Single() && p->HasField() ? p : nullptr;
}

bool AppliesTo(const Param& p, int softwareVersion)
{
    switch (p.condition) {
    case Condition::BelowVersion15: return softwareVersion < 15;
    case Condition::FromVersion15: return softwareVersion >= 15;
    default: return true;
    }
}

Element FindElement(const ConfCar& car, const int32_t* at)
{
    Element found;
    for (const Param* p : kAll) {
        if (!p->HasField())
            continue;
        const int32_t* data = p->Data(car);
        if (at < data || at >= data + p->Count())
            continue;
        if (found.param == nullptr || p->Count() > found.param->Count())
            found = {p, static_cast<int>(at - data)};
    }
    return found;
}

std::string GroupKey(int32_t id, int32_t row)
{
    const Param* p = FindById(id);
    if (p == nullptr)
        return std::to_string(id);
    if (!ids::IsBlock(id))
        return p->ElementKey(0);
    const int first = row >= 0 ? row * p->Columns() : 0;
    const int last = row >= 0 ? first + p->Columns() - 1 : p->Count() - 1;
    return p->ElementKey(first) + ".." + p->ElementKey(last);
}

double Engineering(const Param& p, int index, int32_t raw, const ConfCar& record)
{
    switch (p.conversion) {
    case Conversion::Plain:
    case Conversion::OpenLoopRows:
    case Conversion::StepNibbles: return raw;
    case Conversion::Volts: return conv::VoltsFromRaw(raw);
    case Conversion::PetrolMs: return conv::PetrolMsFromRaw(raw);
    case Conversion::SlowSeconds: return conv::SlowSecondsFromRaw(raw);
    case Conversion::FastSeconds: return conv::FastSecondsFromRaw(raw);
    case Conversion::Times20: return conv::Times20FromRaw(raw);
    case Conversion::Times5: return conv::Times5FromRaw(raw);
    case Conversion::Times50: return conv::Times50FromRaw(raw);
    case Conversion::Celsius: return NtcRawToCelsius(raw);
    case Conversion::TempRef:
        return IsLastOrFirst(p, index) ? raw : static_cast<int>(NtcRawToCelsius(raw) + 0.5);
    case Conversion::Negated: return static_cast<double>(-static_cast<int64_t>(raw));
    case Conversion::EvenRpm: return raw & ~1;
    case Conversion::LambdaCode: return codes::IndexOf(codes::kLambda, raw & ~0x40);
    case Conversion::CylinderCode: return codes::IndexOf(codes::kCylinders, raw);
    case Conversion::LevelCode: return codes::IndexOf(codes::kLevelSensor, raw);
    case Conversion::LevelRef:
        if (codes::IndexOf(codes::kLevelSensor, record.TipoSensore) == 2)
            return raw >= 255 ? 100000 : static_cast<int>(raw * 120.0 / (255 - raw) + 0.5);
        return (record.TipoSensore & 0x80) != 0 ? 255 - raw : raw;
    }
    return raw;
}

std::string EngineeringText(const Param& p, int index, int32_t raw, const ConfCar& record)
{
    if (p.conversion == Conversion::OpenLoopRows)
        return std::to_string(raw & 0x03) + "/" + std::to_string((raw >> 2) & 0x0F);
    if (p.conversion == Conversion::StepNibbles)
        return std::to_string((raw >> 4) & 0x0F) + "/" + std::to_string(raw & 0x0F);
    return Fixed(Engineering(p, index, raw, record), Decimals(p.conversion));
}

std::string_view UnitOf(const Param& p, int index)
{
    if (p.conversion == Conversion::TempRef && IsLastOrFirst(p, index))
        return {};
    if (p.conversion == Conversion::LevelRef)
        return {};
    return p.unit;
}

void WalkFilePart(FilePart part, const std::function<void(const Param&, int)>& key,
                  const std::function<void(const FileMark&)>& mark)
{
    auto markAt = [&mark](const FileMark& m) {
        if (mark)
            mark(m);
    };
    for (const FileItem& item : ItemsOf(part)) {
        switch (item.kind) {
        case ItemKind::Keys:
            for (int i = 0; i < item.a->Count(); ++i)
                key(*item.a, i);
            break;
        case ItemKind::Paired:
            for (int i = 0; i < item.a->Count(); ++i) {
                key(*item.a, i);
                key(*item.b, i);
            }
            break;
        case ItemKind::Columns:
            for (int c = 0; c < item.a->Columns(); ++c) {
                for (int r = 0; r < item.a->Rows(); ++r)
                    key(*item.a, r * item.a->Columns() + c);
                markAt({FileMark::Column, 0, 0});
            }
            break;
        case ItemKind::Mark: markAt(item.mark); break;
        }
    }
}

Element FindFileKey(std::string_view section, std::string_view key)
{
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    Element found;
    auto visit = [&](const Param& p, int i) {
        if (!found && same(p.section, section) && same(p.ElementKey(i), key))
            found = {&p, i};
    };
    visit(Cilindrata, 0);
    for (FilePart part : {FilePart::GasMap, FilePart::PetrolMap, FilePart::Parameters})
        WalkFilePart(part, visit);
    return found;
}

std::vector<ValueDifference> CompareRecords(const ConfCar& a, const ConfCar& b)
{
    std::vector<ValueDifference> out;
    auto compare = [&](const Param& p, int i) {
        const int32_t ra = p.Data(a)[i];
        const int32_t rb = p.Data(b)[i];
        if (ra == rb)
            return;
        out.push_back({&p, i, p.ElementKey(i), p.section, p.caption, UnitOf(p, i), ra, rb, Engineering(p, i, ra, a),
                       Engineering(p, i, rb, b), EngineeringText(p, i, ra, a), EngineeringText(p, i, rb, b)});
    };
    compare(Cilindrata, 0);
    for (FilePart part : {FilePart::GasMap, FilePart::PetrolMap, FilePart::Parameters})
        WalkFilePart(part, compare);
    return out;
}

} // namespace vapora::params
