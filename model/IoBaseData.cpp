#include "model/IoBaseData.h"

#include "model/FileCodec.h"
#include "model/PlatformFiles.h"

#include <cstdio>
#include <random>
#include <stdexcept>

namespace vapora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOpenFailed = "Impossibile aprire il file";

// Creates an empty "_de" file with a name no other file of the temporary folder has.
fs::path CreateTemporaryFile()
{
    static std::mt19937 generator{std::random_device{}()};
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec)
        throw std::runtime_error(kOpenFailed);
    for (int attempt = 0; attempt < 32; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "_de%08x.tmp", static_cast<unsigned>(generator()));
        const fs::path candidate = folder / name;
        // Exclusive creation: an existing file of that name is never taken over.
        if (std::FILE* file = CreateNewFile(candidate)) {
            std::fclose(file);
            return candidate;
        }
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            break; // the folder itself refuses new files
    }
    throw std::runtime_error(kOpenFailed);
}

void RemoveFile(const fs::path& file)
{
    std::error_code ec;
    // A read-only copy must not stay behind: open up its permissions first.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(file, ec);
}

} // namespace

IoBaseData::~IoBaseData() { CloseIni(false); }

void IoBaseData::OpenIni(bool decode)
{
    if (IniOpen)
        return;
    const fs::path temporary = CreateTemporaryFile();
    try {
        if (decode && !CryptFile(LocalPath(FileName), temporary, true, true))
            throw std::runtime_error(kOpenFailed);
        Ini = std::make_unique<IniFile>(temporary);
    } catch (...) {
        RemoveFile(temporary);
        throw;
    }
    TempFileName = temporary;
    IniOpen = true;
}

bool IoBaseData::CloseIni(bool encode)
{
    if (!IniOpen)
        return true;
    bool ok = true;
    if (encode)
        ok = Ini->Flush() && CryptFile(TempFileName, LocalPath(FileName), false, true);
    Ini.reset();
    RemoveFile(TempFileName);
    TempFileName.clear();
    IniOpen = false;
    return ok;
}

bool IoBaseData::ReadIntKey(int32_t& dest, std::string_view key, std::string_view section) const
{
    if (!Ini || !Ini->KeyExists(section, key))
        return false;
    dest = Ini->ReadInteger(section, key, dest);
    return true;
}

bool IoBaseData::ReadBoolKey(bool& dest, std::string_view key, std::string_view section) const
{
    if (!Ini || !Ini->KeyExists(section, key))
        return false;
    dest = Ini->ReadBool(section, key, dest);
    return true;
}

bool IoBaseData::ReadStringKey(std::string& dest, std::string_view key, std::string_view section,
                               std::size_t maxLen) const
{
    if (!Ini || !Ini->KeyExists(section, key))
        return false;
    dest = Ini->ReadString(section, key, "");
    if (maxLen > 0 && dest.size() >= maxLen)
        dest.resize(maxLen - 1);
    return true;
}

void IoBaseData::WriteIntKey(int32_t value, std::string_view key, std::string_view section)
{
    if (Ini)
        Ini->WriteInteger(section, key, value);
}

void IoBaseData::WriteBoolKey(bool value, std::string_view key, std::string_view section)
{
    if (Ini)
        Ini->WriteBool(section, key, value);
}

void IoBaseData::WriteStringKey(std::string_view text, std::string_view key, std::string_view section)
{
    if (Ini)
        Ini->WriteString(section, key, text);
}

} // namespace vapora
