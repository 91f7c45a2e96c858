// The "Mappa" page: block modification, copy and paste, fixed cells,
// adaptive overlay and menu, leaving the grid with the arrow keys.

#include "mapeditor/MapSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

void FillGas(ConfCar& car, int value)
{
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            car.MappaCarburazione[r][c] = value;
}

TEST(GasMapModify, LinearBlockLowersEachCellAndKeepsThoseItWouldTakeNegative)
{
    MapWindow w(true);
    FillGas(*w.car, 100);
    w.car->MappaCarburazione[1][2] = 5;
    w.gasGrid().SetSelection(2, 1, 5, 3); // map rows 0..2, columns 1..4
    w.AnswerModify(QStringLiteral("-10"), 1);
    QTest::keyClick(&w.gasGrid(), Qt::Key_Return);

    EXPECT_EQ(w.proposedText, QStringLiteral("0"));
    EXPECT_EQ(w.proposedMode, 1);
    for (int r = 0; r < 3; ++r)
        for (int c = 1; c <= 4; ++c) {
            const int expected = (r == 1 && c == 2) ? 5 : 90;
            EXPECT_EQ(w.car->GetGasMapCell(r, c), expected) << r << "," << c;
        }
    EXPECT_EQ(w.unit->StoredElement(14, 2 * 20 + 4), 90); // written through to the unit
    EXPECT_EQ(w.car->GetGasMapCell(3, 1), 100);
    EXPECT_EQ(w.car->GetGasMapCell(0, 5), 100);
    EXPECT_EQ(w.live.stops, 1);
    EXPECT_EQ(w.live.starts, 1);
}

TEST(GasMapModify, PercentageTruncatesAndMinusHundredClears)
{
    MapWindow w;
    FillGas(*w.car, 99);
    w.gasGrid().SetFocusCell(1, 1);
    w.AnswerModify(QStringLiteral("10"), 2);
    QTest::keyClick(&w.gasGrid(), Qt::Key_Return);
    EXPECT_EQ(w.proposedText, QStringLiteral("99")); // a single cell proposes itself, absolute
    EXPECT_EQ(w.proposedMode, 0);
    EXPECT_EQ(w.car->GetGasMapCell(0, 0), 108);

    w.gasGrid().SetSelection(1, 1, 20, 8);
    w.AnswerModify(QStringLiteral("-100"), 2);
    QTest::keyClick(&w.gasGrid(), Qt::Key_Return);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 20; ++c)
            EXPECT_EQ(w.car->GetGasMapCell(r, c), 0);
}

TEST(GasMapModify, CancelWritesNothingButRestartsTheTimer)
{
    MapWindow w;
    FillGas(*w.car, 50);
    w.gasGrid().SetFocusCell(3, 3);
    w.AnswerModify(QStringLiteral("200"), 0, false);
    QTest::keyClick(&w.gasGrid(), Qt::Key_Return);
    EXPECT_EQ(w.car->GetGasMapCell(2, 2), 50);
    EXPECT_TRUE(w.live.running);
}

TEST(GasMapClipboard, CopiesTheBlockAsTabSeparatedRows)
{
    MapWindow w;
    w.car->MappaCarburazione[0][0] = 1;
    w.car->MappaCarburazione[0][1] = 2;
    w.car->MappaCarburazione[1][0] = 3;
    w.car->MappaCarburazione[1][1] = 4;
    w.gasGrid().SetSelection(1, 1, 2, 2);
    w.gasGrid().MenuCopiaClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1\t2\r\n3\t4"));
}

TEST(GasMapClipboard, PasteIntoOneCellOfTheLastColumnIsClippedWithoutQuestion)
{
    MapWindow w;
    FillGas(*w.car, 7);
    QGuiApplication::clipboard()->setText(QStringLiteral("11\t12\r\n21\t22"));
    w.gasGrid().SetFocusCell(20, 3);
    w.gasGrid().MenuIncollaClick();
    EXPECT_TRUE(w.dialogs.messages.empty());
    EXPECT_EQ(w.car->GetGasMapCell(2, 19), 11);
    EXPECT_EQ(w.car->GetGasMapCell(3, 19), 21);
    EXPECT_EQ(w.car->GetGasMapCell(2, 18), 7);
    EXPECT_EQ(w.gasGrid().Selection(), QRect(QPoint(20, 3), QPoint(20, 4)));
}

TEST(GasMapClipboard, ShortLaterLineFillsOnlyTheLastColumn)
{
    MapWindow w;
    FillGas(*w.car, 7);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\t3\r\n44"));
    w.gasGrid().SetFocusCell(1, 1);
    w.gasGrid().MenuIncollaClick();
    EXPECT_EQ(w.car->GetGasMapCell(1, 0), 0);
    EXPECT_EQ(w.car->GetGasMapCell(1, 1), 0);
    EXPECT_EQ(w.car->GetGasMapCell(1, 2), 44);
}

