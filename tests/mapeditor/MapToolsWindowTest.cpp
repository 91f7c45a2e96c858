// The map tools in the configuration window with the shipped dictionary: the
// commands have texts in both languages and a comparison outlives a change of
// language.

#include "editor/EditorFixture.h"
#include "support/ShippedDictionary.h"
#include "editor/GasMapGrid.h"
#include "editor/MapPages.h"
#include "editor/MapTools.h"
#include "editor/PetrolMapGrid.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

namespace vapora::test {
namespace {

using MapToolsWindow = EditorTest;

QColor PixelOf(MapGrid& grid, int column, int row)
{
    const QRect cell = grid.CellRect(column, row);
    return grid.grab().toImage().pixelColor(cell.left() + 2, cell.top() + 2);
}

TEST_F(MapToolsWindow, ComparisonSurvivesALanguageChange)
{
    Build(false);
    const QStringList sources = test::ShippedDictionarySources(QDir(QStringLiteral(VAPORA_DATA_DIR)));
    QString error;
    ASSERT_TRUE(MakeDictionary(sources, dir.filePath(QStringLiteral("DizVapora.dbf")), &error)) << error.toStdString();
    TDataModuleMur dictionary(dialogs);
    ASSERT_TRUE(dictionary.Open(dir.path(), QStringLiteral("DizVapora.dbf")));
    ctx.dictionary = &dictionary;
    form->LoadTexts();

    auto* page = form->findChild<GasMapPage*>();
    ASSERT_NE(page, nullptr);
    MapTools& tools = *page->Tools();
    GasMapGrid& grid = *page->DrawGridMap();
    EXPECT_EQ(tools.MenuMostraConfronto()->text(), QStringLiteral("&Mostra confronto"));

    const QString file = dir.filePath(QStringLiteral("base.vap"));
    ASSERT_TRUE(car->SaveToFile(QFile::encodeName(file).toStdString(), 0));
    car->SetGasMapCell(0, 0, car->GetGasMapCell(0, 0) + 30);
    Show(TFormConfig::kTabMappa);
    dialogs.fileNames.push_back(file);
    tools.MenuConfrontaFile()->trigger();
    grid.clearFocus();
    const QColor before = PixelOf(grid, 1, 1);
    EXPECT_EQ(before, MapTools::kHigherColour);

    dictionary.SelectLanguage(1);
    form->LoadTexts();
    EXPECT_EQ(tools.MenuMostraConfronto()->text(), QStringLiteral("&Show comparison"));
    EXPECT_EQ(tools.MenuAnnullaMappa()->text(), QStringLiteral("&Undo"));
    EXPECT_TRUE(tools.MenuMostraConfronto()->isChecked());
    EXPECT_TRUE(tools.Comparing());
    EXPECT_EQ(PixelOf(grid, 1, 1), before);
    EXPECT_TRUE(tools.ToolTip(1, 1).startsWith(QStringLiteral("Map: "))) << tools.ToolTip(1, 1).toStdString();
    EXPECT_TRUE(tools.ToolTip(1, 1).contains(QStringLiteral("\nDifference: +30")));
    EXPECT_TRUE(dialogs.messages.empty()) << "every key is in the dictionary";
    ctx.dictionary = nullptr;
}

TEST_F(MapToolsWindow, ColourByValueIsRememberedInTheSettingsForBothMaps)
{
    Build(false);
    auto* gas = form->findChild<GasMapPage*>();
    auto* petrol = form->findChild<PetrolMapPage*>();
    EXPECT_FALSE(gas->Tools()->HeatMap()) << "off by default";
    EXPECT_FALSE(gas->Tools()->MenuColoraValori()->isChecked());

    gas->Tools()->MenuColoraValori()->trigger();
    EXPECT_EQ(settings->GetValue(GlobalData::kMapColours), 1);
    Show(TFormConfig::kTabMappaBenzina);
    petrol->DrawGridMapBenz()->grab();
    EXPECT_TRUE(petrol->Tools()->HeatMap()) << "the petrol grid follows the setting";

    // A new run reads what the last one wrote.
    form.reset();
    settings.reset();
    settings = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaEditorTest"), dialogs, dir.path());
    ctx.settings = settings.get();
    form = std::make_unique<TFormConfig>(ctx);
    EXPECT_TRUE(form->findChild<GasMapPage*>()->Tools()->HeatMap());
    form->findChild<GasMapPage*>()->Tools()->SetHeatMap(false);
    EXPECT_EQ(settings->GetValue(GlobalData::kMapColours), 0);
}

} // namespace
} // namespace vapora::test
