#include "services/platform/ScratchCleanup.h"

#include "services/platform/FilePaths.h"
#include "model/ScratchFiles.h"
#include "services/settings/GlobalData.h"

#include <filesystem>

namespace vapora {

int RemoveStaleScratch(const QString& mainFolder)
{
    int removed = 0;
    std::error_code ec;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(ec);
    if (!ec)
        removed += RemoveStaleScratchFiles(temporary);
    for (const QString& folder :
         {mainFolder, GlobalData::ConfigFolder(mainFolder), GlobalData::MethaneFolder(mainFolder),
          GlobalData::CalibrationFolder(mainFolder), GlobalData::RecordingFolder(mainFolder),
          GlobalData::ProgramFolder(mainFolder)})
        removed += RemoveStaleScratchFiles(FsPath(folder));
    return removed;
}

} // namespace vapora
