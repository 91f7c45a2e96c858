// The "Mappa benzina" page: modification in milliseconds, learned cells,
// learning on Space, learned-point files and map completion.

#include "mapeditor/MapSupport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

TEST(PetrolMapModify, PercentageAndLinearInMilliseconds)
{
    MapWindow w(true);
    w.car->SetPetrolMapCell(0, 0, 3.20);
    w.car->SetPetrolMapCell(1, 1, 0.30);
    w.petrolGrid().SetFocusCell(1, 1);
    w.AnswerModify(QStringLiteral("10"), 2);
    QTest::keyClick(&w.petrolGrid(), Qt::Key_Return);
    EXPECT_EQ(w.proposedText, QStringLiteral("3.2"));
    EXPECT_EQ(w.proposedMode, 0);
    EXPECT_EQ(w.petrolGrid().CellText(1, 1), QStringLiteral("3.52"));
    EXPECT_EQ(w.unit->StoredElement(85, 0), 880); // 3.52 ms in 0.004 ms steps, on the unit too

    w.petrolGrid().SetFocusCell(2, 2);
    w.AnswerModify(QStringLiteral("-0.5"), 1);
    QTest::keyClick(&w.petrolGrid(), Qt::Key_Return);
    EXPECT_EQ(w.petrolGrid().CellText(2, 2), QStringLiteral("0.30"));
}

TEST(PetrolMapModify, PasteTakesDecimalsAndCopyGivesTwo)
{
    MapWindow w;
    QGuiApplication::clipboard()->setText(QStringLiteral("1.5\tx\r\n30\t2.24"));
    w.petrolGrid().SetFocusCell(12, 12);
    w.petrolGrid().MenuIncollaClick();
    EXPECT_DOUBLE_EQ(w.car->GetPetrolMapCell(11, 11), 1.5);
    w.petrolGrid().SetFocusCell(1, 1);
    w.petrolGrid().MenuIncollaClick();
    EXPECT_DOUBLE_EQ(w.car->GetPetrolMapCell(0, 1), 0.0); // "x": 0
    EXPECT_DOUBLE_EQ(w.car->GetPetrolMapCell(1, 1), 2.24);
    w.petrolGrid().SetSelection(1, 1, 2, 1);
    w.petrolGrid().MenuCopiaClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1.50\t0.00"));
}

TEST(PetrolMapCells, LearnedCellsAreWhiteUntilCleared)
{
    MapWindow w;
    w.petrolGrid().setFixedSize(13 * 50, 13 * 30);
    const QRect learned = w.petrolGrid().CellRect(4, 3);
    const QRect other = w.petrolGrid().CellRect(6, 6);
    w.car->AddLearnedPoint(2000, 1.5, 4.0, 3, 2, 0);
    w.petrolGrid().SetFocusCell(12, 12);
    EXPECT_EQ(PixelIn(w.petrolGrid(), learned, 2, 2), QColor(Qt::white));
    EXPECT_EQ(PixelIn(w.petrolGrid(), other, 2, 2), QColor(0xE0, 0xE0, 0xE0));

    w.dialogs.answers.push_back(MsgResult::Yes);
    w.petrol->MenuCancellaAppresi()->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(w.dialogs.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(PixelIn(w.petrolGrid(), learned, 2, 2), QColor(0xE0, 0xE0, 0xE0));
    w.petrol->MenuCancellaAppresi()->trigger(); // nothing left: no question
    EXPECT_EQ(w.dialogs.messages.size(), 1u);
}

TEST(PetrolLearning, SpaceLearnsTheLivePointOnlyOnPetrolAndOnThisPage)
{
    MapWindow w;
    w.live.speed = 2500;
    w.live.volts = 1.84;
    w.live.injection = 4.2;
    w.live.column = 5;
    w.live.row = 3;

    w.ShowPage(1); // another page
    w.petrol->MenuApprendi()->trigger();
    EXPECT_TRUE(w.car->NoLearnedPoints());

    w.ShowPage(2);
    w.live.onGas = true;
    w.petrol->MenuApprendi()->trigger();
    EXPECT_TRUE(w.car->NoLearnedPoints());

    w.live.onGas = false;
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.petrol->TabMappaBenzinaShow();
    QTest::keyClick(&w.petrolGrid(), Qt::Key_Space);
    ASSERT_EQ(w.car->PuntiAppresi.size(), 1u);
    const PuntoAppreso& p = *w.car->PuntiAppresi[0];
    EXPECT_EQ(p.Giri, 2500);
    EXPECT_EQ(p.Map, 1840);
    EXPECT_EQ(p.Iniezione, 4200);
    EXPECT_TRUE(w.car->IsCellLearned(3, 5));

    // The same speed and manifold value again: one point, the later time, a new number.
    w.live.injection = 4.6;
    w.petrol->MenuApprendi()->trigger();
    ASSERT_EQ(w.car->PuntiAppresi.size(), 1u);
    EXPECT_EQ(w.car->PuntiAppresi[0]->Iniezione, 4600);
    EXPECT_EQ(w.car->PuntiAppresi[0]->n, 2);
}

TEST(PetrolLearning, SaveThenLoadReplacingGivesTheSamePoints)
{
    MapWindow w;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("punti"));
    w.petrol->MenuSalvaAppresi()->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("ATTENZIONE: non vi sono dati in memoria"));

    w.car->AddLearnedPoint(2000, 1.5, 4.0, 3, 2, 0);
    w.car->AddLearnedPoint(3000, 2.5, 6.0, 6, 5, 0);
    w.car->AddLearnedPoint(2000, 1.5, 4.5, 3, 2, 0); // replaces the first: numbers 3 and 2
    w.dialogs.fileNames.push_back(file);
    w.petrol->MenuSalvaAppresi()->trigger();
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".acq")));

    w.dialogs.answers.push_back(MsgResult::No); // replace
    w.dialogs.fileNames.push_back(file + QStringLiteral(".acq"));
    w.petrol->MenuCaricaAppresi()->trigger();
    EXPECT_EQ(w.dialogs.messages.back().buttons, MsgButtons::YesNoCancel);
    ASSERT_EQ(w.car->PuntiAppresi.size(), 2u);
    EXPECT_EQ(w.car->PuntiAppresi[0]->n, 1);
    EXPECT_EQ(w.car->PuntiAppresi[0]->Iniezione, 4500);
    EXPECT_EQ(w.car->PuntiAppresi[1]->n, 2);
    EXPECT_EQ(w.car->PuntiAppresi[1]->Map, 2500);
    EXPECT_TRUE(w.car->IsCellLearned(2, 3));
    EXPECT_TRUE(w.car->IsCellLearned(5, 6));
}

