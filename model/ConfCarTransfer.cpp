// Whole-configuration transfers with the unit and the few single reads others
// rely on. A request the unit refuses does not stop a transfer (the field keeps
// what it held); a unit that stops answering does, and the outcome says how far
// the transfer got.

#include "model/ConfCar.h"

#include "model/ParamIds.h"
#include "model/RawFields.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace vapora {
namespace {

using Fields = std::initializer_list<std::pair<int32_t, int32_t*>>;

// Names a refused request by the record field it moves: the field's key for a value or a
// whole block, the first and last keys for a table row.
RefusedGroup NameGroup(ConfCar& car, int32_t id, int32_t row, const int32_t* data)
{
    const int count = ids::IsBlock(id) ? ids::ElementCount(id) : 1;
    const std::vector<RawField> fields = RawFieldsOf(car);
    int index = 0;
    const RawField* field = FindRawField(fields, data, &index);
    std::string key;
    if (field == nullptr)
        key = std::to_string(id);
    else if (count <= 1)
        key = field->ElementName(index);
    else if (index == 0 && count >= field->Count())
        key = std::string(field->name);
    else
        key = field->ElementName(index) + ".." + field->ElementName(index + count - 1);
    return {id, row, key};
}

// Runs one request of a whole transfer and counts it; once the unit has stopped answering
// the rest are only counted. A refusal is recorded under `name`'s group. True when the
// unit answered with a refusal.
template <class Request, class Connected, class Name>
bool RunGroup(TransferOutcome& out, Request request, Connected connected, Name name)
{
    ++out.groupsTotal;
    if (out.linkLost)
        return false;
    if (request()) {
        ++out.groupsDone;
        return false;
    }
    if (!connected()) {
        out.linkLost = true;
        return false;
    }
    ++out.groupsDone;
    ++out.refusedGroups;
    out.refusals.push_back(name());
    return true;
}

bool GroupRefused(const TransferOutcome& out, int32_t id)
{
    return std::any_of(out.refusals.begin(), out.refusals.end(), [id](const RefusedGroup& g) { return g.id == id; });
}

} // namespace

