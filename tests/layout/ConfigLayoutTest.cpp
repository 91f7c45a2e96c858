// The configuration window on each of its pages, its temperature and pressure
// windows and the map modification box.
#include "LayoutFixture.h"

#include "calib/forms/TFormPressione.h"
#include "calib/forms/TFormTemperatura.h"
#include "editor/ConfigPage.h"
#include "editor/TFormConfig.h"
#include "editor/TFormModMappa.h"

namespace vapora::test {
namespace {

TEST_F(LayoutTest, ConfigurationWindowOnEveryPage)
{
    EveryLanguage([this] {
        TFormConfig form(ctx);
        form.SetTemporaryFolder(dir.path());
        form.SetRecordingFolder(dir.path());
        form.LoadTexts();
        form.show();
        for (int page = 0; page < TFormConfig::kPageCount; ++page) {
            if (!form.PageVisible(page))
                continue;
            form.SelectPage(page);
            CheckMaximised(&form, QStringLiteral("Config-") + form.Page(page)->objectName());
        }
    });
}

TEST_F(LayoutTest, TemperaturePressureAndMapBoxes)
{
    EveryLanguage([this] {
        TFormTemperatura temperature(*car, nullptr, dictionary.get());
        Check(&temperature, QStringLiteral("Temperatura"));
        TFormPressione pressure(ctx);
        Check(&pressure, QStringLiteral("Pressione"));
    });
}

} // namespace
} // namespace vapora::test
