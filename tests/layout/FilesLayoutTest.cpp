// The file browser in both modes, the save options and the file management.
#include "LayoutFixture.h"

#include "files/TFormFile.h"
#include "files/TFormGestioneFile.h"
#include "files/TFormSaveOption.h"

namespace vapora::test {
namespace {

TEST_F(LayoutTest, FileWindows)
{
    QDir(dir.path()).mkpath(QStringLiteral("Configurazioni"));
    EveryLanguage([this] {
        QWidget owner;
        for (int mode : {TFormFile::kSave, TFormFile::kLoad}) {
            bool found = false;
            TFormFile form(ctx, &owner, &found, mode, dir.path());
            Check(&form, mode == TFormFile::kSave ? QStringLiteral("FileSalva") : QStringLiteral("FileApri"));
        }
        {
            TFormSaveOption form(dictionary.get());
            Check(&form, QStringLiteral("SaveOption"));
        }
        {
            TFormGestioneFile form(ctx, &owner, dir.path());
            Check(&form, QStringLiteral("GestioneFile"));
        }
    });
}

} // namespace
} // namespace vapora::test
