// The file browser in both modes, the save options, the file management and the
// restore points with their comparison.
#include "LayoutFixture.h"

#include "app/TFormConfrontoRipristino.h"
#include "app/TFormPuntiRipristino.h"
#include "model/RestorePoints.h"
#include "services/platform/FilePaths.h"

#include "files/TFormFile.h"
#include "files/TFormGestioneFile.h"
#include "files/TFormSaveOption.h"

#include <QCheckBox>
#include <QTreeWidget>

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

TEST_F(LayoutTest, RestorePointWindows)
{
    // Every reason once, so that the longest caption of each is in the list.
    restore::Store store(FsPath(dir.path()));
    for (int reason = 0; reason <= static_cast<int>(restore::Reason::BeforeRestore); ++reason)
        ASSERT_EQ(store.Take(*car, static_cast<restore::Reason>(reason)).status, restore::TakeStatus::Taken);
    const std::vector<restore::Point> points = store.List();
    ASSERT_FALSE(points.empty());
    ConfCar pointRecord(std::string(), nullptr);
    ASSERT_TRUE(pointRecord.LoadFromFile(points.front().file.string(), 0));
    // A few values apart, so that the comparison has rows.
    car->RifLambda += 5;
    car->MappaCarburazione[2][3] += 7;
    EveryLanguage([&] {
        QWidget owner;
        TFormPuntiRipristino::Actions actions;
        actions.restore = [](const restore::Point&) { return true; };
        actions.compareMap = [](const restore::Point&, bool) {};
        {
            TFormPuntiRipristino form(ctx, actions, &owner);
            form.ShowAll()->setChecked(true);
            Check(&form, QStringLiteral("PuntiRipristino"));
        }
        {
            TFormConfrontoRipristino form(ctx, points.front(), pointRecord, [](bool) {}, &owner);
            EXPECT_GE(form.Table()->topLevelItemCount(), 2);
            Check(&form, QStringLiteral("ConfrontoRipristino"));
        }
    });
    car->RifLambda -= 5;
    car->MappaCarburazione[2][3] -= 7;
}

} // namespace
} // namespace vapora::test