TEST(PetrolLearning, HeaderOnlyFileFailsAndLeavesNothingAfterReplace)
{
    MapWindow w;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("vuoto.acq"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("n.\tGiri\tMap\tnGiri\tnMap\tIniezione\r\n");
    f.close();
    w.car->AddLearnedPoint(2000, 1.5, 4.0, 3, 2, 0);
    w.dialogs.answers.push_back(MsgResult::No);
    w.dialogs.fileNames.push_back(file);
    w.petrol->MenuCaricaAppresi()->trigger();
    EXPECT_EQ(w.dialogs.messages.back().text, QStringLiteral("Operazione fallita"));
    EXPECT_EQ(w.dialogs.messages.back().icon, MsgIcon::Error);
    EXPECT_TRUE(w.car->NoLearnedPoints());

    w.car->AddLearnedPoint(2000, 1.5, 4.0, 3, 2, 0);
    w.dialogs.answers.push_back(MsgResult::Cancel);
    w.petrol->MenuCaricaAppresi()->trigger();
    EXPECT_EQ(w.car->PuntiAppresi.size(), 1u);
}

TEST(PetrolCompletion, MessagesForNoPointsOneCellAndSuccess)
{
    MapWindow w;
    w.petrol->MenuInterpola()->trigger();
    EXPECT_EQ(w.dialogs.messages.back().text, QStringLiteral("ATTENZIONE: non vi sono dati in memoria"));

    w.car->AddLearnedPoint(2000, 1.5, 4.0, 3, 2, 0);
    w.petrol->MenuInterpola()->trigger();
    EXPECT_EQ(w.dialogs.messages.back().text,
              QStringLiteral("Impossibile completare la mappa. Acquisire ulteriori valori e riprovare."));
    EXPECT_EQ(w.dialogs.messages.back().icon, MsgIcon::Error);

    w.car->AddLearnedPoint(4000, 1.5, 6.0, 7, 2, 0);
    w.car->AddLearnedPoint(2000, 3.0, 5.0, 3, 6, 0);
    w.petrol->MenuInterpola()->trigger();
    const ShownMessage& done = w.dialogs.messages.back();
    EXPECT_EQ(done.text, QStringLiteral("Mappa completata con successo"));
    EXPECT_EQ(done.icon, MsgIcon::None);
    EXPECT_EQ(done.buttons, MsgButtons::Ok);
    EXPECT_TRUE(w.car->HasPetrolMap());
    EXPECT_TRUE(w.live.running);
}

TEST(PetrolCorrectionLabel, NotAvailableWithoutPetrolMap)
{
    MapWindow w;
    w.car->MappaBenzinaPresente = false;
    EXPECT_EQ(w.petrol->CorrectionText(QStringLiteral("n.d.")), QStringLiteral("n.d."));
    w.car->SetPetrolMapCell(2, 3, 5.0);
    w.live.column = 3;
    w.live.row = 2;
    w.live.volts = w.car->GetPetrolMapRef(2);
    w.live.speed = w.car->GetPetrolRpmRef(3);
    w.live.injection = 5.5;
    EXPECT_EQ(w.petrol->CorrectionText(QStringLiteral("n.d.")), QStringLiteral("100"));
}

} // namespace
} // namespace vapora::test