TEST(GasMapClipboard, SizeQuestionForAMismatchedBlock)
{
    MapWindow w;
    FillGas(*w.car, 7);
    QGuiApplication::clipboard()->setText(QStringLiteral("600\t8\r\n9\t10"));
    w.gasGrid().SetSelection(1, 1, 3, 3);
    w.dialogs.answers.push_back(MsgResult::No);
    w.gasGrid().MenuIncollaClick();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    const ShownMessage& m = w.dialogs.messages[0];
    EXPECT_EQ(m.title, QStringLiteral("Configurazione veicolo"));
    EXPECT_EQ(m.icon, MsgIcon::Warning);
    EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    EXPECT_EQ(m.defaultButton, MsgResult::No);
    EXPECT_EQ(w.car->GetGasMapCell(0, 1), 7);

    w.dialogs.answers.push_back(MsgResult::Yes);
    w.gasGrid().MenuIncollaClick();
    EXPECT_EQ(w.car->GetGasMapCell(0, 0), 7); // 600 is out of range: refused
    EXPECT_EQ(w.car->GetGasMapCell(0, 1), 8);
    EXPECT_EQ(w.car->GetGasMapCell(1, 1), 10);
    EXPECT_EQ(w.gasGrid().Selection(), QRect(QPoint(1, 1), QPoint(2, 2)));
}

TEST(GasMapClipboard, PasteIsOfferedOnlyWithTextOnTheClipboard)
{
    MapWindow w;
    QGuiApplication::clipboard()->clear();
    w.gasGrid().PopupMenuGridPopup();
    EXPECT_FALSE(w.gasGrid().MenuIncolla()->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("1"));
    w.gasGrid().PopupMenuGridPopup();
    EXPECT_TRUE(w.gasGrid().MenuIncolla()->isEnabled());
}

TEST(GasMapCells, FixedCellsShowTheLoadAxisAndBreakpoints)
{
    MapWindow w;
    ConfCar& car = *w.car;
    car.RifGiri[0] = 1234;
    car.RifMAP[0] = 51;  // 1.00 V: three digits
    car.RifMAP[1] = 23;  // 0.451 V: two digits
    car.IdUnita[2] = 1;
    car.TipoDiTps = 0;
    EXPECT_EQ(w.gasGrid().FixedText(0, 0), QStringLiteral("Tps/G"));
    EXPECT_EQ(w.gasGrid().FixedText(1, 0), QStringLiteral("1200"));
    EXPECT_EQ(w.gasGrid().FixedText(0, 1), QStringLiteral("1"));
    EXPECT_EQ(w.gasGrid().FixedText(0, 2), QStringLiteral("0.45"));
    car.TipoDiTps = 1; // inverted throttle: 5 - breakpoint, digits by the breakpoint
    EXPECT_EQ(w.gasGrid().FixedText(0, 1), QStringLiteral("4"));
    EXPECT_EQ(w.gasGrid().FixedText(0, 2), QStringLiteral("4.5"));
    car.IdUnita[2] = 2; // pressure rows are never inverted
    EXPECT_EQ(w.gasGrid().FixedText(0, 0), QStringLiteral("M/G"));
    EXPECT_EQ(w.gasGrid().FixedText(0, 2), QStringLiteral("0.45"));
    w.gas->UpdateLoadAxis();
    EXPECT_EQ(w.gasGrid().FixedColor(), QColor(0xFF, 0x00, 0xFF));
    EXPECT_FALSE(w.gas->LabelUsaMap()->isHidden());
}

// The live marker over a cell leaves its number readable, in each of the
// marker's colours: the digits stay clearly darker than what lies around them.
TEST(GasMapCells, TheLiveMarkerLeavesTheNumberUnderItReadable)
{
    MapWindow w;
    GasMapGrid& grid = w.gasGrid();
    grid.setFixedSize(21 * 50, 9 * 30);
    FillGas(*w.car, 188);
    const QRect cell = grid.CellRect(5, 4);
    w.live.gas = QPoint(-100, -100);
    const QImage plain = grid.grab().toImage();
    for (const QColor& colour : {QColor(0, 128, 0), QColor(255, 0, 0), QColor(Qt::black)}) {
        SCOPED_TRACE(colour.name().toStdString());
        w.live.gas = cell.center();
        w.live.colour = colour;
        const QImage marked = grid.grab().toImage();
        // Inside the ring: the digits' pixels against the rest.
        int digits = 0;
        int digitLevel = 0;
        int rest = 0;
        int restLevel = 0;
        const int inside = MapGrid::kMarkerRadius - 4;
        for (int y = cell.center().y() - inside; y <= cell.center().y() + inside; ++y)
            for (int x = cell.center().x() - inside; x <= cell.center().x() + inside; ++x) {
                if (QLineF(QPointF(x, y), QPointF(cell.center())).length() > inside)
                    continue;
                const bool digit = qGray(plain.pixel(x, y)) < 100;
                (digit ? digits : rest) += 1;
                (digit ? digitLevel : restLevel) += qGray(marked.pixel(x, y));
            }
        ASSERT_GT(digits, 5) << "the number lies under the marker";
        ASSERT_GT(rest, 5);
        EXPECT_GT(restLevel / rest - digitLevel / digits, 90);
    }
}

