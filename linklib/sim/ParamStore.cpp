#include "ParamStore.h"

#include <algorithm>

namespace sernox {

namespace {

bool FormFits(const IdForm& form, const ParamDef& def)
{
    return form.word == def.word && form.isSigned == def.isSigned;
}

} // namespace

ParamStore::ParamStore()
{
    for (const auto& def : ParamTable())
        values_[def.number].assign(def.count(), 0);
}

const ParamDef* ParamStore::SingleTarget(int32_t id, bool forWrite) const
{
    const auto form = DecodeId(id);
    if (!form || form->block || form->count != 0)
        return nullptr;
    const ParamDef* def = FindParam(form->number);
    if (!def || !FormFits(*form, *def) || (forWrite && def->readOnly))
        return nullptr;
    return def;
}

const ParamDef* ParamStore::BlockTarget(int32_t id, int& count, bool forWrite) const
{
    const auto form = DecodeId(id);
    if (!form || !form->block || form->count == 0)
        return nullptr;
    count = form->count;
    const ParamDef* def = FindParam(form->number);
    if (!def || !FormFits(*form, *def) || (forWrite && def->readOnly))
        return nullptr;
    return def;
}

bool ParamStore::ReadValue(int32_t id, int32_t& value) const
{
    const ParamDef* def = SingleTarget(id, false);
    if (!def)
        return false;
    value = values_.at(def->number)[0];
    return true;
}

bool ParamStore::WriteValue(int32_t id, int32_t value)
{
    return WriteElement(id, 0, value);
}

bool ParamStore::WriteElement(int32_t id, int32_t index, int32_t value)
{
    const ParamDef* def = SingleTarget(id, true);
    if (!def || index < 0 || index >= def->count())
        return false;
    return StoreRange(*def, index, {value});
}

bool ParamStore::WriteCell(int32_t id, int32_t row, int32_t column, int32_t value)
{
    const ParamDef* def = SingleTarget(id, true);
    if (!def || row < 0 || row >= def->rows || column < 0 || column >= def->columns)
        return false;
    return StoreRange(*def, row * def->columns + column, {value});
}

bool ParamStore::ReadBlock(int32_t id, std::vector<int32_t>& out) const
{
    int count = 0;
    const ParamDef* def = BlockTarget(id, count, false);
    if (!def || count != def->count())
        return false;
    out = values_.at(def->number);
    return true;
}

bool ParamStore::ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out) const
{
    int count = 0;
    const ParamDef* def = BlockTarget(id, count, false);
    if (!def || count != def->columns || row < 0 || row >= def->rows)
        return false;
    const auto& all = values_.at(def->number);
    const auto first = all.begin() + row * def->columns;
    out.assign(first, first + def->columns);
    return true;
}

bool ParamStore::WriteBlock(int32_t id, const std::vector<int32_t>& values)
{
    int count = 0;
    const ParamDef* def = BlockTarget(id, count, true);
    if (!def || count != def->count() || count != static_cast<int>(values.size()))
        return false;
    return StoreRange(*def, 0, values);
}

bool ParamStore::WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values)
{
    int count = 0;
    const ParamDef* def = BlockTarget(id, count, true);
    if (!def || count != def->columns || count != static_cast<int>(values.size()) || row < 0 || row >= def->rows)
        return false;
    return StoreRange(*def, row * def->columns, values);
}

// All or nothing: one value out of range refuses the whole request.
bool ParamStore::StoreRange(const ParamDef& def, int first, const std::vector<int32_t>& values)
{
    if (!std::all_of(values.begin(), values.end(), [&](int32_t v) { return def.InRange(v); }))
        return false;
    std::copy(values.begin(), values.end(), values_.at(def.number).begin() + first);
    return true;
}

int32_t ParamStore::Get(int number, int index) const
{
    const auto it = values_.find(number);
    if (it == values_.end() || index < 0 || index >= static_cast<int>(it->second.size()))
        return 0;
    return it->second[index];
}

bool ParamStore::Set(int number, int index, int32_t value)
{
    const ParamDef* def = FindParam(number);
    if (!def || index < 0 || index >= def->count())
        return false;
    return StoreRange(*def, index, {value});
}

bool ParamStore::SetAll(int number, const std::vector<int32_t>& values)
{
    const ParamDef* def = FindParam(number);
    if (!def || def->count() != static_cast<int>(values.size()))
        return false;
    return StoreRange(*def, 0, values);
}

} // namespace sernox
