// The live strip on the simulated unit: decoding and texts, the slow reads,
// the probe-type refresh, the map marker and the acquisition files.

#include "EditorFixture.h"
#include "model/ParamIds.h"
#include "support/Contrast.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QTabBar>
#include <QTabWidget>

namespace vapora::test {
namespace {

using Live = EditorTest;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(Live, EngineBlockBecomesTheStripTexts)
{
    Build();
    Show();
    // 850 rpm, lambda 41, TPS 25, MAP 120, gas 150, correction -3, opening 400,
    // variation 3, enrichment 12, throttle at its minimum.
    link->engine = EngineBytes(850, 41, 25, 120, 150, 0xFD, 400, 3, 12, 0x01);
    Tick();
    EXPECT_EQ(Strip("LabGiri")->text(), "850 rpm");
    EXPECT_EQ(Strip("LabTps")->text(), "0.49 V");
    EXPECT_EQ(Strip("LabLambda")->text(), "0.8 V");
    EXPECT_EQ(Strip("LabCorr")->text(), "-3");
    EXPECT_EQ(Strip("LabApMot")->text(), "388") << "above 360 the enrichment is taken off";
    EXPECT_EQ(Strip("LabCumulo")->text(), "3");
    EXPECT_EQ(Strip("LabArricchimento")->text(), "12");
    EXPECT_EQ(Strip("LabTps")->palette().color(QPalette::WindowText), LiveStrip::kWarningText);
    // Gas 150 -> 147 - 90, MAP 120 -> 127 kPa: 57 - 27 x 1.8 = 8 hundredths.
    EXPECT_EQ(form->Strip()->Engine().pressione, 8);
    EXPECT_EQ(Strip("LabPressione")->text(), "0.08 bar");
}

// Every colour the strip can give a value reads on the navy strip or on its
// own fill: throttle at idle or not, rich or lean, probe on or off, gas or petrol.
TEST_F(Live, EveryColourOfTheStripReads)
{
    Build();
    Show();
    for (uint8_t status : {uint8_t(0), uint8_t(kUnitProbe1Enabled | kUnitProbe2Enabled | kUnitOnGas)})
        for (uint8_t idle : {uint8_t(0), uint8_t(0x01)})
            for (uint8_t lambda : {uint8_t(5), uint8_t(240)}) {
                SCOPED_TRACE(testing::Message() << "status " << int(status) << " idle " << int(idle) << " lambda "
                                                << int(lambda));
                link->status = std::vector<uint8_t>{29, 4, status};
                link->engine = EngineBytes(850, lambda, 25, 120, 150, 0, 100, 0, 0, idle);
                Tick(LiveStrip::kSlowPeriod + 1);
                for (const QLabel* label : form->Strip()->findChildren<QLabel*>())
                    if (label->isVisible()) {
                        const QString problem = ContrastProblem(label);
                        EXPECT_TRUE(problem.isEmpty()) << label->objectName().toStdString() << ": "
                                                       << problem.toStdString();
                    }
            }
}

TEST_F(Live, PressureByteFiveIsNoReadingAndSixIsAValue)
{
    Build();
    Show();
    link->engine = EngineBytes(850, 41, 25, 0, 5, 0, 100, 0, 0, 0);
    Tick();
    EXPECT_EQ(Strip("LabPressione")->text(), "n.d.");
    link->engine = EngineBytes(850, 41, 25, 0, 6, 0, 100, 0, 0, 0);
    Tick();
    // 6 -> 5 - 90 = -85; MAP 0 -> 10 kPa: -85 + 90 x 1.8 = 77.
    EXPECT_EQ(form->Strip()->Engine().pressione, 77);
    EXPECT_EQ(Strip("LabPressione")->text(), "0.77 bar");
}

TEST_F(Live, WithoutAUnitEveryTickShowsZerosAndPetrol)
{
    Build(false);
    Show();
    Tick(3);
    EXPECT_EQ(Strip("LabGiri")->text(), "0 rpm");
    EXPECT_EQ(Strip("LabPressione")->text(), "n.d.");
    EXPECT_EQ(Strip("LabPMax")->text(), "n.d.");
    EXPECT_EQ(Strip("LabTemp")->text(), "n.d.");
    EXPECT_EQ(Strip("LabGas")->text(), "BENZINA");
    EXPECT_EQ(Strip("LabGas")->palette().color(QPalette::WindowText), LiveStrip::kWarningText);
    EXPECT_EQ(link->engineReads, 0);
}

TEST_F(Live, StatusBlockEveryEleventhTickAndRetriedAfterAFailure)
{
    Build();
    Show();
    link->status = std::vector<uint8_t>{29, 4, kUnitOnGas};
    Tick(22);
    EXPECT_EQ(link->statusReads, 2);
    EXPECT_EQ(Strip("LabLivello")->text(), "4");
    EXPECT_EQ(Strip("LabGas")->text(), "GAS");

    link->failStatus = true;
    Tick(11);
    EXPECT_EQ(link->statusReads, 3);
    link->failStatus = false;
    Tick(11);
    EXPECT_EQ(link->statusReads, 4) << "the slow reads go on after a failed one";

    link->failEngine = true;
    Tick(30);
    EXPECT_EQ(link->statusReads, 4) << "a failed engine read skips the whole tick";
}

TEST_F(Live, ProbeTypeChangeGreysTheVoltagesUntilTheUnitHasTakenItOver)
{
    Build();
    Show(TFormConfig::kTabLambda);
    const QColor normal = Edit("EditRifLambda")->palette().color(QPalette::Base);
    Choose(Combo("ComboTipoLambda"), 1);
    ASSERT_TRUE(form->ProbeTypeRefreshPending());
    for (TNumericEdit* e : form->ProbeVoltageEdits())
        EXPECT_NE(e->palette().color(QPalette::Base), normal) << e->objectName().toStdString();
    Tick(11);
    EXPECT_TRUE(form->ProbeTypeRefreshPending()) << "the unit still reports the type as pending";

    // The unit takes the type over and has new references meanwhile.
    unit->StoreElement(ids::kTipoDiLambda, 0, unit->StoredElement(ids::kTipoDiLambda) & ~0x40);
    unit->StoreElement(ids::kRifLambda, 0, 102);
    Tick(11);
    EXPECT_FALSE(form->ProbeTypeRefreshPending());
    for (TNumericEdit* e : form->ProbeVoltageEdits())
        EXPECT_EQ(e->palette().color(QPalette::Base), normal) << e->objectName().toStdString();
    EXPECT_EQ(Edit("EditRifLambda")->text(), "2");
}

TEST_F(Live, GasMarkerFollowsTheEngineAndStopsOnTheRightEdgeBeyondTheLastMidpoint)
{
    Build();
    std::vector<QPoint> repainted;
    form->SetGasMarkerGrid([](int c, int r) { return QRect(40 + c * 41, 20 + r * 21, 40, 20); },
                           [&](const QPoint& p) { repainted.push_back(p); });
    EXPECT_EQ(form->GasMarker(), QPoint(40, 20)) << "at the top-left corner of the first data cell";
    Show(TFormConfig::kTabMappa);
    const int rpm19 = car->GetRpmRef(19);
    link->engine = EngineBytes(20000, 41, 25, 120, 150, 0, 100, 0, 0, 0);
    Tick();
    EXPECT_EQ(form->GasMarkerState().column, 19);
    EXPECT_EQ(form->GasMarker().x(), 40 + 19 * 41 + 40) << rpm19;
    EXPECT_EQ(repainted.size(), 2u) << "around the old and the new point only";
    Tick(50);
    EXPECT_EQ(repainted.size(), 2u) << "nothing moves while the engine stands still";
}

TEST_F(Live, RecordingFileHasTheExactFormat)
{
    Build();
    Show();
    link->engine = EngineBytes(850, 41, 25, 120, 150, 0xFD, 400, 3, 12, 0x02);
    link->status = std::vector<uint8_t>{29, 4, kUnitOnGas};
    clock.now = 5000;
    form->MenuCominciaDrtClick();
    EXPECT_FALSE(form->Action(QStringLiteral("MenuCominciaDrt"))->isEnabled());
    EXPECT_TRUE(form->Action(QStringLiteral("MenuTerminaDrt"))->isEnabled());
    clock.now += 150;
    Tick();
    clock.now += 151;
    Tick();
    const QString target = dir.filePath(QStringLiteral("prova.txt"));
    dialogs.fileNames.push_back(target);
    form->MenuTerminaDrtClick();
    const QByteArray bytes = ReadAll(target);
    ASSERT_TRUE(bytes.startsWith("Acquisizione VAPORA, "));
    const QByteArray body = bytes.mid(bytes.indexOf("\r\n"));
    EXPECT_EQ(body.toStdString(),
              "\r\nTEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP."
              "\r\n150\t850\t2.35\t3\t0.49\t0.8\t388\t12\t-3\t2\t0\t0.08\t0"
              "\r\n301\t850\t2.35\t3\t0.49\t0.8\t388\t12\t-3\t2\t0\t0.08\t0");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(form->TemporaryRecording().string())));
    EXPECT_TRUE(form->Action(QStringLiteral("MenuCominciaDrt"))->isEnabled());