TEST(GasMapCells, AdaptiveOverlayPutsASecondNumberUnderTheValue)
{
    MapWindow w;
    FillGas(*w.car, 123);
    w.car->Adattativita[3][3] = -12;
    w.gasGrid().setFixedSize(21 * 50, 9 * 44);
    const QRect cell = w.gasGrid().CellRect(4, 4);
    const int h = cell.height();
    QImage plain = w.gasGrid().grab().toImage();
    EXPECT_FALSE(InkInBand(plain, cell, 1, h / 4));
    EXPECT_FALSE(InkInBand(plain, cell, h * 3 / 4, h - 1));

    w.gas->CheckAdattativita()->setChecked(true); // no unit: the record's own table
    EXPECT_TRUE(w.gas->MenuMostraAdatta()->isChecked());
    QImage overlay = w.gasGrid().grab().toImage();
    EXPECT_TRUE(InkInBand(overlay, cell, 1, h / 4));
    EXPECT_TRUE(InkInBand(overlay, cell, h * 3 / 4, h - 1));
    EXPECT_EQ(w.car->GetAdaptCell(3, 3), -12);
}

TEST(GasMapAdapt, ShowingTheOverlayRereadsTheUnitsTable)
{
    MapWindow w(true);
    w.unit->StoreElement(55, 2 * 20 + 5, 17);
    w.gas->MenuMostraAdatta()->trigger();
    EXPECT_TRUE(w.gas->CheckAdattativita()->isChecked());
    EXPECT_EQ(w.car->GetAdaptCell(2, 5), 17);
    EXPECT_EQ(w.live.stops, 1);
    EXPECT_EQ(w.live.starts, 1);
    w.gas->MenuMostraAdatta()->trigger();
    EXPECT_FALSE(w.gas->CheckAdattativita()->isChecked());
    EXPECT_FALSE(w.gas->MenuMostraAdatta()->isChecked());
}

TEST(GasMapAdapt, ResetAsksFirstAndZeroesOnYes)
{
    MapWindow w(true);
    w.car->Adattativita[1][1] = 9;
    w.gas->MenuAzzeraAdatta()->trigger(); // default answer: No
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("Si è sicuri di voler resettare l'adattatività?"));
    EXPECT_EQ(w.dialogs.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(w.car->GetAdaptCell(1, 1), 9);
    w.dialogs.answers.push_back(MsgResult::Yes);
    w.gas->MenuAzzeraAdatta()->trigger();
    EXPECT_EQ(w.car->GetAdaptCell(1, 1), 0);
}

TEST(GasMapAdapt, RefusedResetShowsWhatTheUnitHolds)
{
    MapWindow w(true);
    w.unit->StoreElement(55, 1 * 20 + 1, 4);
    w.car->Adattativita[1][1] = 9;
    w.unit->RefuseWritesOf(55);
    w.dialogs.answers.push_back(MsgResult::Yes);
    w.gas->MenuAzzeraAdatta()->trigger();
    EXPECT_EQ(w.car->GetAdaptCell(1, 1), 4);
}

TEST(GasMapAdapt, EnableFollowsTheRecordAndWritesThrough)
{
    MapWindow w(true);
    w.car->Adattativo = 2;
    w.ShowPage(1);
    w.gas->TabMappaShow();
    EXPECT_TRUE(w.gas->MenuAbilitaAdatta()->isChecked());
    EXPECT_EQ(w.live.forced, 1);
    w.gas->MenuAbilitaAdatta()->trigger();
    EXPECT_FALSE(w.car->IsAdaptEnabled());
    EXPECT_EQ(w.unit->StoredElement(61) & 2, 0);
}

TEST(GasMapKeys, UpAndDownLeaveTheGridAtItsEdges)
{
    MapWindow w;
    w.ShowPage(1);
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    GasMapGrid& grid = w.gasGrid();
    grid.setFocus();
    grid.SetFocusCell(4, 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    // The previous tab stop on the same page: the change button, wrapping round.
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(w.gas->ButtonCentriCelle()));

    grid.setFocus();
    grid.SetFocusCell(4, 8);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(w.gas->CheckAdattativita()));

    grid.setFocus();
    grid.SetFocusCell(4, 8);
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), QRect(QPoint(4, 7), QPoint(4, 8)));
}

} // namespace
} // namespace vapora::test
