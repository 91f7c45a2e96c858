// The configuration window's frame: page keys, page captions after language
// changes, what each showing decides from the unit, the test functions and
// the pressure coefficient.

#include "EditorFixture.h"
#include "calib/forms/TFormPressione.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ParamIds.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace vapora::test {
namespace {

using Config = EditorTest;

TEST_F(Config, FunctionKeysSelectVisiblePagesAndWrapRound)
{
    Build(false); // no unit: the petrol page is shown
    Show();
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int page;
    } cases[] = {{Qt::Key_F1, {}, 0}, {Qt::Key_F6, {}, 5}, {Qt::Key_F10, {}, 9},
                 {Qt::Key_F11, {}, 0}, {Qt::Key_F12, {}, 1}, {Qt::Key_F3, Qt::ShiftModifier, 2}};
    for (const auto& c : cases) {
        form->SelectPage(4);
        EXPECT_TRUE(form->FormKeyDown(c.key, c.mods));
        EXPECT_EQ(form->ActivePage(), c.page) << c.key - Qt::Key_F1 + 1;
    }
    EXPECT_EQ(form->PageCaption(5), "F6 = Mappa");
    form->SelectPage(3);
    EXPECT_FALSE(form->FormKeyDown(Qt::Key_F4, Qt::AltModifier)) << "Alt+F4 is not a page key";
    EXPECT_EQ(form->ActivePage(), 3);
}

TEST_F(Config, WithoutThePetrolPageF10WrapsToTheFirstPage)
{
    Build(true, [](sernox::SimUnit& u) { u.SetPetrolMapBlocked(true); });
    Show();
    EXPECT_FALSE(form->PageVisible(TFormConfig::kTabMappaBenzina));
    form->FormKeyDown(Qt::Key_F10, {});
    EXPECT_EQ(form->ActivePage(), TFormConfig::kTabCambio);
    form->FormKeyDown(Qt::Key_F9, {});
    EXPECT_EQ(form->ActivePage(), TFormConfig::kTabVarie);
}

TEST_F(Config, TwoLanguageChangesLeaveOneFunctionKeyPrefix)
{
    Build(false);
    const QString table = dir.filePath(QStringLiteral("DizVapora.dbf"));
    ASSERT_TRUE(WriteDictionary(table, {QStringLiteral("IDENTIF"), QStringLiteral("ITALIANO"), QStringLiteral("ENGLISH")},
                                {{QStringLiteral("TabCambio"), QStringLiteral("Giri - Cambio"), QStringLiteral("Rpm - Change")},
                                 {QStringLiteral("TabVarie"), QStringLiteral("Varie"), QStringLiteral("Miscellaneous long")},
                                 {QStringLiteral("FinestraConfig"), QStringLiteral("Configurazione veicolo"),
                                  QStringLiteral("Vehicle setup")}}));
    TDataModuleMur dictionary(dialogs);
    ASSERT_TRUE(dictionary.Open(dir.path(), QStringLiteral("DizVapora.dbf")));
    ctx.dictionary = &dictionary;
    dictionary.SelectLanguage(1);
    form->LoadTexts();
    form->LoadTexts();
    EXPECT_EQ(form->PageCaption(0), "F1 = Rpm - Change");
    EXPECT_EQ(form->PageCaption(8), "F9 = Miscellaneous l") << "page captions are cut to 15 characters";
    EXPECT_EQ(form->windowTitle(), "Vehicle setup");
    dictionary.SelectLanguage(0);
    form->LoadTexts();
    EXPECT_EQ(form->PageCaption(0), "F1 = Giri - Cambio");
    EXPECT_EQ(form->PageCaption(9), "F10 = Mappa benzina");
    ctx.dictionary = nullptr;
}

TEST_F(Config, LoadAxisOfTheMapFollowsTheUnitKind)
{
    const struct {
        uint8_t model;
        QColor colour;
        bool mapShown;
    } cases[] = {{1, TFormConfig::kThrottleRows, false}, {2, TFormConfig::kPressureRows, true},
                 {3, TFormConfig::kThrottleRows, true}};
    for (const auto& c : cases) {
        Build(true, [&](sernox::SimUnit& u) { u.SetModelCode(c.model); });
        Show();
        EXPECT_EQ(form->MapFixedColour(), c.colour) << int(c.model);
        EXPECT_EQ(Strip("LabMap")->isVisibleTo(form.get()), c.mapShown) << int(c.model);
        EXPECT_EQ(form->PageCaption(0), "F1 = Giri - Cambio");
        TearDown();
    }
}

TEST_F(Config, DriveByWireNeedsSoftwareFifteen)
{
    for (uint8_t version : {14, 15}) {
        Build(true, [&](sernox::SimUnit& u) {
            u.SetSoftwareVersion(version);
            u.StoreElement(ids::kTipoDiTps, 0, 0x40); // drive-by-wire straight
        });
        ASSERT_EQ(car->GetTpsWire(), 1);
        Show(TFormConfig::kTabTps);
        EXPECT_EQ(car->GetTpsWire(), version == 14 ? 0 : 1) << int(version);
        EXPECT_EQ(Combo("ComboTpsWire")->isEnabled(), version == 15) << int(version);
        TearDown();
    }
}

