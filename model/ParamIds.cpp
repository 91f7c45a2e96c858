#include "model/ParamIds.h"

#include <array>
#include <climits>

namespace vapora::ids {
namespace {

constexpr std::array kTable{
    ParamInfo{2, kReady, 0, 0, false, false, true},
    ParamInfo{3, kFlag1, 0, 0, false, false, false},
    ParamInfo{4, kTipoDiLambda, 0, 0, false, false, false},
    ParamInfo{5, kRifLambda, 0, 0, false, false, false},
    ParamInfo{6, kRitardoLetturaSonda, 0, 0, false, false, false},
    ParamInfo{7, kTempoSondaFredda, 0, 0, false, false, false},
    ParamInfo{8, kRifSupSondaFredda, 0, 0, false, false, false},
    ParamInfo{9, kRifInfSondaFredda, 0, 0, false, false, false},
    ParamInfo{10, kRifSupSondaCalda, 0, 0, false, false, false},
    ParamInfo{11, kRifInfSondaCalda, 0, 0, false, false, false},
    ParamInfo{12, kRifGiriElem, kRifGiriBlock, 20, true, false, false},
    ParamInfo{13, kRifMapElem, kRifMapBlock, 8, false, false, false},
    ParamInfo{14, kGasMapCell, kGasMapRow, 20, true, false, false},
    ParamInfo{15, kTemperaturaCambio, 0, 0, false, false, false},
    ParamInfo{16, kGiriPerCambio, 0, 0, true, false, false},
    ParamInfo{17, kRitardoMinimoCambio, 0, 0, false, false, false},
    ParamInfo{18, kTempoSovrapposizione, 0, 0, false, false, false},
    ParamInfo{19, kFuoriGiri, 0, 0, true, false, false},
    ParamInfo{20, kNumeroCilindri, 0, 0, false, false, false},
    ParamInfo{21, kFasciaGiriMinimo, 0, 0, false, false, false},
    ParamInfo{22, kGiriCutoff, 0, 0, true, false, false},
    ParamInfo{23, kMotoreCutoff, 0, 0, false, false, false},
    ParamInfo{24, kTempoPassiCutoff, 0, 0, false, false, false},
    ParamInfo{25, kRitardoCutoff, 0, 0, false, false, false},
    ParamInfo{26, kTipoDiTps, 0, 0, false, false, false},
    ParamInfo{27, kIsteresi, 0, 0, false, false, false},
    ParamInfo{28, kOpenLoopElem, kOpenLoopBlock, 20, false, false, false},
    ParamInfo{29, kPassiInvElem, kPassiInvBlock, 20, false, false, false},
    ParamInfo{30, kPassiIngrElem, kPassiIngrBlock, 20, false, false, false},
    ParamInfo{31, kPassiSmagElem, kPassiSmagBlock, 20, false, false, false},
    ParamInfo{32, kTempoAlto, 0, 0, false, false, false},
    ParamInfo{33, kTempoBasso, 0, 0, false, false, false},
    ParamInfo{34, kTempoSondaSconnessa, 0, 0, true, false, false},
    ParamInfo{35, kNumeroOnde, 0, 0, false, false, false},
    ParamInfo{36, kTipoSensore, 0, 0, false, false, false},
    ParamInfo{37, kRifSensoreElem, kRifSensoreBlock, 4, false, false, false},
    ParamInfo{38, kMaxErroreIntegrale, 0, 0, false, true, false},
    ParamInfo{39, kMinErroreIntegrale, 0, 0, false, true, false},
    ParamInfo{40, kMaxErroreIntegraleAlMinimo, 0, 0, false, true, false},
    ParamInfo{41, kMinErroreIntegraleAlMinimo, 0, 0, false, true, false},
    ParamInfo{42, kTempRifElem, kTempRifBlock, 10, false, false, false},
    ParamInfo{43, kTempCoeffElem, kTempCoeffBlock, 9, false, false, false},
    ParamInfo{44, kTpsSbana, 0, 0, false, false, false},
    ParamInfo{45, kGiriSbana, 0, 0, true, false, false},
    ParamInfo{46, kPassiSbana, 0, 0, false, false, false},
    ParamInfo{47, kArriccUscitaMinElem, kArriccUscitaMinBlock, 6, false, false, false},
    ParamInfo{48, kVarCumuloElem, kVarCumuloBlock, 6, false, false, false},
    ParamInfo{49, kArrPerTpsElem, kArrPerTpsBlock, 6, false, false, false},
    ParamInfo{50, kDecrCumuloElem, kDecrCumuloBlock, 6, false, false, false},
    ParamInfo{51, kMinCumulo, 0, 0, false, false, false},
    ParamInfo{52, kTempoArrBenzinaOld, 0, 0, false, false, false},
    ParamInfo{53, kStatoConfigElem, kStatoConfigBlock, 20, false, false, false},
    ParamInfo{54, kTempoMinArrBenzina, 0, 0, false, false, false},
    ParamInfo{55, kAdaptCell, kAdaptRow, 20, false, true, false},
    ParamInfo{56, kTpsArrBenzina, 0, 0, false, false, false},
    ParamInfo{57, kStatoElem, kStatoBlock, 2, true, false, false},
    ParamInfo{58, kAbilitazioneElem, kAbilitazioneBlock, 2, true, false, false},
    ParamInfo{59, kTempoGas, 0, 0, true, false, false},
    ParamInfo{60, kTempoBenzina, 0, 0, true, false, false},
    ParamInfo{61, kAdattativo, 0, 0, false, false, false},
    ParamInfo{62, kTempoRitBenzina, 0, 0, false, false, false},
    ParamInfo{63, kTpsMoltoFuori, 0, 0, false, false, false},
    ParamInfo{67, kRegistroDiagnosi, 0, 0, false, false, true},
    ParamInfo{68, kNumeroReset, 0, 0, false, false, true},
    ParamInfo{69, kTempoChSbana, 0, 0, false, false, false},
    ParamInfo{70, kTempoApSbana, 0, 0, false, false, false},
    ParamInfo{71, kLivelloAlto, 0, 0, false, false, false},
    ParamInfo{72, kLivelloBasso, 0, 0, false, false, false},
    ParamInfo{73, kCorrRientroMin, 0, 0, false, true, false},
    ParamInfo{74, kGiriArrBenzina, 0, 0, true, false, false},
    ParamInfo{75, kCilindrata, 0, 0, false, false, false},
    ParamInfo{76, kCompatibility1, 0, 0, true, false, true},
    ParamInfo{77, kMotoreFineCutoff, 0, 0, false, false, false},
    ParamInfo{78, kArricc2UscitaMinElem, kArricc2UscitaMinBlock, 6, false, false, false},
    ParamInfo{79, kEffettoClima, 0, 0, false, true, false},
    ParamInfo{80, kTempoArrBenzinaElem, kTempoArrBenzinaBlock, 6, false, false, false},
    ParamInfo{81, kLimitazioneCorrettore, 0, 0, false, false, false},
    ParamInfo{82, kCompatibility2, 0, 0, true, false, true},
    ParamInfo{83, kRifMapBElem, kRifMapBBlock, 12, false, false, false},
    ParamInfo{84, kRifGiriBElem, kRifGiriBBlock, 12, true, false, false},
    ParamInfo{85, kPetrolMapCell, kPetrolMapRow, 12, true, false, false},
};

} // namespace

std::span<const ParamInfo> ParamTable() { return kTable; }

const ParamInfo* FindParam(int32_t param)
{
    for (const ParamInfo& p : kTable)
        if (p.param == param)
            return &p;
    return nullptr;
}

RawRange RangeOfParam(int32_t param)
{
    const ParamInfo* p = FindParam(param);
    return p != nullptr ? RangeOf(*p) : RawRange{INT32_MIN, INT32_MAX};
}

} // namespace vapora::ids
