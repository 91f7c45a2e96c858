#include "ParamTable.h"

#include <algorithm>

namespace sernox {

namespace {

struct Shape {
    int rows;
    int columns;
    bool word;
    bool isSigned;
};

constexpr Shape kByte{1, 1, false, false};
constexpr Shape kWord{1, 1, true, false};
constexpr Shape kSignedByte{1, 1, false, true};

constexpr Shape Bytes(int n) { return {1, n, false, false}; }
constexpr Shape Words(int n) { return {1, n, true, false}; }

std::vector<ParamDef> BuildTable()
{
    const std::pair<int, Shape> shapes[] = {
        {2, kByte}, {3, kByte}, {4, kByte}, {5, kByte}, {6, kByte}, {7, kByte},
        {8, kByte}, {9, kByte}, {10, kByte}, {11, kByte},
        {12, Words(20)}, {13, Bytes(8)}, {14, {8, 20, true, false}},
        {15, kByte}, {16, kWord}, {17, kByte}, {18, kByte}, {19, kWord},
        {20, kByte}, {21, kByte}, {22, kWord}, {23, kByte}, {24, kByte},
        {25, kByte}, {26, kByte}, {27, kByte},
        {28, Bytes(20)}, {29, Bytes(20)}, {30, Bytes(20)}, {31, Bytes(20)},
        {32, kByte}, {33, kByte}, {34, kWord}, {35, kByte}, {36, kByte},
        {37, Bytes(4)}, {38, kSignedByte}, {39, kSignedByte}, {40, kSignedByte},
        {41, kSignedByte}, {42, Bytes(10)}, {43, Bytes(9)}, {44, kByte},
        {45, kWord}, {46, kByte},
        {47, Bytes(6)}, {48, Bytes(6)}, {49, Bytes(6)}, {50, Bytes(6)},
        {51, kByte}, {52, kByte}, {53, Bytes(20)}, {54, kByte},
        {55, {8, 20, false, true}}, {56, kByte}, {57, Words(2)}, {58, Words(2)},
        {59, kWord}, {60, kWord}, {61, kByte}, {62, kByte}, {63, kByte},
        {67, kByte}, {68, kByte}, {69, kByte}, {70, kByte}, {71, kByte},
        {72, kByte}, {73, kSignedByte}, {74, kWord}, {75, kByte}, {76, kWord},
        {77, kByte}, {78, Bytes(6)}, {79, kSignedByte}, {80, Bytes(6)},
        {81, kByte}, {82, kWord}, {83, Bytes(12)}, {84, Words(12)},
        {85, {12, 12, true, false}},
    };
    const int readOnly[] = {2, 67, 68, 76, 82};

    std::vector<ParamDef> table;
    for (const auto& [number, s] : shapes) {
        const bool ro = std::find(std::begin(readOnly), std::end(readOnly), number) != std::end(readOnly);
        table.push_back({number, s.rows, s.columns, s.word, s.isSigned, ro});
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

int32_t ParamDef::minValue() const
{
    if (!isSigned)
        return 0;
    return word ? -32768 : -128;
}

int32_t ParamDef::maxValue() const
{
    if (isSigned)
        return word ? 32767 : 127;
    return word ? 65535 : 255;
}

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
