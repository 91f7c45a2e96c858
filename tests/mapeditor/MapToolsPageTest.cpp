// The map tools on the pages: undo and redo through the record and the unit,
// a refused restore, block interpolation and smoothing, the comparison with a
// configuration file and the colouring by value.

#include "mapeditor/MapSupport.h"

#include "editor/MapRecord.h"
#include "editor/MapTools.h"
#include "editor/TFormCentriCelleBenz.h"
#include "widgets/TNumericEdit.h"
#include "model/FileCodec.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

constexpr int kGasMapId = 14;

int StoredGasCell(const MapWindow& w, int row, int column) { return w.unit->StoredElement(kGasMapId, row * 20 + column); }

void PasteAt(MapGrid& grid, int column, int row, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    grid.SetFocusCell(column, row);
    grid.MenuIncollaClick();
}

TEST(MapUndo, UndoAndRedoOfAPasteWriteEachCellThroughToTheUnit)
{
    MapWindow w(true);
    GasMapGrid& grid = w.gasGrid();
    const MapState start = ReadMapState(*w.car, MapKind::Gas);
    PasteAt(grid, 3, 2, QStringLiteral("501\t502\r\n503\t504")); // map rows 1..2, columns 2..3
    ASSERT_EQ(StoredGasCell(w, 2, 3), 504);

    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadMapState(*w.car, MapKind::Gas), start);
    for (int r = 1; r <= 2; ++r)
        for (int c = 2; c <= 3; ++c)
            EXPECT_EQ(StoredGasCell(w, r, c), start.Cell(r, c)) << r << "," << c;
    EXPECT_FALSE(w.gas->Tools()->History().CanUndo()) << "the paste was one step";

    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.car->GetGasMapCell(1, 2), 501);
    EXPECT_EQ(StoredGasCell(w, 2, 3), 504);
    EXPECT_TRUE(w.dialogs.messages.empty());
    EXPECT_EQ(w.live.stops, w.live.starts) << "the live timer runs again";
}

TEST(MapUndo, ARefusedRestoreStaysToUndoAndTheUserIsTold)
{
    MapWindow w(true);
    GasMapGrid& grid = w.gasGrid();
    const MapState start = ReadMapState(*w.car, MapKind::Gas);
    PasteAt(grid, 3, 2, QStringLiteral("501\t502\r\n503\t504"));

    w.unit->RefuseNextWrites(1); // the first restore, map cell (1, 2)
    w.gas->Tools()->MenuAnnullaMappa()->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(w.dialogs.messages[0].text.contains(QStringLiteral("1"))) << w.dialogs.messages[0].text.toStdString();
    EXPECT_EQ(w.car->GetGasMapCell(1, 2), 501);
    EXPECT_EQ(StoredGasCell(w, 1, 2), 501);
    EXPECT_EQ(w.car->GetGasMapCell(2, 3), start.Cell(2, 3));
    const MapHistory& history = w.gas->Tools()->History();
    EXPECT_TRUE(history.CanUndo());
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.Seen(), ReadMapState(*w.car, MapKind::Gas)) << "history and record agree";

    w.gas->Tools()->Undo();
    EXPECT_EQ(ReadMapState(*w.car, MapKind::Gas), start);
    EXPECT_EQ(StoredGasCell(w, 1, 2), start.Cell(1, 2));
    EXPECT_EQ(w.dialogs.messages.size(), 1u);
}

