#include "ParamTable.h"

#include "model/ParamIds.h"

namespace sernox {

namespace {

std::vector<ParamDef> BuildTable()
{
    std::vector<ParamDef> table;
    for (const vapora::params::Param* p : vapora::params::All()) {
        const vapora::ids::RawRange range = p->Range();
        table.push_back(
            {p->number, p->Rows(), p->Columns(), p->Word(), p->Signed(), p->readOnly, range.min, range.max});
    }
    return table;
}

bool IsBitFieldCode(int32_t id)
{
    using namespace vapora::ids;
    return id == kTpsBit7 || id == kTpsBits0to2 || id == kTpsBits3to5;
}

} // namespace

const std::vector<ParamDef>& ParamTable()
{
    static const std::vector<ParamDef> table = BuildTable();
    return table;
}

const ParamDef* FindParam(int number)
{
    for (const auto& def : ParamTable())
        if (def.number == number)
            return &def;
    return nullptr;
}

std::optional<IdForm> DecodeId(int32_t id)
{
    if (IsBitFieldCode(id))
        return IdForm{vapora::params::TipoDiTps.number, false, false, false, 0};
    // Bit 11 and everything above the count are never part of a link identifier.
    if (id < 0 || (id & ~0xFF7FF) != 0)
        return std::nullopt;
    return IdForm{id & 0xFF, (id & kIdBlock) != 0, (id & kIdWord) != 0, (id & kIdSigned) != 0,
                  IdCount(id)};
}

} // namespace sernox
