// Whole-configuration transfers with the unit and the few single reads others
// rely on. A request the unit refuses does not stop a transfer (the field keeps
// what it held); a unit that stops answering does, and the outcome says how far
// the transfer got.

#include "model/ConfCar.h"

#include "model/ParamIds.h"

#include <algorithm>
#include <utility>

namespace vapora {
namespace {

// Runs one request of a whole transfer and counts it; once the unit has stopped answering
// the rest are only counted. A refusal is recorded under the group's name. True when the
// unit answered with a refusal.
template <class Request, class Connected>
bool RunGroup(TransferOutcome& out, int32_t id, int32_t row, Request request, Connected connected)
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
    out.refusals.push_back({id, row, params::GroupKey(id, row)});
    return true;
}

bool GroupRefused(const TransferOutcome& out, int32_t id)
{
    return std::any_of(out.refusals.begin(), out.refusals.end(), [id](const RefusedGroup& g) { return g.id == id; });
}

using namespace params;

enum class Op : uint8_t {
    Move,       // a value, or a whole block
    Rows,       // a table, row by row
    Step,       // progress
    PetrolMap,  // the petrol map's part begins
    PetrolGate, // reading: the unit says whether it keeps a petrol map
};

struct Item {
    Op op = Op::Move;
    const Param* param = nullptr;
    int32_t amount = 0;             // Step: the amount; Rows: the amount before the first row
    int32_t perRow = 0;
    bool rowStepAfterWrite = false; // Rows: on writing, a row's progress follows it
};

constexpr Item Move(const Param& p) { return {Op::Move, &p}; }
constexpr Item Rows(const Param& p, int32_t lead, int32_t perRow, bool stepAfterWrite)
{
    return {Op::Rows, &p, lead, perRow, stepAfterWrite};
}
constexpr Item Step(int32_t amount) { return {Op::Step, nullptr, amount}; }

// The whole configuration in the order the unit is read and written, with the progress.
// The petrol map comes last: its test of the map closes the transfer.
constexpr Item kTransferOrder[] = {
    Move(RifGiri), Move(RifMAP),
    Rows(MappaCarburazione, 4, 3, true),
    Move(Flag1), Move(TipoDiLambda), Move(RifLambda), Move(RitardoLetturaSonda), Move(TempoSondaFredda),
    Move(RifSupSondaFredda), Move(RifInfSondaFredda), Move(RifSupSondaCalda), Move(RifInfSondaCalda),
    Step(4),
    Move(TemperaturaCambio), Move(GiriPerCambio), Move(TempoSovrapposizione), Move(RitardoMinimoCambio),
    Move(FuoriGiri),
    Step(4),
    Move(NumeroCilindri), Move(FasciaGiriMinimo), Move(GiriCutoff), Move(RitardoCutoff), Move(MotoreCutoff),
    Move(MotoreFineCutoff), Move(TempoPassiCutoff), Move(TipoDiTps), Move(Isteresi), Move(TpsMoltoFuori),
    Step(4),
    Move(RifOpenLoop), Move(PassiInv),
    Step(4),
    Move(PassiIngr), Move(PassiSmag),
    Step(4),
    Move(TempoAlto), Move(TempoBasso), Move(TempoSondaSconnessa), Move(NumeroOnde), Move(LivelloAlto),
    Move(LivelloBasso), Move(TipoSensore), Move(RifSensore),
    Step(4),
    Move(MinErroreIntegrale), Move(MaxErroreIntegrale), Move(MaxErroreIntegraleAlMinimo),
    Move(MinErroreIntegraleAlMinimo), Move(TpsSbana), Move(GiriSbana), Move(PassiSbana), Move(TempoApSbana),
    Move(TempoChSbana), Move(DecrCumulo), Move(ArriccUscitaMin), Move(Arricc2UscitaMin), Move(ArrPerTps),
    Move(VarCumulo),
    Step(4),
    Move(MinCumulo), Move(TempoArrBenzinaOld), Move(TempoArrBenzina), Move(TpsArrBenzina),
    Move(TempoMinArrBenzina), Move(StatoConfigurazione),
    Rows(Adattativita, 2, 2, false),
    Move(Stato), Move(Abilitazione), Move(RegistroDiagnosi), Move(NumeroReset), Move(TempoGas),
    Move(TempoBenzina), Move(Adattativo), Move(TempoRitBenzina), Move(CorrRientroMin), Move(GiriArrBenzina),
    Move(Cilindrata), Move(EffettoClima), Move(TempRif), Move(TempCoeff), Move(LimitazioneCorrettore),
    {Op::PetrolMap}, Move(RifGiriB), {Op::PetrolGate}, Move(RifMAPB),
    Rows(MappaBenzina, 2, 2, true),
};

} // namespace

