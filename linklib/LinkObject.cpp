#include "LinkObject.h"

#include "LocalPath.h"

#include "sim/ParamTable.h"
#include "sim/SimUnit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sernox {

namespace {

constexpr int32_t kStateDown = 0;
constexpr int32_t kStateUp = 1;
constexpr int32_t kProgramFailed = 2;

bool IsBlock(int32_t id) { return (id & kIdBlock) != 0; }

bool ReadWholeFile(const char* path, std::string& text)
{
    if (!path)
        return false;
    const std::filesystem::path file = LocalPath(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in || !content)
        return false;
    text = content.str();
    return true;
}

} // namespace

LinkObject::LinkObject()
    : LinkObject(std::make_unique<SimUnit>())
{
}

LinkObject::LinkObject(std::unique_ptr<Unit> unit)
    : unit_(std::move(unit))
{
}

LinkObject::~LinkObject() = default;

void LinkObject::Post(int32_t state)
{
    if (screen_)
        screen_->PostState(state);
}

void LinkObject::LinkLost()
{
    connected_ = false;
    Post(kStateDown);
}

// A refusal is an answer; only a unit that no longer answers ends the link.
bool LinkObject::Checked(bool ok)
{
    if (!ok && connected_ && !unit_->Alive())
        LinkLost();
    return ok;
}

bool LinkObject::OpenLink()
{
    return unit_->Open();
}

void LinkObject::Connect()
{
    connected_ = true;
    Post(kStateUp);
}

void LinkObject::Disconnect()
{
    if (!connected_)
        return;
    unit_->Close();
    LinkLost();
}

uint8_t LinkObject::GetStatusFlags()
{
    uint8_t flags = 0;
    if (!connected_ || !Checked(unit_->StatusFlags(flags)))
        return 0;
    return flags;
}

bool LinkObject::Identify(uint8_t* idBytes)
{
    uint8_t answer[4] = {};
    if (!connected_ || !idBytes || !Checked(unit_->Identify(answer)))
        return false;
    std::copy(std::begin(answer), std::end(answer), idBytes);
    return true;
}

// Exactly N elements or nothing: a short answer must not half-fill the record.
bool LinkObject::CopyOut(const std::vector<int32_t>& values, int32_t id, int32_t* dest)
{
    if (static_cast<int32_t>(values.size()) != IdCount(id))
        return false;
    std::copy(values.begin(), values.end(), dest);
    return true;
}

bool LinkObject::ReadParam(int32_t id, int32_t* dest)
{
    if (!connected_ || !dest)
        return false;
    if (IsBlock(id)) {
        std::vector<int32_t> values;
        return Checked(unit_->ReadBlock(id, values)) && CopyOut(values, id, dest);
    }
    int32_t value = 0;
    if (!Checked(unit_->ReadValue(id, value)))
        return false;
    *dest = value;
    return true;
}

bool LinkObject::ReadParamRow(int32_t id, int32_t* dest, int32_t row)
{
    if (!connected_ || !dest)
        return false;
    std::vector<int32_t> values;
    return Checked(unit_->ReadRow(id, row, values)) && CopyOut(values, id, dest);
}

bool LinkObject::ReadLive(int32_t block, uint8_t* buffer, int32_t* length)
{
    if (!connected_ || !buffer || !length || *length < 0)
        return false;
    std::vector<uint8_t> bytes;
    if (!Checked(unit_->ReadLive(block, bytes)))
        return false;
    const size_t delivered = std::min(bytes.size(), static_cast<size_t>(*length));
    std::copy_n(bytes.begin(), delivered, buffer);
    *length = static_cast<int32_t>(delivered);
    return true;
}

// Offline the program edits its record alone and takes every write as done.
bool LinkObject::WriteParam(int32_t id, const int32_t* source)
{
    if (!connected_)
        return true;
    if (!source)
        return false;
    if (!IsBlock(id))
        return Checked(unit_->WriteValue(id, *source));
    return Checked(unit_->WriteBlock(id, std::vector<int32_t>(source, source + IdCount(id))));
}

bool LinkObject::WriteValue(int32_t id, int32_t value)
{
    return !connected_ || Checked(unit_->WriteValue(id, value));
}

bool LinkObject::WriteElement(int32_t id, int32_t index, int32_t value)
{
    return !connected_ || Checked(unit_->WriteElement(id, index, value));
}

bool LinkObject::WriteCell(int32_t id, int32_t row, int32_t column, int32_t value)
{
    return !connected_ || Checked(unit_->WriteCell(id, row, column, value));
}

bool LinkObject::WriteParamRow(int32_t id, const int32_t* source, int32_t row)
{
    if (!connected_)
        return true;
    if (!source)
        return false;
    return Checked(unit_->WriteRow(id, row, std::vector<int32_t>(source, source + IdCount(id))));
}

// The program disconnects for the whole firmware command, so this works on an
// unconnected link as long as the unit answers; the unit is left released.
int32_t LinkObject::ProgramFirmware(const char* path, int32_t, int32_t, int32_t)
{
    Disconnect();
    if (!unit_->Open())
        return kProgramFailed;
    std::string text;
    if (!ReadWholeFile(path, text)) {
        unit_->Close();
        return kProgramFailed;
    }
    const int32_t result = unit_->Program(text, [this](int32_t percent) {
        if (screen_)
            screen_->SendProgress(percent, 0);
    });
    unit_->Close();
    return result;
}

} // namespace sernox