TEST_F(Config, UnlockingLimitsLetsValuesPastTheMaximumUntilLockedAgain)
{
    Build();
    Show();
    QAction* unlock = form->Action(QStringLiteral("MenuSbloccaLimiti"));
    unlock->trigger();
    ASSERT_TRUE(unlock->isChecked());
    TNumericEdit* giri = Edit("EditGiriCambio");
    Enter(giri, QStringLiteral("12000"));
    EXPECT_EQ(giri->text(), "12000");
    EXPECT_EQ(car->GetParam(ids::kGiriPerCambio), 12000);
    TNumericEdit* ritardo = Edit("EditRitMin");
    ritardo->setFocus();
    ritardo->setText(QString());
    QTest::keyClicks(ritardo, QStringLiteral("-3"));
    EXPECT_EQ(ritardo->text(), "-3") << "a minus sign where the minimum is 0";

    unlock->trigger();
    ASSERT_FALSE(unlock->isChecked());
    Enter(giri, QStringLiteral("12000"));
    EXPECT_EQ(giri->text(), "10000");
    EXPECT_EQ(car->GetParam(ids::kGiriPerCambio), 10000);
}

TEST_F(Config, ProgramDiagnosisShowsBothCountersFreshFromTheUnit)
{
    Build();
    unit->StoreElement(ids::kRegistroDiagnosi, 0, 17);
    unit->StoreElement(ids::kNumeroReset, 0, 4);
    form->MenuDiagnosiProgClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Registro diagnosi programma = 17\nNumero reset = 4");
    EXPECT_EQ(dialogs.messages[0].title, form->windowTitle());
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::None);
}

TEST_F(Config, PressureCoefficientIsKeptInTenthsForTheFuelInUse)
{
    Build();
    settings->SetValue(GlobalData::kCoeffPressione, 18);
    Show();
    EXPECT_DOUBLE_EQ(form->PressureCoefficient(), 1.8);
    QString shownFuel;
    dialogs.windows.push_back([&](QDialog* d) {
        auto* w = static_cast<TFormPressione*>(d);
        shownFuel = w->LabelGAS()->text();
        EXPECT_EQ(w->EditCoeff()->text(), "1.8");
        w->EditCoeff()->setText(QStringLiteral("2.34"));
        w->EditCoeff()->SetDouble(w->EditCoeff()->GetDouble());
        return QDialog::Accepted;
    });
    form->MenuModificaCoeffClick();
    EXPECT_EQ(shownFuel, "GPL");
    EXPECT_EQ(settings->GetValue(GlobalData::kCoeffPressione), 23);
    EXPECT_EQ(settings->GetValue(GlobalData::kCoeffPressioneCng), 24) << "the other fuel's value stays";

    dialogs.windows.push_back([](QDialog* d) {
        static_cast<TFormPressione*>(d)->EditCoeff()->setText(QStringLiteral("1.0"));
        return QDialog::Rejected;
    });
    form->MenuModificaCoeffClick();
    EXPECT_EQ(settings->GetValue(GlobalData::kCoeffPressione), 23) << "cancel stores nothing";
}

TEST_F(Config, ClosingDuringARecordingAsksForItsName)
{
    Build();
    Show();
    form->MenuCominciaDrtClick();
    ASSERT_TRUE(form->Recording());
    const QString target = dir.filePath(QStringLiteral("closed.txt"));
    dialogs.fileNames.push_back(target);
    form->reject();
    EXPECT_FALSE(form->Recording());
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(form->Timer1()->isActive());
}

TEST_F(Config, RecordingMenuKeepsItsCaptionBesideTheRecordingImage)
{
    Build();
    Show();
    auto* bar = form->findChild<QMenuBar*>(QStringLiteral("MainMenu1"));
    auto* menu = form->findChild<QMenu*>(QStringLiteral("MenuAcquisizioni"));
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(menu, nullptr);
    const QString title = menu->title();
    const int textOnly = bar->actionGeometry(menu->menuAction()).width();

    form->MenuCominciaDrtClick();
    ASSERT_TRUE(form->Recording());
    EXPECT_FALSE(menu->icon().isNull());
    EXPECT_EQ(menu->title(), title);
    const QRect item = bar->actionGeometry(menu->menuAction());
    EXPECT_GE(item.width(), textOnly + 16) << "room for the image and the caption";

    // Drawn: the red mark on the left, dark caption strokes right of it.
    EXPECT_TRUE(bar->rect().contains(item)) << "the item still fits the bar";
    const QImage shot = bar->grab(item).toImage();
    int lastRed = -1;
    for (int x = 0; x < shot.width(); ++x)
        for (int y = 0; y < shot.height(); ++y) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 80 && c.blue() < 80)
                lastRed = x;
        }
    ASSERT_GE(lastRed, 0) << "the recording image is drawn";
    int dark = 0;
    for (int x = lastRed + 1; x < shot.width(); ++x)
        for (int y = 0; y < shot.height(); ++y)
            dark += shot.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 20) << "the caption is drawn beside the image";

    dialogs.fileNames.push_back(dir.filePath(QStringLiteral("rec.txt")));
    form->MenuTerminaDrtClick();
    EXPECT_TRUE(menu->icon().isNull());
    EXPECT_EQ(bar->actionGeometry(menu->menuAction()).width(), textOnly);
}

} // namespace
} // namespace vapora::test
