// Whole-configuration transfers with the unit and the few single reads others
// rely on. The transfers never test the link's answers: they run to the end and
// a field whose read failed keeps what it held.

#include "model/ConfCar.h"

#include "model/ParamIds.h"

#include <initializer_list>
#include <utility>

namespace vapora {
namespace {

using Fields = std::initializer_list<std::pair<int32_t, int32_t*>>;

} // namespace

bool ConfCar::ReadAll()
{
    auto read = [this](Fields fields) {
        for (const auto& [id, dest] : fields)
            LinkRead(id, dest);
    };

    Progress(0, false);
    read({{ids::kRifGiriBlock, RifGiri}, {ids::kRifMapBlock, RifMAP}});
    Progress(4, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(3, true);
        LinkReadRow(ids::kGasMapRow, MappaCarburazione[r], r);
    }
    read({{ids::kFlag1, &Flag1},
          {ids::kTipoDiLambda, &TipoDiLambda},
          {ids::kRifLambda, &RifLambda},
          {ids::kRitardoLetturaSonda, &RitardoLetturaSonda},
          {ids::kTempoSondaFredda, &TempoSondaFredda},
          {ids::kRifSupSondaFredda, &RifSupSondaFredda},
          {ids::kRifInfSondaFredda, &RifInfSondaFredda},
          {ids::kRifSupSondaCalda, &RifSupSondaCalda},
          {ids::kRifInfSondaCalda, &RifInfSondaCalda}});
    Progress(4, true);
    read({{ids::kTemperaturaCambio, &TemperaturaCambio},
          {ids::kGiriPerCambio, &GiriPerCambio},
          {ids::kTempoSovrapposizione, &TempoSovrapposizione},
          {ids::kRitardoMinimoCambio, &RitardoMinimoCambio},
          {ids::kFuoriGiri, &FuoriGiri}});
    Progress(4, true);
    read({{ids::kNumeroCilindri, &NumeroCilindri},
          {ids::kFasciaGiriMinimo, &FasciaGiriMinimo},
          {ids::kGiriCutoff, &GiriCutoff},
          {ids::kRitardoCutoff, &RitardoCutoff},
          {ids::kMotoreCutoff, &MotoreCutoff},
          {ids::kMotoreFineCutoff, &MotoreFineCutoff},
          {ids::kTempoPassiCutoff, &TempoPassiCutoff},
          {ids::kTipoDiTps, &TipoDiTps},
          {ids::kIsteresi, &Isteresi},
          {ids::kTpsMoltoFuori, &TpsMoltoFuori}});
    Progress(4, true);
    read({{ids::kOpenLoopBlock, RifOpenLoop}, {ids::kPassiInvBlock, PassiInv}});
    Progress(4, true);
    read({{ids::kPassiIngrBlock, PassiIngr}, {ids::kPassiSmagBlock, PassiSmag}});
    Progress(4, true);
    read({{ids::kTempoAlto, &TempoAlto},
          {ids::kTempoBasso, &TempoBasso},
          {ids::kTempoSondaSconnessa, &TempoSondaSconnessa},
          {ids::kNumeroOnde, &NumeroOnde},
          {ids::kLivelloAlto, &LivelloAlto},
          {ids::kLivelloBasso, &LivelloBasso},
          {ids::kTipoSensore, &TipoSensore},
          {ids::kRifSensoreBlock, RifSensore}});
    Progress(4, true);
    read({{ids::kMinErroreIntegrale, &MinErroreIntegrale},
          {ids::kMaxErroreIntegrale, &MaxErroreIntegrale},
          {ids::kMaxErroreIntegraleAlMinimo, &MaxErroreIntegraleAlMinimo},
          {ids::kMinErroreIntegraleAlMinimo, &MinErroreIntegraleAlMinimo},
          {ids::kTpsSbana, &TpsSbana},
          {ids::kGiriSbana, &GiriSbana},
          {ids::kPassiSbana, &PassiSbana},
          {ids::kTempoApSbana, &TempoApSbana},
          {ids::kTempoChSbana, &TempoChSbana},
          {ids::kDecrCumuloBlock, DecrCumulo},
          {ids::kArriccUscitaMinBlock, ArriccUscitaMin},
          {ids::kArricc2UscitaMinBlock, Arricc2UscitaMin},
          {ids::kArrPerTpsBlock, ArrPerTps},
          {ids::kVarCumuloBlock, VarCumulo}});
    Progress(4, true);

    read({{ids::kMinCumulo, &MinCumulo}});
    if (SoftwareVersion() < 15) {
        LinkRead(ids::kTempoArrBenzinaOld, &TempoArrBenzina[0]);
        for (int b = 1; b < kBands; ++b)
            TempoArrBenzina[b] = TempoArrBenzina[0];
    } else {
        LinkRead(ids::kTempoArrBenzinaBlock, TempoArrBenzina);
    }
    read({{ids::kTpsArrBenzina, &TpsArrBenzina},
          {ids::kTempoMinArrBenzina, &TempoMinArrBenzina},
          {ids::kStatoConfigBlock, StatoConfigurazione}});
    SetStatusFlag(kOfficial, GetStatusFlag(kOfficial));

    Progress(2, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(2, true);
        LinkReadRow(ids::kAdaptRow, Adattativita[r], r);
    }
    read({{ids::kStatoBlock, Stato},
          {ids::kAbilitazioneBlock, Abilitazione},
          {ids::kRegistroDiagnosi, &RegistroDiagnosi},
          {ids::kNumeroReset, &NumeroReset},
          {ids::kTempoGas, &TempoGas},
          {ids::kTempoBenzina, &TempoBenzina},
          {ids::kAdattativo, &Adattativo},
          {ids::kTempoRitBenzina, &TempoRitBenzina},
          {ids::kCorrRientroMin, &CorrRientroMin},
          {ids::kGiriArrBenzina, &GiriArrBenzina},
          {ids::kCilindrata, &Cilindrata},
          {ids::kEffettoClima, &EffettoClima},
          {ids::kTempRifBlock, TempRif},
          {ids::kTempCoeffBlock, TempCoeff},
          {ids::kLimitazioneCorrettore, &LimitazioneCorrettore}});

    MappaBenzinaAmmessa = false;
    MappaBenzinaPresente = false;
    read({{ids::kRifGiriBBlock, RifGiriB}});
    const uint8_t flags = link_ != nullptr ? link_->GetStatusFlags() : 0;
    if ((flags & 4) == 0) {
        MappaBenzinaAmmessa = true;
        read({{ids::kRifMapBBlock, RifMAPB}});
        Progress(2, true);
        for (int r = 0; r < kPetrolSize; ++r) {
            Progress(2, true);
            LinkReadRow(ids::kPetrolMapRow, MappaBenzina[r], r);
        }
        CheckPetrolMap();
    }
    Progress(100, false);

    DescrizAuto = GetConfigName();
    CentCubici = static_cast<int32_t>(GetParam(ids::kCilindrata));
    Euro.clear();
    Motore.clear();
    Centralina.clear();
    Cambio.clear();
    Valvole = 0;
    NCilindri = 0;
    AnnoVettura = 0;
    Potenza = 0;

    Pause();
    Modified = true;
    return true;
}

int ConfCar::WriteAll()
{
    auto values = [this](std::initializer_list<std::pair<int32_t, int32_t>> list) {
        for (const auto& [id, value] : list)
            LinkWriteValue(id, value);
    };

    Progress(0, false);
    LinkWriteBlock(ids::kRifGiriBlock, RifGiri);
    LinkWriteBlock(ids::kRifMapBlock, RifMAP);
    Progress(4, true);
    for (int r = 0; r < kMapRows; ++r) {
        LinkWriteRow(ids::kGasMapRow, MappaCarburazione[r], r);
        Progress(3, true);
    }
    values({{ids::kFlag1, Flag1},
            {ids::kTipoDiLambda, TipoDiLambda},
            {ids::kRifLambda, RifLambda},
            {ids::kRitardoLetturaSonda, RitardoLetturaSonda},
            {ids::kTempoSondaFredda, TempoSondaFredda},
            {ids::kRifSupSondaFredda, RifSupSondaFredda},
            {ids::kRifInfSondaFredda, RifInfSondaFredda},
            {ids::kRifSupSondaCalda, RifSupSondaCalda},
            {ids::kRifInfSondaCalda, RifInfSondaCalda}});
    Progress(4, true);
    values({{ids::kTemperaturaCambio, TemperaturaCambio},
            {ids::kGiriPerCambio, GiriPerCambio},
            {ids::kTempoSovrapposizione, TempoSovrapposizione},
            {ids::kRitardoMinimoCambio, RitardoMinimoCambio},
            {ids::kFuoriGiri, FuoriGiri}});
    Progress(4, true);
    values({{ids::kNumeroCilindri, NumeroCilindri},
            {ids::kFasciaGiriMinimo, FasciaGiriMinimo},
            {ids::kGiriCutoff, GiriCutoff},
            {ids::kRitardoCutoff, RitardoCutoff},
            {ids::kMotoreCutoff, MotoreCutoff},
            {ids::kMotoreFineCutoff, MotoreFineCutoff},
            {ids::kTempoPassiCutoff, TempoPassiCutoff},
            {ids::kTipoDiTps, TipoDiTps},
            {ids::kIsteresi, Isteresi},
            {ids::kTpsMoltoFuori, TpsMoltoFuori}});
    Progress(4, true);
    LinkWriteBlock(ids::kOpenLoopBlock, RifOpenLoop);
    LinkWriteBlock(ids::kPassiInvBlock, PassiInv);
    Progress(4, true);
    LinkWriteBlock(ids::kPassiIngrBlock, PassiIngr);
    LinkWriteBlock(ids::kPassiSmagBlock, PassiSmag);
    Progress(4, true);
    values({{ids::kTempoAlto, TempoAlto},
            {ids::kTempoBasso, TempoBasso},
            {ids::kTempoSondaSconnessa, TempoSondaSconnessa},
            {ids::kNumeroOnde, NumeroOnde},
            {ids::kLivelloAlto, LivelloAlto},
            {ids::kLivelloBasso, LivelloBasso},
            {ids::kTipoSensore, TipoSensore}});
    LinkWriteBlock(ids::kRifSensoreBlock, RifSensore);
    Progress(4, true);
    values({{ids::kMinErroreIntegrale, MinErroreIntegrale},
            {ids::kMaxErroreIntegrale, MaxErroreIntegrale},
            {ids::kMaxErroreIntegraleAlMinimo, MaxErroreIntegraleAlMinimo},
            {ids::kMinErroreIntegraleAlMinimo, MinErroreIntegraleAlMinimo},
            {ids::kTpsSbana, TpsSbana},
            {ids::kGiriSbana, GiriSbana},
            {ids::kPassiSbana, PassiSbana},
            {ids::kTempoApSbana, TempoApSbana},
            {ids::kTempoChSbana, TempoChSbana}});
    LinkWriteBlock(ids::kDecrCumuloBlock, DecrCumulo);
    LinkWriteBlock(ids::kArriccUscitaMinBlock, ArriccUscitaMin);
    LinkWriteBlock(ids::kArricc2UscitaMinBlock, Arricc2UscitaMin);
    LinkWriteBlock(ids::kArrPerTpsBlock, ArrPerTps);
    LinkWriteBlock(ids::kVarCumuloBlock, VarCumulo);
    Progress(4, true);

    values({{ids::kMinCumulo, MinCumulo}});
    if (SoftwareVersion() < 15)
        LinkWriteValue(ids::kTempoArrBenzinaOld, TempoArrBenzina[0]);
    else
        LinkWriteBlock(ids::kTempoArrBenzinaBlock, TempoArrBenzina);
    values({{ids::kTpsArrBenzina, TpsArrBenzina}, {ids::kTempoMinArrBenzina, TempoMinArrBenzina}});
    LinkWriteBlock(ids::kStatoConfigBlock, StatoConfigurazione);

    Progress(2, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(2, true);
        LinkWriteRow(ids::kAdaptRow, Adattativita[r], r);
    }
    // Every full write clears the unit's diagnosis state.
    Stato[0] = Stato[1] = 0;
    LinkWriteBlock(ids::kStatoBlock, Stato);
    LinkWriteBlock(ids::kAbilitazioneBlock, Abilitazione);

    values({{ids::kTempoGas, TempoGas},
            {ids::kTempoBenzina, TempoBenzina},
            {ids::kAdattativo, Adattativo},
            {ids::kTempoRitBenzina, TempoRitBenzina},
            {ids::kCorrRientroMin, CorrRientroMin},
            {ids::kGiriArrBenzina, GiriArrBenzina},
            {ids::kCilindrata, Cilindrata},
            {ids::kEffettoClima, EffettoClima}});
    LinkWriteBlock(ids::kTempRifBlock, TempRif);
    LinkWriteBlock(ids::kTempCoeffBlock, TempCoeff);
    values({{ids::kLimitazioneCorrettore, LimitazioneCorrettore}});

    CheckPetrolMap();
    if (MappaBenzinaPresente) {
        LinkWriteBlock(ids::kRifGiriBBlock, RifGiriB);
        LinkWriteBlock(ids::kRifMapBBlock, RifMAPB);
        Progress(2, true);
        for (int r = 0; r < kPetrolSize; ++r) {
            LinkWriteRow(ids::kPetrolMapRow, MappaBenzina[r], r);
            Progress(2, true);
        }
    }
    Progress(100, false);
    Pause();
    return 0;
}

bool ConfCar::ReadIdentification() { return link_ != nullptr && link_->Identify(IdUnita); }

bool ConfCar::WaitUnitReady(uint32_t timeoutMs)
{
    if (!Connected())
        return false;
    const uint32_t start = clock_.TickCount();
    do {
        int32_t status = 0;
        if (LinkRead(ids::kReady, &status) && status == ids::kReadyValue)
            return true;
        clock_.Sleep(500);
    } while (clock_.TickCount() - start < timeoutMs);
    return false;
}

bool ConfCar::ReloadAdaptTable(int param)
{
    if (!Connected())
        return false;
    if (param != 55)
        return true;
    for (int r = 0; r < kMapRows; ++r)
        if (!LinkReadRow(ids::kAdaptRow, Adattativita[r], r))
            return false;
    return true;
}

int ConfCar::ReadCounter(int kind)
{
    int32_t value = 0;
    LinkRead(kind == 11 ? ids::kCompatibility2 : ids::kCompatibility1, &value);
    return value;
}

} // namespace vapora
