#pragma once
// Names for the identifiers the program passes to the link, taken from the parameter
// catalogue: the value, element or cell form of a parameter and its block or row form.

#include "model/ParamCatalogue.h"

namespace vapora::ids {

// Single values, elements and cells.
constexpr int32_t kReady = params::Ready.Single();
constexpr int32_t kFlag1 = params::Flag1.Single();
constexpr int32_t kTipoDiLambda = params::TipoDiLambda.Single();
constexpr int32_t kRifLambda = params::RifLambda.Single();
constexpr int32_t kRitardoLetturaSonda = params::RitardoLetturaSonda.Single();
constexpr int32_t kTempoSondaFredda = params::TempoSondaFredda.Single();
constexpr int32_t kRifSupSondaFredda = params::RifSupSondaFredda.Single();
constexpr int32_t kRifInfSondaFredda = params::RifInfSondaFredda.Single();
constexpr int32_t kRifSupSondaCalda = params::RifSupSondaCalda.Single();
constexpr int32_t kRifInfSondaCalda = params::RifInfSondaCalda.Single();
constexpr int32_t kRifGiriElem = params::RifGiri.Single();
constexpr int32_t kRifMapElem = params::RifMAP.Single();
constexpr int32_t kGasMapCell = params::MappaCarburazione.Single();
constexpr int32_t kTemperaturaCambio = params::TemperaturaCambio.Single();
constexpr int32_t kGiriPerCambio = params::GiriPerCambio.Single();
constexpr int32_t kRitardoMinimoCambio = params::RitardoMinimoCambio.Single();
constexpr int32_t kTempoSovrapposizione = params::TempoSovrapposizione.Single();
constexpr int32_t kFuoriGiri = params::FuoriGiri.Single();
constexpr int32_t kNumeroCilindri = params::NumeroCilindri.Single();
constexpr int32_t kFasciaGiriMinimo = params::FasciaGiriMinimo.Single();
constexpr int32_t kGiriCutoff = params::GiriCutoff.Single();
constexpr int32_t kMotoreCutoff = params::MotoreCutoff.Single();
constexpr int32_t kTempoPassiCutoff = params::TempoPassiCutoff.Single();
constexpr int32_t kRitardoCutoff = params::RitardoCutoff.Single();
constexpr int32_t kTipoDiTps = params::TipoDiTps.Single();
// The editor's bit-field data codes over TipoDiTps: bit 7, bits 0-2, bits 3-5.
constexpr int32_t kTpsBit7 = BitField(kTipoDiTps, 7, 1);
constexpr int32_t kTpsBits0to2 = BitField(kTipoDiTps, 0, 3);
constexpr int32_t kTpsBits3to5 = BitField(kTipoDiTps, 3, 3);
constexpr int32_t kIsteresi = params::Isteresi.Single();
constexpr int32_t kOpenLoopElem = params::RifOpenLoop.Single();
constexpr int32_t kPassiInvElem = params::PassiInv.Single();
constexpr int32_t kPassiIngrElem = params::PassiIngr.Single();
constexpr int32_t kPassiSmagElem = params::PassiSmag.Single();
constexpr int32_t kTempoAlto = params::TempoAlto.Single();
constexpr int32_t kTempoBasso = params::TempoBasso.Single();
constexpr int32_t kTempoSondaSconnessa = params::TempoSondaSconnessa.Single();
constexpr int32_t kNumeroOnde = params::NumeroOnde.Single();
constexpr int32_t kTipoSensore = params::TipoSensore.Single();
constexpr int32_t kRifSensoreElem = params::RifSensore.Single();
constexpr int32_t kMaxErroreIntegrale = params::MaxErroreIntegrale.Single();
constexpr int32_t kMinErroreIntegrale = params::MinErroreIntegrale.Single();
constexpr int32_t kMaxErroreIntegraleAlMinimo = params::MaxErroreIntegraleAlMinimo.Single();
constexpr int32_t kMinErroreIntegraleAlMinimo = params::MinErroreIntegraleAlMinimo.Single();
constexpr int32_t kTempRifElem = params::TempRif.Single();
constexpr int32_t kTempCoeffElem = params::TempCoeff.Single();
constexpr int32_t kTpsSbana = params::TpsSbana.Single();
constexpr int32_t kGiriSbana = params::GiriSbana.Single();
constexpr int32_t kPassiSbana = params::PassiSbana.Single();
constexpr int32_t kArriccUscitaMinElem = params::ArriccUscitaMin.Single();
constexpr int32_t kVarCumuloElem = params::VarCumulo.Single();
constexpr int32_t kArrPerTpsElem = params::ArrPerTps.Single();
constexpr int32_t kDecrCumuloElem = params::DecrCumulo.Single();
constexpr int32_t kMinCumulo = params::MinCumulo.Single();
constexpr int32_t kTempoArrBenzinaOld = params::TempoArrBenzinaOld.Single();
constexpr int32_t kStatoConfigElem = params::StatoConfigurazione.Single();
constexpr int32_t kTempoMinArrBenzina = params::TempoMinArrBenzina.Single();
constexpr int32_t kAdaptCell = params::Adattativita.Single();
constexpr int32_t kTpsArrBenzina = params::TpsArrBenzina.Single();
constexpr int32_t kStatoElem = params::Stato.Single();
constexpr int32_t kAbilitazioneElem = params::Abilitazione.Single();
constexpr int32_t kTempoGas = params::TempoGas.Single();
constexpr int32_t kTempoBenzina = params::TempoBenzina.Single();
constexpr int32_t kAdattativo = params::Adattativo.Single();
constexpr int32_t kTempoRitBenzina = params::TempoRitBenzina.Single();
constexpr int32_t kTpsMoltoFuori = params::TpsMoltoFuori.Single();
constexpr int32_t kRegistroDiagnosi = params::RegistroDiagnosi.Single();
constexpr int32_t kNumeroReset = params::NumeroReset.Single();
constexpr int32_t kTempoChSbana = params::TempoChSbana.Single();
constexpr int32_t kTempoApSbana = params::TempoApSbana.Single();
constexpr int32_t kLivelloAlto = params::LivelloAlto.Single();
constexpr int32_t kLivelloBasso = params::LivelloBasso.Single();
constexpr int32_t kCorrRientroMin = params::CorrRientroMin.Single();
constexpr int32_t kGiriArrBenzina = params::GiriArrBenzina.Single();
constexpr int32_t kCilindrata = params::Cilindrata.Single();
constexpr int32_t kCompatibility1 = params::Compatibility1.Single();
constexpr int32_t kMotoreFineCutoff = params::MotoreFineCutoff.Single();
constexpr int32_t kArricc2UscitaMinElem = params::Arricc2UscitaMin.Single();
constexpr int32_t kEffettoClima = params::EffettoClima.Single();
constexpr int32_t kTempoArrBenzinaElem = params::TempoArrBenzina.Single();
constexpr int32_t kLimitazioneCorrettore = params::LimitazioneCorrettore.Single();
constexpr int32_t kCompatibility2 = params::Compatibility2.Single();
constexpr int32_t kRifMapBElem = params::RifMAPB.Single();
constexpr int32_t kRifGiriBElem = params::RifGiriB.Single();
constexpr int32_t kPetrolMapCell = params::MappaBenzina.Single();

// Whole blocks and rows.
constexpr int32_t kRifGiriBlock = params::RifGiri.Block();
constexpr int32_t kGasMapRow = params::MappaCarburazione.Block();
constexpr int32_t kTempRifBlock = params::TempRif.Block();
constexpr int32_t kTempoArrBenzinaBlock = params::TempoArrBenzina.Block();
constexpr int32_t kStatoConfigBlock = params::StatoConfigurazione.Block();
constexpr int32_t kAdaptRow = params::Adattativita.Block();
constexpr int32_t kStatoBlock = params::Stato.Block();

constexpr uint8_t kReadyValue = 172;

// The range of a parameter number; the full integer range for a number the unit does not know.
RawRange RangeOfParam(int32_t param);

} // namespace vapora::ids
