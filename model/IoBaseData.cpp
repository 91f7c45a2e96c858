#include "model/IoBaseData.h"

#include "model/FileCodec.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"
#include "model/PlatformFiles.h"

namespace vapora {

namespace fs = std::filesystem;

namespace {

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
    FileError why = FileError::Other;
    std::string plain;
    if (decode) {
        // The file first: a missing file is told as such whatever the temporary folder's state.
        std::string bytes;
        if (!ReadFileBytes(LocalPath(FileName), bytes, &why))
            throw FileFailure(why);
        plain = CryptBytes(bytes, true, true, {});
    }
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec)
        throw FileFailure(FileError::TempMissing);
    fs::path temporary;
    if (!CreateScratchFile(folder, kDecodeScratchPrefix, temporary, &why))
        throw FileFailure(InTemporaryFolder(why));
    if (decode && !OverwriteFile(temporary, plain, &why)) {
        RemoveFile(temporary);
        throw FileFailure(InTemporaryFolder(why));
    }
    Ini = std::make_unique<IniFile>(IniFile::FromText(plain, temporary));
    TempFileName = temporary;
    IniOpen = true;
}

bool IoBaseData::CloseIni(bool encode)
{
    if (!IniOpen)
        return true;
    bool ok = true;
    if (encode) {
        // Straight from the copy in memory: the target is the only file written.
        FileError why = FileError::Other;
        ok = WriteFileReplacing(LocalPath(FileName), CryptBytes(Ini->Text(), false, true, {}), &why);
        if (!ok)
            lastError_ = why;
    }
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
