// Pictures of every page on the simulated unit with the engine running, for
// looking at the layout. Runs only when VAPORA_SCREENSHOTS names a folder.

#include "EditorFixture.h"
#include "calib/forms/TFormPressione.h"
#include "calib/forms/TFormTemperatura.h"
#include "editor/TFormModMappa.h"

#include <QTabWidget>

namespace vapora::test {
namespace {

using Screens = EditorTest;

TEST_F(Screens, EveryPage)
{
    const QString folder = qEnvironmentVariable("VAPORA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VAPORA_SCREENSHOTS to a folder";
    Build();
    unit->engine().SetTarget(2400, 90, 120);
    Show();
    form->resize(1024, 700);
    QApplication::processEvents();
    for (int page = 0; page < TFormConfig::kPageCount; ++page) {
        if (!form->PageVisible(page))
            continue;
        form->SelectPage(page);
        Tick(40);
        QApplication::processEvents();
        const QString name = form->Page(page)->objectName();
        EXPECT_TRUE(form->grab().save(QStringLiteral("%1/%2.png").arg(folder, name)));
    }
    form->resize(800, 600); // the size the window was drawn for
    form->SelectPage(TFormConfig::kTabCambio);
    QApplication::processEvents();
    form->grab().save(folder + QStringLiteral("/TabCambio-800.png"));
    form->resize(1024, 700);
    form->SelectPage(TFormConfig::kTabSensore);
    Choose(Combo("ComboSensore"), 2);
    Choose(Combo("ComboEmulazione"), 3);
    form->grab().save(folder + QStringLiteral("/TabSensore-modificato.png"));
    TFormTemperatura temperature(*car);
    temperature.adjustSize();
    temperature.grab().save(folder + QStringLiteral("/FormTemperatura.png"));
    TFormPressione pressure(ctx);
    pressure.EditCoeff()->SetDouble(1.8);
    pressure.adjustSize();
    pressure.grab().save(folder + QStringLiteral("/FormPressione.png"));
    form->ModMappa()->adjustSize();
    form->ModMappa()->grab().save(folder + QStringLiteral("/FormModMappa.png"));
}

} // namespace
} // namespace vapora::test