TEST(MapUndo, BlockModificationCompletionAndBreakpointsAreStepsAndALoadStartsAfresh)
{
    MapWindow w;
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c)
            w.car->SetPetrolMapCell(r, c, 2.0);
    const MapState start = ReadMapState(*w.car, MapKind::Petrol);
    MapTools& tools = *w.petrol->Tools();
    tools.Follow();

    w.petrolGrid().SetSelection(1, 1, 4, 3);
    w.AnswerModify(QStringLiteral("10"), 2);
    QTest::keyClick(&w.petrolGrid(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(w.car->GetPetrolMapCell(2, 3), 2.2);

    w.car->AddLearnedPoint(1000, 1.0, 3.0, 1, 1, 0);
    w.car->AddLearnedPoint(3000, 2.0, 5.0, 5, 4, 0);
    w.car->AddLearnedPoint(5000, 3.5, 9.0, 9, 10, 0);
    w.petrol->MenuInterpolaClick();
    const MapState completed = ReadMapState(*w.car, MapKind::Petrol);
    ASSERT_NE(completed, start);

    w.dialogs.windows.push_back([](QDialog* d) {
        auto* editor = static_cast<TFormCentriCelleBenz*>(d);
        editor->SpeedEdit(11)->setText(QStringLiteral("7000"));
        editor->ButtonOkClick();
        return QDialog::Accepted;
    });
    w.petrol->ButtonCentriCelleBenzClick();
    ASSERT_EQ(w.car->GetPetrolRpmRef(11), 7000);
    EXPECT_EQ(tools.History().UndoCount(), 3u);

    tools.Undo();
    EXPECT_EQ(ReadMapState(*w.car, MapKind::Petrol), completed);
    tools.Undo();
    tools.Undo();
    EXPECT_EQ(ReadMapState(*w.car, MapKind::Petrol), start);
    tools.Redo();

    // A file loaded from the main window replaces the record: nothing to undo.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("other.vap"));
    w.car->SetPetrolMapCell(0, 0, 7.0);
    ASSERT_TRUE(w.car->SaveToFile(QFile::encodeName(file).toStdString(), 0));
    ASSERT_TRUE(w.car->LoadFromFile(QFile::encodeName(file).toStdString(), 0));
    w.ShowPage(2);
    w.petrol->TabMappaBenzinaShow();
    EXPECT_FALSE(tools.History().CanUndo());
    EXPECT_FALSE(tools.History().CanRedo());
}

TEST(MapBlockTools, InterpolationAndSmoothingAreOneStepEachWithinTheRange)
{
    MapWindow w(true);
    GasMapGrid& grid = w.gasGrid();
    for (int c = 0; c < 20; ++c)
        w.car->SetRpmRef(c, 1000 + 200 * c); // even spacing keeps the numbers simple
    w.gas->Tools()->Follow();
    PasteAt(grid, 2, 2, QStringLiteral("100\t0\t0\t0\t300"));
    grid.SetSelection(2, 2, 6, 2);
    w.gas->Tools()->MenuInterpolaRighe()->trigger();
    EXPECT_EQ(w.car->GetGasMapCell(1, 2), 150);
    EXPECT_EQ(w.car->GetGasMapCell(1, 3), 200);
    EXPECT_EQ(StoredGasCell(w, 1, 4), 250);

    PasteAt(grid, 2, 2, QStringLiteral("0\t0\t0\r\n0\t510\t0\r\n0\t0\t0"));
    grid.SetSelection(2, 2, 4, 4);
    w.gas->Tools()->MenuLeviga()->trigger();
    EXPECT_EQ(w.car->GetGasMapCell(2, 2), 128); // 510 x 4 / 16, rounded
    EXPECT_EQ(w.car->GetGasMapCell(1, 1), 0);

    const size_t steps = w.gas->Tools()->History().UndoCount();
    w.gas->Tools()->Undo();
    EXPECT_EQ(w.car->GetGasMapCell(2, 2), 510);
    EXPECT_EQ(w.gas->Tools()->History().UndoCount(), steps - 1);
}

// A configuration file of the record as it is now, encoded or plain.
QString SaveCopy(ConfCar& car, const QTemporaryDir& dir, bool plain)
{
    const QString encoded = dir.filePath(QStringLiteral("base.vap"));
    EXPECT_TRUE(car.SaveToFile(QFile::encodeName(encoded).toStdString(), 0));
    if (!plain)
        return encoded;
    const QString decoded = dir.filePath(QStringLiteral("plain.vap"));
    EXPECT_TRUE(CryptFile(QFile::encodeName(encoded).toStdString(), QFile::encodeName(decoded).toStdString(), true,
                          true));
    return decoded;
}

TEST(MapComparison, TwoChangedCellsAreExactlyTheColouredOnes)
{
    for (bool plain : {false, true}) {
        MapWindow w;
        GasMapGrid& grid = w.gasGrid();
        grid.setFixedSize(21 * 50, 9 * 30);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 20; ++c)
                w.car->SetGasMapCell(r, c, 200);
        QTemporaryDir dir;
        w.dialogs.fileNames.push_back(SaveCopy(*w.car, dir, plain));
        w.car->SetGasMapCell(2, 3, 260);
        w.car->SetGasMapCell(6, 15, 190);
        w.car->SetRpmRef(7, w.car->GetRpmRef(7) + 100);

        w.gas->Tools()->MenuConfrontaFile()->trigger();
        ASSERT_TRUE(w.dialogs.messages.empty()) << plain;
        EXPECT_TRUE(w.gas->Tools()->MenuMostraConfronto()->isChecked());

        const QImage image = grid.grab().toImage();
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 20; ++c) {
                const QRect cell = grid.CellRect(c, r);
                const QColor colour = image.pixelColor(cell.left() + 2, cell.top() + 2);
                if (r == 3 && c == 4) {
                    EXPECT_EQ(colour, MapTools::kHigherColour) << "the largest difference gets the full red";
                } else if (r == 7 && c == 16) {
                    EXPECT_LT(colour.red(), colour.blue()) << "lower is blue";
                    EXPECT_GT(colour.red(), 0x80) << "a small difference is a light blue";
                } else {
                    EXPECT_EQ(colour, MapGrid::kCellColor) << r << "," << c << (plain ? " plain" : " encoded");
                }
            }
        // Only the changed breakpoint is marked.
        const QRect changed = grid.CellRect(8, 0);
        const QRect same = grid.CellRect(9, 0);
        EXPECT_EQ(image.pixelColor(changed.left() + 2, changed.center().y()), QColor(255, 230, 0));
        EXPECT_EQ(image.pixelColor(same.left() + 2, same.center().y()), grid.FixedColor());

        EXPECT_EQ(w.gas->Tools()->ToolTip(4, 3), QStringLiteral("Mappa: 260\nFile: 200\nDifferenza: +60"));
        EXPECT_EQ(w.gas->Tools()->ToolTip(5, 3), QStringLiteral("Mappa: 200\nFile: 200\nDifferenza: +0"));

        w.gas->Tools()->MenuMostraConfronto()->trigger(); // switched off
        EXPECT_FALSE(w.gas->Tools()->Comparing());
        EXPECT_EQ(PixelIn(grid, grid.CellRect(4, 3), 2, 2), MapGrid::kCellColor);
        EXPECT_TRUE(w.gas->Tools()->ToolTip(4, 3).isEmpty());
    }
}

