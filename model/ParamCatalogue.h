#pragma once
// One description per unit parameter: its number and element form (from which its
// identifiers and raw range follow), the record field that keeps it, its file section and
// key, its engineering conversion and unit, the caption a window shows it with, and what
// the software version or the petrol map decides about it. The transfers, the files, the
// names in messages, the scalars by identifier, the comparisons and the simulated unit all
// read it, so a parameter is added or corrected here and nowhere else.

#include "model/ConfCar.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vapora::ids {

// Identifier bits: the parameter number in bits 0-7, then the form. Bits 12-19 hold the
// element count of a block; bits 20-27 appear only in the bit-field data codes over
// parameter 26 (shift in 20-23, width in 24-27).
constexpr int32_t kBlock = 0x100;
constexpr int32_t kWord = 0x200;
constexpr int32_t kSigned = 0x400;

constexpr int32_t ParamNumber(int32_t id) { return id & 0xFF; }
constexpr bool IsBlock(int32_t id) { return (id & kBlock) != 0; }
constexpr bool IsWord(int32_t id) { return (id & kWord) != 0; }
constexpr bool IsSigned(int32_t id) { return (id & kSigned) != 0; }
constexpr int32_t ElementCount(int32_t id) { return (id >> 12) & 0xFF; }
constexpr int32_t BitShift(int32_t id) { return (id >> 20) & 0xF; }
constexpr int32_t BitWidth(int32_t id) { return (id >> 24) & 0xF; }

constexpr int32_t Block(int32_t param, int32_t count, int32_t flags)
{
    return param | kBlock | flags | (count << 12);
}

constexpr int32_t BitField(int32_t single, int32_t shift, int32_t width)
{
    return single | (shift << 20) | (width << 24);
}

// The values an element can hold. The record keeps every field inside its parameter's
// range and the simulated unit refuses anything outside it.
struct RawRange {
    int32_t min;
    int32_t max;
    constexpr bool Contains(int32_t v) const { return v >= min && v <= max; }
    constexpr int32_t Clamp(int32_t v) const { return v < min ? min : (v > max ? max : v); }
};

} // namespace vapora::ids

namespace vapora::params {

// How the accessors turn a raw value into what the windows show.
enum class Conversion : uint8_t {
    Plain,
    Volts,        // raw x 5 / 255
    PetrolMs,     // raw x 0.004
    SlowSeconds,  // raw x 0.02
    FastSeconds,  // raw x 0.005
    Times20,
    Times5,
    Times50,
    Celsius,      // the NTC curve
    TempRef,      // the NTC curve rounded to whole degrees; the first and last elements are raw
    Negated,      // shown as its opposite
    EvenRpm,      // bit 0 is the changeover mode, not part of the rpm
    LambdaCode,   // index in the lambda code table, bit 6 aside
    CylinderCode, // index in the cylinder code table
    LevelCode,    // index in the level sensor code table
    LevelRef,     // a resistance for the resistive sensor, mirrored for an inverted one
    OpenLoopRows, // two counts packed in one byte: bits 0-1 and bits 2-5
    StepNibbles,  // two step counts packed in one byte: high and low nibble
};

// What decides whether the unit is asked for a parameter at all.
enum class Condition : uint8_t {
    Always,
    BelowVersion15, // units before software version 15 keep one value for every band
    FromVersion15,
    PetrolMap,      // moved only with a petrol map: allowed by the unit on reading, present on writing
};

// Where the record keeps a parameter: the first element and the shape as the unit moves it.
struct FieldRef {
    int32_t* (*data)(ConfCar&) = nullptr;
    int rows = 1;
    int columns = 1;
};

template <auto Member>
int32_t* DataOf(ConfCar& car)
{
    auto& field = car.*Member;
    using T = std::remove_reference_t<decltype(field)>;
    if constexpr (std::rank_v<T> == 2)
        return &field[0][0];
    else if constexpr (std::rank_v<T> == 1)
        return &field[0];
    else
        return &field;
}

template <class>
struct MemberType;
template <class C, class T>
struct MemberType<T C::*> {
    using type = T;
};

// A whole field of the record: a value, an array or a table of rows.
template <auto Member>
inline constexpr FieldRef Field = [] {
    using T = typename MemberType<decltype(Member)>::type;
    if constexpr (std::rank_v<T> == 2)
        return FieldRef{&DataOf<Member>, static_cast<int>(std::extent_v<T, 0>), static_cast<int>(std::extent_v<T, 1>)};
    else
        return FieldRef{&DataOf<Member>, 1, static_cast<int>(std::extent_v<T, 0> > 0 ? std::extent_v<T, 0> : 1)};
}();

// Only the first element of a field.
template <auto Member>
inline constexpr FieldRef FirstOf = FieldRef{&DataOf<Member>, 1, 1};

struct Param {
    int32_t number = 0;
    int32_t form = 0;            // ids::kWord and ids::kSigned as the identifiers carry them
    FieldRef field{};            // no data: the record keeps no field for it
    std::string_view section{};  // file section; empty when files never hold it
    std::string_view key{};      // file key, or the prefix of its elements' keys; names it in messages
    Conversion conversion = Conversion::Plain;
    std::string_view unit{};     // of the engineering value
    std::string_view caption{};  // dictionary key of the text a window shows it with
    Condition condition = Condition::Always;
    bool readOnly = false;       // the unit only reports it
    bool dataCode = false;       // served by GetParam / SetParam under its single identifier
    bool reread = false;         // GetParam asks the unit for it first
    bool firstUnnumbered = false; // element 0's key has no index

