#include "ParamTable.h"

#include "model/ParamIds.h"

#include <algorithm>

namespace sernox {

namespace {

// The tables moved row by row; every other parameter is one row.
int RowsOf(int number)
{
    switch (number) {
    case 14:
    case 55: return 8;
    case 85: return 12;
    default: return 1;
    }
}

std::vector<ParamDef> BuildTable()
{
    std::vector<ParamDef> table;
    for (const vapora::ids::ParamInfo& p : vapora::ids::ParamTable()) {
        const vapora::ids::RawRange range = vapora::ids::RangeOf(p);
        const int columns = p.count > 0 ? p.count : 1;
        table.push_back({p.param, RowsOf(p.param), columns, p.word, p.isSigned, p.readOnly, range.min, range.max});
    }
    return table;
}

constexpr int32_t kBitFieldCodes[] = {24117274, 50331674, 53477402};
constexpr int kTpsType = 26;

bool IsBitFieldCode(int32_t id)
{
    return std::find(std::begin(kBitFieldCodes), std::end(kBitFieldCodes), id) != std::end(kBitFieldCodes);
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
        return IdForm{kTpsType, false, false, false, 0};
    // Bit 11 and everything above the count are never part of a link identifier.
    if (id < 0 || (id & ~0xFF7FF) != 0)
        return std::nullopt;
    return IdForm{id & 0xFF, (id & kIdBlock) != 0, (id & kIdWord) != 0, (id & kIdSigned) != 0,
                  IdCount(id)};
}

} // namespace sernox