bool ConfCar::ReadAll()
{
    TransferOutcome out;
    out.direction = TransferOutcome::Direction::Read;
    // Once the unit stops answering the rest is only counted: the record keeps what it held.
    // A refused read leaves the field as it was: the read is incomplete, and names the group.
    auto group = [this, &out](int32_t id, int32_t row, int32_t* dest, auto request) {
        RunGroup(out, request, [this] { return Connected(); }, [&] { return NameGroup(*this, id, row, dest); });
    };
    auto get = [&](int32_t id, int32_t* dest) { group(id, -1, dest, [&] { return LinkRead(id, dest); }); };
    auto getRow = [&](int32_t id, int32_t* dest, int32_t row) {
        group(id, row, dest, [&] { return LinkReadRow(id, dest, row); });
    };
    auto read = [&](Fields fields) {
        for (const auto& [id, dest] : fields)
            get(id, dest);
    };

    Progress(0, false);
    read({{ids::kRifGiriBlock, RifGiri}, {ids::kRifMapBlock, RifMAP}});
    Progress(4, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(3, true);
        getRow(ids::kGasMapRow, MappaCarburazione[r], r);
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
        get(ids::kTempoArrBenzinaOld, &TempoArrBenzina[0]);
        for (int b = 1; b < kBands; ++b)
            TempoArrBenzina[b] = TempoArrBenzina[0];
    } else {
        get(ids::kTempoArrBenzinaBlock, TempoArrBenzina);
    }
    read({{ids::kTpsArrBenzina, &TpsArrBenzina},
          {ids::kTempoMinArrBenzina, &TempoMinArrBenzina},
          {ids::kStatoConfigBlock, StatoConfigurazione}});
    // Sent back only as the unit gave it: a refused read would send the record's own word.
    if (!out.linkLost && !GroupRefused(out, ids::kStatoConfigBlock))
        SetStatusFlag(kOfficial, GetStatusFlag(kOfficial));

    Progress(2, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(2, true);
        getRow(ids::kAdaptRow, Adattativita[r], r);
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
            getRow(ids::kPetrolMapRow, MappaBenzina[r], r);
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
    lastTransfer_ = std::move(out);
    return lastTransfer_.Complete();
}

int ConfCar::WriteAll()
{
    TransferOutcome out;
    out.direction = TransferOutcome::Direction::Write;
    // A refused group, to be read back once the writes are done.
    struct Refused {
        int32_t id;
        int32_t row; // -1 unless a table row
        int32_t* data;
        std::vector<int32_t> sent;
    };
    std::vector<Refused> refused;
    auto group = [this, &out, &refused](int32_t id, int32_t row, int32_t* data, int count, auto request) {
        if (RunGroup(out, request, [this] { return Connected(); }, [&] { return NameGroup(*this, id, row, data); }))
            refused.push_back({id, row, data, std::vector<int32_t>(data, data + count)});
    };
    auto putValue = [&](int32_t id, int32_t* field) {
        group(id, -1, field, 1, [&] { return LinkWriteValue(id, *field); });
    };
    auto putBlock = [&](int32_t id, int32_t* source) {
        group(id, -1, source, ids::ElementCount(id), [&] { return LinkWriteBlock(id, source); });
    };
    auto putRow = [&](int32_t id, int32_t* source, int32_t row) {
        group(id, row, source, ids::ElementCount(id), [&] { return LinkWriteRow(id, source, row); });
    };
    auto values = [&](std::initializer_list<std::pair<int32_t, int32_t*>> list) {
        for (const auto& [id, field] : list)
            putValue(id, field);
    };

    Progress(0, false);
    putBlock(ids::kRifGiriBlock, RifGiri);
    putBlock(ids::kRifMapBlock, RifMAP);
    Progress(4, true);
    for (int r = 0; r < kMapRows; ++r) {
        putRow(ids::kGasMapRow, MappaCarburazione[r], r);
        Progress(3, true);
    }
    values({{ids::kFlag1, &Flag1},
            {ids::kTipoDiLambda, &TipoDiLambda},
            {ids::kRifLambda, &RifLambda},
            {ids::kRitardoLetturaSonda, &RitardoLetturaSonda},
            {ids::kTempoSondaFredda, &TempoSondaFredda},
            {ids::kRifSupSondaFredda, &RifSupSondaFredda},
            {ids::kRifInfSondaFredda, &RifInfSondaFredda},
            {ids::kRifSupSondaCalda, &RifSupSondaCalda},
            {ids::kRifInfSondaCalda, &RifInfSondaCalda}});
    Progress(4, true);
    values({{ids::kTemperaturaCambio, &TemperaturaCambio},
            {ids::kGiriPerCambio, &GiriPerCambio},
            {ids::kTempoSovrapposizione, &TempoSovrapposizione},
            {ids::kRitardoMinimoCambio, &RitardoMinimoCambio},
            {ids::kFuoriGiri, &FuoriGiri}});
    Progress(4, true);
    values({{ids::kNumeroCilindri, &NumeroCilindri},
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
    putBlock(ids::kOpenLoopBlock, RifOpenLoop);
    putBlock(ids::kPassiInvBlock, PassiInv);
    Progress(4, true);
    putBlock(ids::kPassiIngrBlock, PassiIngr);
    putBlock(ids::kPassiSmagBlock, PassiSmag);
    Progress(4, true);
    values({{ids::kTempoAlto, &TempoAlto},
            {ids::kTempoBasso, &TempoBasso},
            {ids::kTempoSondaSconnessa, &TempoSondaSconnessa},
            {ids::kNumeroOnde, &NumeroOnde},
            {ids::kLivelloAlto, &LivelloAlto},
            {ids::kLivelloBasso, &LivelloBasso},
            {ids::kTipoSensore, &TipoSensore}});
    putBlock(ids::kRifSensoreBlock, RifSensore);
    Progress(4, true);
    values({{ids::kMinErroreIntegrale, &MinErroreIntegrale},
            {ids::kMaxErroreIntegrale, &MaxErroreIntegrale},
            {ids::kMaxErroreIntegraleAlMinimo, &MaxErroreIntegraleAlMinimo},
            {ids::kMinErroreIntegraleAlMinimo, &MinErroreIntegraleAlMinimo},
            {ids::kTpsSbana, &TpsSbana},
            {ids::kGiriSbana, &GiriSbana},
            {ids::kPassiSbana, &PassiSbana},
            {ids::kTempoApSbana, &TempoApSbana},
            {ids::kTempoChSbana, &TempoChSbana}});
    putBlock(ids::kDecrCumuloBlock, DecrCumulo);
    putBlock(ids::kArriccUscitaMinBlock, ArriccUscitaMin);
    putBlock(ids::kArricc2UscitaMinBlock, Arricc2UscitaMin);
    putBlock(ids::kArrPerTpsBlock, ArrPerTps);
    putBlock(ids::kVarCumuloBlock, VarCumulo);
    Progress(4, true);

    values({{ids::kMinCumulo, &MinCumulo}});
    if (SoftwareVersion() < 15)
        putValue(ids::kTempoArrBenzinaOld, &TempoArrBenzina[0]);
    else
        putBlock(ids::kTempoArrBenzinaBlock, TempoArrBenzina);
    values({{ids::kTpsArrBenzina, &TpsArrBenzina}, {ids::kTempoMinArrBenzina, &TempoMinArrBenzina}});
    putBlock(ids::kStatoConfigBlock, StatoConfigurazione);

    Progress(2, true);
    for (int r = 0; r < kMapRows; ++r) {
        Progress(2, true);
        putRow(ids::kAdaptRow, Adattativita[r], r);
    }
    // Every full write clears the unit's diagnosis state.
    Stato[0] = Stato[1] = 0;
    putBlock(ids::kStatoBlock, Stato);
    putBlock(ids::kAbilitazioneBlock, Abilitazione);

    values({{ids::kTempoGas, &TempoGas},
            {ids::kTempoBenzina, &TempoBenzina},
            {ids::kAdattativo, &Adattativo},
            {ids::kTempoRitBenzina, &TempoRitBenzina},
            {ids::kCorrRientroMin, &CorrRientroMin},
            {ids::kGiriArrBenzina, &GiriArrBenzina},
            {ids::kCilindrata, &Cilindrata},
            {ids::kEffettoClima, &EffettoClima}});
    putBlock(ids::kTempRifBlock, TempRif);
    putBlock(ids::kTempCoeffBlock, TempCoeff);
    values({{ids::kLimitazioneCorrettore, &LimitazioneCorrettore}});

    CheckPetrolMap();
    if (MappaBenzinaPresente) {
        putBlock(ids::kRifGiriBBlock, RifGiriB);
        putBlock(ids::kRifMapBBlock, RifMAPB);
        Progress(2, true);
        for (int r = 0; r < kPetrolSize; ++r) {
            putRow(ids::kPetrolMapRow, MappaBenzina[r], r);
            Progress(2, true);
        }
    }
    // Read back what the unit refused, so that the record holds what the unit holds and the
    // caller can name the values that did not arrive.
    const std::vector<RawField> fields = RawFieldsOf(*this);
    for (const Refused& r : refused) {
        if (out.linkLost)
            break;
        const bool back = r.row >= 0 ? LinkReadRow(r.id, r.data, r.row) : LinkRead(r.id, r.data);
        if (!back && !Connected())
            out.linkLost = true;
        for (size_t i = 0; i < r.sent.size(); ++i) {
            if (back && r.data[i] == r.sent[i])
                continue;
            int index = 0;
            const RawField* field = FindRawField(fields, r.data + i, &index);
            out.refused.push_back({r.id, index, field != nullptr ? field->ElementName(index) : std::to_string(r.id),
                                   r.sent[i], r.data[i], r.row});
        }
        if (back && r.id == ids::kTempoArrBenzinaOld)
            for (int b = 1; b < kBands; ++b)
                TempoArrBenzina[b] = TempoArrBenzina[0];
    }
    if (!out.refused.empty())
        Modified = true;
    Progress(100, false);
    Pause();
    lastTransfer_ = std::move(out);
    return static_cast<int>(lastTransfer_.refused.size());
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