TEST(MapComparison, PetrolMapAgainstAFileAndAnUnreadableFile)
{
    MapWindow w;
    PetrolMapGrid& grid = w.petrolGrid();
    grid.setFixedSize(13 * 50, 13 * 30);
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c)
            w.car->SetPetrolMapCell(r, c, 4.0);
    QTemporaryDir dir;
    const QString file = SaveCopy(*w.car, dir, false);
    w.car->SetPetrolMapCell(0, 0, 3.5);
    ASSERT_TRUE(w.petrol->Tools()->CompareWith(file));
    EXPECT_EQ(PixelIn(grid, grid.CellRect(1, 1), 2, 2), MapTools::kLowerColour);
    EXPECT_EQ(PixelIn(grid, grid.CellRect(2, 1), 2, 2), MapGrid::kCellColor);
    EXPECT_EQ(w.petrol->Tools()->ToolTip(1, 1), QStringLiteral("Mappa: 3.50\nFile: 4.00\nDifferenza: -0.500"));

    EXPECT_FALSE(w.petrol->Tools()->CompareWith(dir.filePath(QStringLiteral("missing.vap"))));
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(w.petrol->Tools()->Comparing()) << "the earlier comparison stays";
}

// The page says what the map is compared with; another file loaded into the
// record ends the comparison, which no longer describes the map shown.
TEST(MapComparison, ThePageNamesTheFileAndAReplacedMapEndsTheComparison)
{
    MapWindow w;
    w.gasGrid().setFixedSize(21 * 50, 9 * 30);
    w.window.show();
    QTemporaryDir dir;
    const QString file = SaveCopy(*w.car, dir, false);
    auto* note = w.gas->findChild<QLabel*>(QStringLiteral("LabelConfronto"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisibleTo(w.gas));

    w.car->SetGasMapCell(0, 0, w.car->GetGasMapCell(0, 0) + 5); // an edit of the user's: the comparison stays
    w.gas->TabMappaShow();
    ASSERT_TRUE(w.gas->Tools()->CompareWith(file));
    EXPECT_TRUE(note->isVisibleTo(w.gas));
    EXPECT_TRUE(note->text().contains(QStringLiteral("base.vap"))) << note->text().toStdString();
    w.gas->TabMappaShow();
    EXPECT_TRUE(w.gas->Tools()->Comparing());

    // Another configuration loaded while the window was hidden.
    for (int c = 0; c < 20; ++c)
        w.car->SetGasMapCell(3, c, 300 + c);
    w.gas->TabMappaShow();
    EXPECT_FALSE(w.gas->Tools()->Comparing());
    EXPECT_FALSE(w.gas->Tools()->MenuMostraConfronto()->isEnabled());
    EXPECT_FALSE(note->isVisibleTo(w.gas));
    EXPECT_EQ(PixelIn(w.gasGrid(), w.gasGrid().CellRect(1, 4), 2, 2), MapGrid::kCellColor);
}

TEST(MapColours, ColourByValueIsOffByDefaultAndShadesFromLowToHigh)
{
    MapWindow w;
    GasMapGrid& grid = w.gasGrid();
    grid.setFixedSize(21 * 50, 9 * 30);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 20; ++c)
            w.car->SetGasMapCell(r, c, 10 * c);
    EXPECT_FALSE(w.gas->Tools()->HeatMap());
    EXPECT_EQ(PixelIn(grid, grid.CellRect(20, 4), 2, 2), MapGrid::kCellColor);

    w.gas->Tools()->MenuColoraValori()->trigger();
    const QImage image = grid.grab().toImage();
    const QColor low = image.pixelColor(grid.CellRect(1, 4).topLeft() + QPoint(2, 2));
    const QColor high = image.pixelColor(grid.CellRect(20, 4).topLeft() + QPoint(2, 2));
    EXPECT_GT(low.blue(), low.red());
    EXPECT_GT(high.red(), high.blue());
    EXPECT_GT(high.lightness(), 120) << "light enough for black text";
}

} // namespace
} // namespace vapora::test