    constexpr int Rows() const { return field.rows; }
    constexpr int Columns() const { return field.columns; }
    constexpr int Count() const { return field.rows * field.columns; }
    constexpr bool Word() const { return (form & ids::kWord) != 0; }
    constexpr bool Signed() const { return (form & ids::kSigned) != 0; }
    constexpr bool HasField() const { return field.data != nullptr; }

    // The value, element or cell identifier.
    constexpr int32_t Single() const { return number | form; }
    // The whole block, or one row of a table; 0 for a single value.
    constexpr int32_t Block() const { return Count() > 1 ? ids::Block(number, Columns(), form) : 0; }

    constexpr ids::RawRange Range() const
    {
        if (Signed())
            return Word() ? ids::RawRange{-32768, 32767} : ids::RawRange{-128, 127};
        return Word() ? ids::RawRange{0, 65535} : ids::RawRange{0, 255};
    }

    int32_t* Data(ConfCar& car) const { return field.data(car); }
    const int32_t* Data(const ConfCar& car) const { return field.data(const_cast<ConfCar&>(car)); }

    // The key of element `index`: the key, key + index, or key + row + "_" + column.
    std::string ElementKey(int index) const;
};

using C = ConfCar;
using Cv = Conversion;
inline constexpr int32_t W = ids::kWord;
inline constexpr int32_t S = ids::kSigned;
inline constexpr std::string_view kVolts = "V", kRpm = "rpm", kSeconds = "s", kMs = "ms", kCelsius = "\xC2\xB0" "C";

// ---- the parameters, in number order ----
inline constexpr Param Ready{.number = 2, .key = "Pronto", .readOnly = true};
inline constexpr Param Flag1{.number = 3, .field = Field<&C::Flag1>, .section = "Generale", .key = "Flag1",
                             .dataCode = true};
inline constexpr Param TipoDiLambda{.number = 4, .field = Field<&C::TipoDiLambda>, .section = "Lambda",
                                    .key = "TipoDiLambda", .conversion = Cv::LambdaCode,
                                    .caption = "LabelTipoLambda", .dataCode = true};
inline constexpr Param RifLambda{.number = 5, .field = Field<&C::RifLambda>, .section = "Lambda", .key = "RifLambda",
                                 .conversion = Cv::Volts, .unit = kVolts, .caption = "LabelRifLambda",
                                 .dataCode = true, .reread = true};
inline constexpr Param RitardoLetturaSonda{.number = 6, .field = Field<&C::RitardoLetturaSonda>, .section = "Lambda",
                                           .key = "RitardoLetturaSonda", .unit = kSeconds,
                                           .caption = "LabelRitardoLambda", .dataCode = true};
inline constexpr Param TempoSondaFredda{.number = 7, .field = Field<&C::TempoSondaFredda>, .section = "Lambda",
                                        .key = "TempoSondaFredda", .unit = kSeconds,
                                        .caption = "LabelTempoSondaFredda", .dataCode = true};
inline constexpr Param RifSupSondaFredda{.number = 8, .field = Field<&C::RifSupSondaFredda>, .section = "Lambda",
                                         .key = "RifSupSondaFredda", .conversion = Cv::Volts, .unit = kVolts,
                                         .caption = "LabelRifSupFredda", .dataCode = true, .reread = true};
inline constexpr Param RifInfSondaFredda{.number = 9, .field = Field<&C::RifInfSondaFredda>, .section = "Lambda",
                                         .key = "RifInfSondaFredda", .conversion = Cv::Volts, .unit = kVolts,
                                         .caption = "LabelRifInfFredda", .dataCode = true, .reread = true};
inline constexpr Param RifSupSondaCalda{.number = 10, .field = Field<&C::RifSupSondaCalda>, .section = "Lambda",
                                        .key = "RifSupSondaCalda", .conversion = Cv::Volts, .unit = kVolts,
                                        .caption = "LabelRifSupCalda", .dataCode = true, .reread = true};
inline constexpr Param RifInfSondaCalda{.number = 11, .field = Field<&C::RifInfSondaCalda>, .section = "Lambda",
                                        .key = "RifInfSondaCalda", .conversion = Cv::Volts, .unit = kVolts,
                                        .caption = "LabelRifInfCalda", .dataCode = true, .reread = true};
inline constexpr Param RifGiri{.number = 12, .form = W, .field = Field<&C::RifGiri>, .section = "RiferimentiGiri",
                               .key = "RifGiri", .unit = kRpm, .caption = "GroupRifGiri"};
inline constexpr Param RifMAP{.number = 13, .field = Field<&C::RifMAP>, .section = "RiferimentiMAP", .key = "RifMAP",
                              .conversion = Cv::Volts, .unit = kVolts, .caption = "GroupRifMap"};
inline constexpr Param MappaCarburazione{.number = 14, .form = W, .field = Field<&C::MappaCarburazione>,
                                         .section = "MappaCarburazione", .key = "Mappa", .caption = "TabMappa"};
inline constexpr Param TemperaturaCambio{.number = 15, .field = Field<&C::TemperaturaCambio>,
                                         .section = "Accensione-Cambio", .key = "TemperaturaCambio",
                                         .conversion = Cv::Celsius, .unit = kCelsius, .caption = "LabelTempCambio",
                                         .dataCode = true};
inline constexpr Param GiriPerCambio{.number = 16, .form = W, .field = Field<&C::GiriPerCambio>,
                                     .section = "Accensione-Cambio", .key = "GiriPerCambio",
                                     .conversion = Cv::EvenRpm, .unit = kRpm, .caption = "LabelGiriCambio",
                                     .dataCode = true};
inline constexpr Param RitardoMinimoCambio{.number = 17, .field = Field<&C::RitardoMinimoCambio>,
                                           .section = "Accensione-Cambio", .key = "RitardoMinimoCambio",
                                           .unit = kSeconds, .caption = "LabelRitardoCambio", .dataCode = true};
inline constexpr Param TempoSovrapposizione{.number = 18, .field = Field<&C::TempoSovrapposizione>,
                                            .section = "Accensione-Cambio", .key = "TempoSovrapposizione",
                                            .conversion = Cv::SlowSeconds, .unit = kSeconds,
                                            .caption = "LabelSovrappCarb", .dataCode = true};
inline constexpr Param FuoriGiri{.number = 19, .form = W, .field = Field<&C::FuoriGiri>,
                                 .section = "Accensione-Cambio", .key = "FuoriGiri", .unit = kRpm,
                                 .caption = "LabelFuoriGiri", .dataCode = true};
inline constexpr Param NumeroCilindri{.number = 20, .field = Field<&C::NumeroCilindri>,
                                      .section = "Accensione-Cambio", .key = "NumeroCilindri",
                                      .conversion = Cv::CylinderCode, .caption = "LabelAccensione", .dataCode = true};
inline constexpr Param FasciaGiriMinimo{.number = 21, .field = Field<&C::FasciaGiriMinimo>,
                                        .section = "Accensione-Cambio", .key = "FasciaGiriMinimo",
                                        .caption = "LabelFasciaMin", .dataCode = true};
inline constexpr Param GiriCutoff{.number = 22, .form = W, .field = Field<&C::GiriCutoff>, .section = "Cutoff",
                                  .key = "GiriCutoff", .unit = kRpm, .caption = "LabelCutoffTot", .dataCode = true};
inline constexpr Param MotoreCutoff{.number = 23, .field = Field<&C::MotoreCutoff>, .section = "Cutoff",
                                    .key = "MotoreCutoff", .caption = "LabelMotoreCutoff", .dataCode = true};
inline constexpr Param TempoPassiCutoff{.number = 24, .field = Field<&C::TempoPassiCutoff>, .section = "Cutoff",
                                        .key = "TempoPassiCutoff", .conversion = Cv::Times20, .unit = kMs,
                                        .caption = "LabelPassiCutoff", .dataCode = true};
inline constexpr Param RitardoCutoff{.number = 25, .field = Field<&C::RitardoCutoff>, .section = "Cutoff",
                                     .key = "RitardoCutoff", .conversion = Cv::SlowSeconds, .unit = kSeconds,
                                     .caption = "LabelRitardoCutoff", .dataCode = true};
inline constexpr Param TipoDiTps{.number = 26, .field = Field<&C::TipoDiTps>, .section = "TPS", .key = "TipoDiTps",
                                 .caption = "LabelTipoTps", .dataCode = true};
inline constexpr Param Isteresi{.number = 27, .field = Field<&C::Isteresi>, .section = "TPS", .key = "Isteresi",
                                .conversion = Cv::Volts, .unit = kVolts, .caption = "LabelIstTps", .dataCode = true};
inline constexpr Param RifOpenLoop{.number = 28, .field = Field<&C::RifOpenLoop>, .section = "OpenLoop",
                                   .key = "RifOpenLoop", .conversion = Cv::OpenLoopRows,
                                   .caption = "LabelRigheOpenLoop"};
inline constexpr Param PassiInv{.number = 29, .field = Field<&C::PassiInv>, .section = "PassiInversione",
                                .key = "PassiInv", .conversion = Cv::StepNibbles, .caption = "LabelPassiInv"};
inline constexpr Param PassiIngr{.number = 30, .field = Field<&C::PassiIngr>, .section = "TempiTraPassi",
                                 .key = "PassiIngr", .conversion = Cv::Times20, .unit = kMs,
                                 .caption = "LabelTempiPassi"};
inline constexpr Param PassiSmag{.number = 31, .field = Field<&C::PassiSmag>, .section = "TempiTraPassi",
                                 .key = "PassiSmag", .conversion = Cv::Times20, .unit = kMs,
                                 .caption = "LabelTempiPassi"};
inline constexpr Param TempoAlto{.number = 32, .field = Field<&C::TempoAlto>, .section = "Emulazione",
                                 .key = "TempoAlto", .conversion = Cv::SlowSeconds, .unit = kSeconds,
                                 .caption = "LabelTempoAlto", .dataCode = true};
inline constexpr Param TempoBasso{.number = 33, .field = Field<&C::TempoBasso>, .section = "Emulazione",
                                  .key = "TempoBasso", .conversion = Cv::SlowSeconds, .unit = kSeconds,
                                  .caption = "LabelTempoBasso", .dataCode = true};
inline constexpr Param TempoSondaSconnessa{.number = 34, .form = W, .field = Field<&C::TempoSondaSconnessa>,
                                           .section = "Emulazione", .key = "TempoSondaSconnessa",
                                           .conversion = Cv::SlowSeconds, .unit = kSeconds,
                                           .caption = "LabelTempoTri", .dataCode = true};
inline constexpr Param NumeroOnde{.number = 35, .field = Field<&C::NumeroOnde>, .section = "Emulazione",
                                  .key = "NumeroOnde", .caption = "LabelOnde", .dataCode = true};
inline constexpr Param TipoSensore{.number = 36, .field = Field<&C::TipoSensore>, .section = "SensoreDiLivello",
                                   .key = "TipoSensore", .conversion = Cv::LevelCode,
                                   .caption = "LabelSensoreLivello"};
inline constexpr Param RifSensore{.number = 37, .field = Field<&C::RifSensore>, .section = "SensoreDiLivello",
                                  .key = "RifSensore", .conversion = Cv::LevelRef, .caption = "LabelRifSensore"};
inline constexpr Param MaxErroreIntegrale{.number = 38, .form = S, .field = Field<&C::MaxErroreIntegrale>,
                                          .section = "Carburazione", .key = "MaxErroreIntegrale",
                                          .caption = "LabelPassiCorrAp", .dataCode = true};
inline constexpr Param MinErroreIntegrale{.number = 39, .form = S, .field = Field<&C::MinErroreIntegrale>,
                                          .section = "Carburazione", .key = "MinErroreIntegrale",
                                          .conversion = Cv::Negated, .caption = "LabelPassiCorrCh",
                                          .dataCode = true};
inline constexpr Param MaxErroreIntegraleAlMinimo{.number = 40, .form = S,
                                                  .field = Field<&C::MaxErroreIntegraleAlMinimo>,
                                                  .section = "Carburazione", .key = "MaxErroreIntegraleAlMinimo",
                                                  .caption = "LabelPassiCorrApMin", .dataCode = true};
inline constexpr Param MinErroreIntegraleAlMinimo{.number = 41, .form = S,
                                                  .field = Field<&C::MinErroreIntegraleAlMinimo>,
                                                  .section = "Carburazione", .key = "MinErroreIntegraleAlMinimo",
                                                  .conversion = Cv::Negated, .caption = "LabelPassiCorrChMin",
                                                  .dataCode = true};
inline constexpr Param TempRif{.number = 42, .field = Field<&C::TempRif>, .section = "Temperatura", .key = "Rif",
                               .conversion = Cv::TempRef, .unit = kCelsius, .caption = "GroupBoxRif"};
inline constexpr Param TempCoeff{.number = 43, .field = Field<&C::TempCoeff>, .section = "Temperatura",
                                 .key = "Coeff", .caption = "GroupBoxCoeff"};
inline constexpr Param TpsSbana{.number = 44, .field = Field<&C::TpsSbana>, .section = "Carburazione",
                                .key = "TpsSbana", .conversion = Cv::Volts, .unit = kVolts,
                                .caption = "LabelTpsSbana", .dataCode = true};
inline constexpr Param GiriSbana{.number = 45, .form = W, .field = Field<&C::GiriSbana>, .section = "Carburazione",
                                 .key = "GiriSbana", .unit = kRpm, .caption = "LabelGiriSbana", .dataCode = true};
inline constexpr Param PassiSbana{.number = 46, .field = Field<&C::PassiSbana>, .section = "Carburazione",
                                  .key = "PassiSbana", .caption = "LabelPassiInvSbana", .dataCode = true};
inline constexpr Param ArriccUscitaMin{.number = 47, .field = Field<&C::ArriccUscitaMin>,
                                       .section = "Arricchimento", .key = "ArriccUscitaMin",
                                       .caption = "LabelArrUscitaMin"};
inline constexpr Param VarCumulo{.number = 48, .field = Field<&C::VarCumulo>, .section = "Arricchimento",
                                 .key = "VarCumulo", .caption = "LabelVelRidArr"};
inline constexpr Param ArrPerTps{.number = 49, .field = Field<&C::ArrPerTps>, .section = "Arricchimento",
                                 .key = "ArrPerTps", .caption = "LabelMaxArrTps"};
inline constexpr Param DecrCumulo{.number = 50, .field = Field<&C::DecrCumulo>, .section = "Arricchimento",
                                  .key = "DecrCumulo", .conversion = Cv::Times5, .caption = "LabelTempoArrMin"};
inline constexpr Param MinCumulo{.number = 51, .field = Field<&C::MinCumulo>, .section = "Arricchimento",
                                 .key = "MinCumulo", .caption = "LabelMinTpsArr", .dataCode = true};
// Older units keep one petrol enrichment time for every band; files keep all six under 80.
inline constexpr Param TempoArrBenzinaOld{.number = 52, .field = FirstOf<&C::TempoArrBenzina>,
                                          .key = "TempoArrBenzina", .conversion = Cv::FastSeconds,
                                          .unit = kSeconds, .caption = "LabelTempoSuperArr",
                                          .condition = Condition::BelowVersion15};
// Element 0 the status word (bit 6 methane, bit 7 official), 2..19 the configuration name;
// files carry them as "MurFile", "Carburante" and "NomeConfigurazione".
inline constexpr Param StatoConfigurazione{.number = 53, .field = Field<&C::StatoConfigurazione>,
                                           .key = "StatoConfigurazione"};
inline constexpr Param TempoMinArrBenzina{.number = 54, .field = Field<&C::TempoMinArrBenzina>,
                                          .section = "Arricchimento", .key = "TempoMinArrBenzina",
                                          .conversion = Cv::FastSeconds, .unit = kSeconds,
                                          .caption = "LabelTMinArrBenzina", .dataCode = true};
inline constexpr Param Adattativita{.number = 55, .form = S, .field = Field<&C::Adattativita>,
                                    .key = "Adattativita"};
inline constexpr Param TpsArrBenzina{.number = 56, .field = Field<&C::TpsArrBenzina>, .section = "Arricchimento",
                                     .key = "TpsArrBenzina", .caption = "LabelTpsArrBenzina", .dataCode = true};
inline constexpr Param Stato{.number = 57, .form = W, .field = Field<&C::Stato>, .section = "Diagnosi",
                             .key = "Stato"};
inline constexpr Param Abilitazione{.number = 58, .form = W, .field = Field<&C::Abilitazione>, .section = "Diagnosi",
                                    .key = "Abilitazione", .caption = "LabelAbilitazDiagnosi"};
inline constexpr Param TempoGas{.number = 59, .form = W, .field = Field<&C::TempoGas>, .key = "TempoGas",
                                .conversion = Cv::Times20, .unit = "min", .caption = "LabelTempoGas",
                                .dataCode = true, .reread = true};
inline constexpr Param TempoBenzina{.number = 60, .form = W, .field = Field<&C::TempoBenzina>, .key = "TempoBenzina",
                                    .conversion = Cv::Times20, .unit = "min", .caption = "LabelTempoBenzina",
                                    .dataCode = true, .reread = true};
inline constexpr Param Adattativo{.number = 61, .field = Field<&C::Adattativo>, .key = "Adattativo",
                                  .dataCode = true};
inline constexpr Param TempoRitBenzina{.number = 62, .field = Field<&C::TempoRitBenzina>,
                                       .section = "SensoreDiLivello", .key = "TempoRitBenzina", .unit = kSeconds,
                                       .caption = "LabelRitornoBenzina", .dataCode = true};
inline constexpr Param TpsMoltoFuori{.number = 63, .field = Field<&C::TpsMoltoFuori>, .section = "TPS",
                                     .key = "TpsMoltoFuori", .conversion = Cv::Volts, .unit = kVolts,
                                     .caption = "LabelTpsMoltoFMin", .dataCode = true};
inline constexpr Param RegistroDiagnosi{.number = 67, .field = Field<&C::RegistroDiagnosi>,
                                        .key = "RegistroDiagnosi", .readOnly = true, .dataCode = true,
                                        .reread = true};
inline constexpr Param NumeroReset{.number = 68, .field = Field<&C::NumeroReset>, .key = "NumeroReset",
                                   .readOnly = true, .dataCode = true, .reread = true};
inline constexpr Param TempoChSbana{.number = 69, .field = Field<&C::TempoChSbana>, .section = "Carburazione",
                                    .key = "TempoChSbana", .conversion = Cv::Times20, .unit = kMs,
                                    .caption = "LabelTChSbana", .dataCode = true};
inline constexpr Param TempoApSbana{.number = 70, .field = Field<&C::TempoApSbana>, .section = "Carburazione",
                                    .key = "TempoApSbana", .conversion = Cv::Times20, .unit = kMs,
                                    .caption = "LabelTApSbana", .dataCode = true};
inline constexpr Param LivelloAlto{.number = 71, .field = Field<&C::LivelloAlto>, .section = "Emulazione",
                                   .key = "LivelloAlto", .conversion = Cv::Volts, .unit = kVolts,
                                   .caption = "LabelLivEmulAlto", .dataCode = true, .reread = true};
inline constexpr Param LivelloBasso{.number = 72, .field = Field<&C::LivelloBasso>, .section = "Emulazione",
                                    .key = "LivelloBasso", .conversion = Cv::Volts, .unit = kVolts,
                                    .caption = "LabelLivEmulBasso", .dataCode = true, .reread = true};
inline constexpr Param CorrRientroMin{.number = 73, .form = S, .field = Field<&C::CorrRientroMin>,
                                      .section = "Carburazione", .key = "CorrRientroMin", .caption = "LabelCorrMin",
                                      .dataCode = true};
inline constexpr Param GiriArrBenzina{.number = 74, .form = W, .field = Field<&C::GiriArrBenzina>,
                                      .section = "Arricchimento", .key = "GiriArrBenzina", .unit = kRpm,
                                      .caption = "LabelGiriArrBenzina", .dataCode = true};
inline constexpr Param Cilindrata{.number = 75, .field = Field<&C::Cilindrata>, .section = "Generale",
                                  .key = "Cilindrata", .conversion = Cv::Times50, .unit = "cm3",
                                  .caption = "LabelCilindrata", .dataCode = true};
inline constexpr Param Compatibility1{.number = 76, .form = W, .key = "Compatibilita1", .readOnly = true};
inline constexpr Param MotoreFineCutoff{.number = 77, .field = Field<&C::MotoreFineCutoff>, .section = "Cutoff",
                                        .key = "MotoreFineCutoff", .caption = "LabelMotoreCutoff2",
                                        .dataCode = true};
inline constexpr Param Arricc2UscitaMin{.number = 78, .field = Field<&C::Arricc2UscitaMin>,
                                        .section = "Arricchimento", .key = "Arricc2UscitaMin",
                                        .caption = "LabelArrUscitaMin2"};
inline constexpr Param EffettoClima{.number = 79, .form = S, .field = Field<&C::EffettoClima>,
                                    .section = "Carburazione", .key = "EffettoClima", .caption = "CheckClima"};
inline constexpr Param TempoArrBenzina{.number = 80, .field = Field<&C::TempoArrBenzina>,
                                       .section = "Arricchimento", .key = "TempoArrBenzina",
                                       .conversion = Cv::FastSeconds, .unit = kSeconds,
                                       .caption = "LabelTempoSuperArr", .condition = Condition::FromVersion15,
                                       .firstUnnumbered = true};
inline constexpr Param LimitazioneCorrettore{.number = 81, .field = Field<&C::LimitazioneCorrettore>,
                                             .section = "Arricchimento", .key = "LimitazioneCorrettore",
                                             .caption = "LabelLimCorrettore", .dataCode = true};
inline constexpr Param Compatibility2{.number = 82, .form = W, .key = "Compatibilita2", .readOnly = true};
inline constexpr Param RifMAPB{.number = 83, .field = Field<&C::RifMAPB>, .section = "RiferimentiMAPBenzina",
                               .key = "RifMAPB", .conversion = Cv::Volts, .unit = kVolts,
                               .caption = "GroupRifMap", .condition = Condition::PetrolMap};
inline constexpr Param RifGiriB{.number = 84, .form = W, .field = Field<&C::RifGiriB>,
                                .section = "RiferimentiGiriBenzina", .key = "RifGiriB", .unit = kRpm,
                                .caption = "GroupRifGiri", .condition = Condition::PetrolMap};
inline constexpr Param MappaBenzina{.number = 85, .form = W, .field = Field<&C::MappaBenzina>,
                                    .section = "MappaBenzina", .key = "MappaB", .conversion = Cv::PetrolMs,
                                    .unit = kMs, .caption = "TabMappaBenzina", .condition = Condition::PetrolMap};

// Every parameter the unit knows, in number order.
std::span<const Param* const> All();
// By number; null for a number the unit does not know.
const Param* Find(int32_t number);
// By any identifier of it (value, element, cell, block or row); null when none has that form.
const Param* FindById(int32_t id);
// The parameter GetParam and SetParam serve under `id`; null when they serve none.
const Param* FindDataCode(int32_t id);
// False when the unit's software version rules the parameter out.
bool AppliesTo(const Param& p, int softwareVersion);

// An element of the record: the parameter that keeps it and its index there.
struct Element {
    const Param* param = nullptr;
    int index = 0;
    explicit operator bool() const { return param != nullptr; }
    std::string Key() const { return param != nullptr ? param->ElementKey(index) : std::string(); }
};

// The element of `car` at `p`; none when no parameter keeps it. A field that two parameters
// share answers with the one that keeps it whole.
Element FindElement(const ConfCar& car, const int32_t* p);

// How a group of a whole transfer is named: the key of a value, or the first and last keys
// of a block or of table row `row`; the identifier itself when no parameter has it.
std::string GroupKey(int32_t id, int32_t row = -1);

// ---- engineering values ----
// The record is asked only where the conversion depends on another field (the level
// sensor's type for its references).
double Engineering(const Param& p, int index, int32_t raw, const ConfCar& record);
// The engineering value as the windows write it, without the unit.
std::string EngineeringText(const Param& p, int index, int32_t raw, const ConfCar& record);
// The unit of element `index` (the first and last temperature references are raw).
std::string_view UnitOf(const Param& p, int index);

// ---- the configuration file ----
// The parts of a configuration file, each a fixed list of catalogue entries.
enum class FilePart : uint8_t {
    GasMap,    // rpm and MAP breakpoints, then the cells column by column
    PetrolMap, // the same for the petrol map
    Parameters // "Flag1" to "LimitazioneCorrettore"
};

// Where the progress of a save or a load moves within a part.
struct FileMark {
    enum Kind : uint8_t { Breakpoints, Column, Group } kind = Group;
    int8_t save = 0; // Group marks: the amounts a save and a load add
    int8_t load = 0;
};

// Visits every key of a part in the order a save writes it.
void WalkFilePart(FilePart part, const std::function<void(const Param&, int index)>& key,
                  const std::function<void(const FileMark&)>& mark = {});

// The element a file key names in `section`, matched without regard to case as the profile
// functions match them; none when no parameter is kept under that key.
Element FindFileKey(std::string_view section, std::string_view key);

// ---- comparing two records ----
struct ValueDifference {
    const Param* param = nullptr;
    int index = 0;
    std::string key;            // as the file names the element
    std::string_view section;   // of the file
    std::string_view caption;   // dictionary key of the text a window shows the parameter with; may be empty
    std::string_view unit;
    int32_t rawA = 0, rawB = 0;
    double engineeringA = 0, engineeringB = 0;
    std::string textA, textB;   // the engineering values as the windows write them
};

// Every value a configuration file holds that differs between the two records, in file
// order ("Cilindrata", the gas map, the petrol map, the parameters).
std::vector<ValueDifference> CompareRecords(const ConfCar& a, const ConfCar& b);

} // namespace vapora::params
