#pragma once
// Parameter identifiers as the link carries them: bits 0-7 the parameter number,
// 0x100 a block, 0x200 16-bit elements, 0x400 signed elements, bits 12-19 the
// element count of a block. Bits 20-27 appear only in the bit-field data codes
// over parameter 26 (shift in 20-23, width in 24-27).

#include <cstdint>
#include <span>

namespace vapora::ids {

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

// Single values, elements and cells.
constexpr int32_t kReady = 2;
constexpr int32_t kFlag1 = 3;
constexpr int32_t kTipoDiLambda = 4;
constexpr int32_t kRifLambda = 5;
constexpr int32_t kRitardoLetturaSonda = 6;
constexpr int32_t kTempoSondaFredda = 7;
constexpr int32_t kRifSupSondaFredda = 8;
constexpr int32_t kRifInfSondaFredda = 9;
constexpr int32_t kRifSupSondaCalda = 10;
constexpr int32_t kRifInfSondaCalda = 11;
constexpr int32_t kRifGiriElem = 524;
constexpr int32_t kRifMapElem = 13;
constexpr int32_t kGasMapCell = 526;
constexpr int32_t kTemperaturaCambio = 15;
constexpr int32_t kGiriPerCambio = 528;
constexpr int32_t kRitardoMinimoCambio = 17;
constexpr int32_t kTempoSovrapposizione = 18;
constexpr int32_t kFuoriGiri = 531;
constexpr int32_t kNumeroCilindri = 20;
constexpr int32_t kFasciaGiriMinimo = 21;
constexpr int32_t kGiriCutoff = 534;
constexpr int32_t kMotoreCutoff = 23;
constexpr int32_t kTempoPassiCutoff = 24;
constexpr int32_t kRitardoCutoff = 25;
constexpr int32_t kTipoDiTps = 26;
constexpr int32_t kTpsBit7 = 24117274;    // 0x170001A
constexpr int32_t kTpsBits0to2 = 50331674; // 0x300001A
constexpr int32_t kTpsBits3to5 = 53477402; // 0x330001A
constexpr int32_t kIsteresi = 27;
constexpr int32_t kOpenLoopElem = 28;
constexpr int32_t kPassiInvElem = 29;
constexpr int32_t kPassiIngrElem = 30;
constexpr int32_t kPassiSmagElem = 31;
constexpr int32_t kTempoAlto = 32;
constexpr int32_t kTempoBasso = 33;
constexpr int32_t kTempoSondaSconnessa = 546;
constexpr int32_t kNumeroOnde = 35;
constexpr int32_t kTipoSensore = 36;
constexpr int32_t kRifSensoreElem = 37;
constexpr int32_t kMaxErroreIntegrale = 1062;
constexpr int32_t kMinErroreIntegrale = 1063;
constexpr int32_t kMaxErroreIntegraleAlMinimo = 1064;
constexpr int32_t kMinErroreIntegraleAlMinimo = 1065;
constexpr int32_t kTempRifElem = 42;
constexpr int32_t kTempCoeffElem = 43;
constexpr int32_t kTpsSbana = 44;
constexpr int32_t kGiriSbana = 557;
constexpr int32_t kPassiSbana = 46;
constexpr int32_t kArriccUscitaMinElem = 47;
constexpr int32_t kVarCumuloElem = 48;
constexpr int32_t kArrPerTpsElem = 49;
constexpr int32_t kDecrCumuloElem = 50;
constexpr int32_t kMinCumulo = 51;
constexpr int32_t kTempoArrBenzinaOld = 52;
constexpr int32_t kStatoConfigElem = 53;
constexpr int32_t kTempoMinArrBenzina = 54;
constexpr int32_t kAdaptCell = 1079;
constexpr int32_t kTpsArrBenzina = 56;
constexpr int32_t kStatoElem = 569;
constexpr int32_t kAbilitazioneElem = 570;
constexpr int32_t kTempoGas = 571;
constexpr int32_t kTempoBenzina = 572;
constexpr int32_t kAdattativo = 61;
constexpr int32_t kTempoRitBenzina = 62;
constexpr int32_t kTpsMoltoFuori = 63;
constexpr int32_t kRegistroDiagnosi = 67;
constexpr int32_t kNumeroReset = 68;
constexpr int32_t kTempoChSbana = 69;
constexpr int32_t kTempoApSbana = 70;
constexpr int32_t kLivelloAlto = 71;
constexpr int32_t kLivelloBasso = 72;
constexpr int32_t kCorrRientroMin = 1097;
constexpr int32_t kGiriArrBenzina = 586;
constexpr int32_t kCilindrata = 75;
constexpr int32_t kCompatibility1 = 588;
constexpr int32_t kMotoreFineCutoff = 77;
constexpr int32_t kArricc2UscitaMinElem = 78;
constexpr int32_t kEffettoClima = 1103;
constexpr int32_t kTempoArrBenzinaElem = 80;
constexpr int32_t kLimitazioneCorrettore = 81;
constexpr int32_t kCompatibility2 = 594;
constexpr int32_t kRifMapBElem = 83;
constexpr int32_t kRifGiriBElem = 596;
constexpr int32_t kPetrolMapCell = 597;

// Whole blocks and rows.
constexpr int32_t kRifGiriBlock = 82700;       // 20 words
constexpr int32_t kRifMapBlock = 33037;        // 8 bytes
constexpr int32_t kGasMapRow = 82702;          // 20 words, rows 0..7
constexpr int32_t kOpenLoopBlock = 82204;      // 20 bytes
constexpr int32_t kPassiInvBlock = 82205;
constexpr int32_t kPassiIngrBlock = 82206;
constexpr int32_t kPassiSmagBlock = 82207;
constexpr int32_t kRifSensoreBlock = 16677;    // 4 bytes
constexpr int32_t kTempRifBlock = 41258;       // 10 bytes
constexpr int32_t kTempCoeffBlock = 37163;     // 9 bytes
constexpr int32_t kArriccUscitaMinBlock = 24879; // 6 bytes each
constexpr int32_t kVarCumuloBlock = 24880;
constexpr int32_t kArrPerTpsBlock = 24881;
constexpr int32_t kDecrCumuloBlock = 24882;
constexpr int32_t kArricc2UscitaMinBlock = 24910;
constexpr int32_t kTempoArrBenzinaBlock = 24912;
constexpr int32_t kStatoConfigBlock = 82229;   // 20 bytes
constexpr int32_t kAdaptRow = 83255;           // 20 signed bytes, rows 0..7
constexpr int32_t kStatoBlock = 9017;          // 2 words
constexpr int32_t kAbilitazioneBlock = 9018;   // 2 words
constexpr int32_t kRifMapBBlock = 49491;       // 12 bytes
constexpr int32_t kRifGiriBBlock = 50004;      // 12 words
constexpr int32_t kPetrolMapRow = 50005;       // 12 words, rows 0..11

constexpr uint8_t kReadyValue = 172;

// One row per parameter: what the unit holds under its number.
struct ParamInfo {
    int32_t param;
    int32_t single;   // single value, element or cell identifier
    int32_t block;    // whole block or row identifier, 0 when there is none
    int32_t count;    // elements of the block or row
    bool word;        // 16-bit elements
    bool isSigned;
    bool readOnly;
};

std::span<const ParamInfo> ParamTable();
const ParamInfo* FindParam(int32_t param);

// The values a parameter's elements can hold, from their size and sign. The
// record keeps every field inside it and the simulated unit refuses anything
// outside it, so both read it from here.
struct RawRange {
    int32_t min;
    int32_t max;
    constexpr bool Contains(int32_t v) const { return v >= min && v <= max; }
    constexpr int32_t Clamp(int32_t v) const { return v < min ? min : (v > max ? max : v); }
};

constexpr RawRange RangeOf(const ParamInfo& p)
{
    if (p.isSigned)
        return p.word ? RawRange{-32768, 32767} : RawRange{-128, 127};
    return p.word ? RawRange{0, 65535} : RawRange{0, 255};
}

// The range of a parameter number; the full integer range for a number the unit does not know.
RawRange RangeOfParam(int32_t param);

} // namespace vapora::ids