    // The graph reads it back.
    dialogs.fileNames.push_back(target);
    form->MenuGraficoClick();
    ASSERT_EQ(dialogs.execTitles.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty()) << "the graph window takes the file as it is";
}

TEST_F(Live, TemporaryFilesAreNumberedAndCancellingDeletesTheRecording)
{
    Build();
    Show();
    for (int n : {0, 1, 2}) {
        QFile f(dir.filePath(QStringLiteral("tmp/__acqtmp%1.txt").arg(n)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    form->MenuCominciaDrtClick();
    const QString temporary = QString::fromStdString(form->TemporaryRecording().string());
    EXPECT_EQ(QFileInfo(temporary).fileName(), "__acqtmp3.txt");
    Tick();
    EXPECT_TRUE(QFileInfo::exists(temporary));
    form->MenuTerminaDrtClick(); // no name chosen
    EXPECT_FALSE(QFileInfo::exists(temporary));
}

TEST_F(Live, ARecordingThatCannotBeMovedStaysInItsTemporaryFile)
{
    Build();
    Show();
    form->MenuCominciaDrtClick();
    Tick(2);
    const QString temporary = QString::fromStdString(form->TemporaryRecording().string());
    dialogs.fileNames.push_back(dir.filePath(QStringLiteral("missing/folder/rec.txt")));
    form->MenuTerminaDrtClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(temporary));
    EXPECT_TRUE(QFileInfo::exists(temporary));
    EXPECT_TRUE(ReadAll(temporary).startsWith("Acquisizione VAPORA, "));
}

TEST_F(Live, AnExistingFileThatCannotBeReplacedAsksForAnotherName)
{
    Build();
    Show();
    // A folder that is not empty: it cannot be deleted as a file.
    QDir(dir.path()).mkpath(QStringLiteral("locked/busy.txt/inner"));
    form->MenuCominciaDrtClick();
    const QString second = dir.filePath(QStringLiteral("free.txt"));
    dialogs.fileNames = {dir.filePath(QStringLiteral("locked/busy.txt")), second};
    form->MenuTerminaDrtClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Il file esistente non può essere sovrascritto:\nassegnare un nome differente al nuovo file.");
    EXPECT_TRUE(QFileInfo::exists(second));
}

} // namespace

TEST_F(Live, TitlesAndPageCaptionsStayWholeOnANarrowWindow)
{
    Build();
    Show();
    // Large screen fonts or longer translations must not cut a title or a page caption.
    for (QLabel* label : form->Strip()->findChildren<QLabel*>()) {
        QFont big = label->font();
        big.setPointSizeF(big.pointSizeF() * 1.6);
        label->setFont(big);
    }
    form->resize(800, 600);
    QApplication::processEvents();
    form->Strip()->Layout();
    for (const char* name : {"LabelGiri", "LabelVarTps", "LabelArricchimento", "LabelTemp", "LabelCorrBenzina"}) {
        QLabel* title = Strip(name);
        EXPECT_LE(QFontMetrics(title->font()).horizontalAdvance(title->text()), title->width()) << name;
        EXPECT_TRUE(title->font().bold()) << name;
    }
    QTabBar* tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl"))->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->isTabVisible(i)) {
            EXPECT_GE(tabs->tabRect(i).width(),
                      QFontMetrics(tabs->font()).horizontalAdvance(tabs->tabText(i).remove(QLatin1Char('&'))))
                << i;
        }
    }
}

} // namespace vapora::test