// Reading and writing walk the same order. Where they differ, and only there:
// - on writing, a gas or petrol map row's progress follows the row; on reading it comes first;
// - what the unit only reports (67, 68) is never written;
// - every write sends the diagnosis state words as zero;
// - after reading the status word, its official flag is written back as it was read;
// - reading asks the unit whether it keeps a petrol map (its rpm breakpoints are read
//   whatever it says); writing sends the petrol map only when it holds a cell;
// - the vehicle data are set from the unit after a read (ReadAll).
void ConfCar::Transfer(TransferOutcome& out, std::vector<ReadBack>* refused)
{
    const bool writing = refused != nullptr;
    auto group = [this, &out, refused](int32_t id, int32_t row, int32_t* data, int count, auto request) {
        // A refused read leaves the field as it was: the read is incomplete and names the group.
        if (RunGroup(out, id, row, request, [this] { return Connected(); }) && refused != nullptr)
            refused->push_back({id, row, data, std::vector<int32_t>(data, data + count)});
    };
    auto move = [&](const params::Param& p) {
        int32_t* data = p.Data(*this);
        const int32_t id = p.Count() > 1 ? p.Block() : p.Single();
        if (!writing)
            group(id, -1, data, p.Count(), [&] { return LinkRead(id, data); });
        else if (p.Count() > 1)
            group(id, -1, data, p.Count(), [&] { return LinkWriteBlock(id, data); });
        else
            group(id, -1, data, 1, [&] { return LinkWriteValue(id, *data); });
    };
    auto row = [&](const params::Param& p, int r) {
        int32_t* data = p.Data(*this) + r * p.Columns();
        if (writing)
            group(p.Block(), r, data, p.Columns(), [&] { return LinkWriteRow(p.Block(), data, r); });
        else
            group(p.Block(), r, data, p.Columns(), [&] { return LinkReadRow(p.Block(), data, r); });
    };

    bool petrol = true;
    Progress(0, false);
    for (const Item& item : kTransferOrder) {
        const params::Param* p = item.param;
        if (p != nullptr && (!params::AppliesTo(*p, SoftwareVersion()) || (writing && p->readOnly) ||
                             (p->condition == params::Condition::PetrolMap && !petrol)))
            continue;
        switch (item.op) {
        case Op::Step: Progress(item.amount, true); break;
        case Op::PetrolMap:
            if (writing) {
                CheckPetrolMap();
                petrol = MappaBenzinaPresente;
            } else {
                MappaBenzinaAmmessa = false;
                MappaBenzinaPresente = false;
            }
            break;
        case Op::PetrolGate:
            if (!writing) {
                const uint8_t flags = link_ != nullptr ? link_->GetStatusFlags() : 0;
                petrol = (flags & 4) == 0;
                MappaBenzinaAmmessa = petrol;
            }
            break;
        case Op::Rows:
            Progress(item.amount, true);
            for (int r = 0; r < p->Rows(); ++r) {
                const bool after = writing && item.rowStepAfterWrite;
                if (!after)
                    Progress(item.perRow, true);
                row(*p, r);
                if (after)
                    Progress(item.perRow, true);
            }
            break;
        case Op::Move:
            if (writing && p == &params::Stato)
                Stato[0] = Stato[1] = 0;
            move(*p);
            if (!writing && p == &params::TempoArrBenzinaOld)
                for (int b = 1; b < kBands; ++b)
                    TempoArrBenzina[b] = TempoArrBenzina[0];
            // Sent back only as the unit gave it: a refused read would send the record's own word.
            if (!writing && p == &params::StatoConfigurazione && !out.linkLost &&
                !GroupRefused(out, p->Block()))
                SetStatusFlag(kOfficial, GetStatusFlag(kOfficial));
            break;
        }
    }
    if (!writing && petrol)
        CheckPetrolMap();
}

bool ConfCar::ReadAll()
{
    TransferOutcome out;
    out.direction = TransferOutcome::Direction::Read;
    Transfer(out, nullptr);
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
    std::vector<ReadBack> refused;
    Transfer(out, &refused);
    // Read back what the unit refused, so that the record holds what the unit holds and the
    // caller can name the values that did not arrive.
    for (const ReadBack& r : refused) {
        if (out.linkLost)
            break;
        const bool back = r.row >= 0 ? LinkReadRow(r.id, r.data, r.row) : LinkRead(r.id, r.data);
        if (!back && !Connected())
            out.linkLost = true;
        for (size_t i = 0; i < r.sent.size(); ++i) {
            if (back && r.data[i] == r.sent[i])
                continue;
            const params::Element element = params::FindElement(*this, r.data + i);
            out.refused.push_back({r.id, element.index, element ? element.Key() : std::to_string(r.id), r.sent[i],
                                   r.data[i], r.row});
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
