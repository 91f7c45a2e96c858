// The fuel choice and the unit reset against the simulated unit, with reset
// files in a temporary main folder.

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "app/Connection.h"
#include "LinkObject.h"
#include "app/MainPanels.h"
#include "services/MessageTable.h"
#include "app/TFormSceltaCarb.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "widgets/TFormAttesa.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vapora;

namespace {

constexpr int kRifLambda = 5;   // parameter number of the marker value
constexpr int kStatusWord = 53; // parameter holding the fuel flag
constexpr int kLpgMarker = 71;
constexpr int kCngMarker = 72;

struct Panels final : MainPanels {
    QString texts[4];
    int repaints = 0;
    void SetPanelText(int panel, const QString& text) override { texts[panel] = text; }
    QString PanelText(int panel) const override { return texts[panel]; }
    void RepaintStatusBar() override { ++repaints; }
};

struct FuelResetTest : ::testing::Test {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    test::FakeClock clock;
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    std::unique_ptr<ConfCar> car;
    MessageTable messages;
    Panels panels;
    QWidget owner;
    AppContext ctx;
    std::unique_ptr<Connection> connection;
    std::vector<QString> progressCaptions;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("Calibrazione"));
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        car = std::make_unique<ConfCar>("default.mur", link.get(), clock);
        car->SetProgressSink([this](int32_t amount, bool add) {
            SendProgress(amount, add);
            QWidget* target = ProgressTarget::Current();
            progressCaptions.push_back(target != nullptr ? target->windowTitle() : QString());
        });
        owner.setWindowTitle("Vapora Murazzoni");
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        ctx.messages = &messages;
        ctx.mainFolder = dir.path();
        connection = std::make_unique<Connection>(ctx, panels, &owner);
        panels.texts[3] = "untouched";
    }

    void ConnectUnit()
    {
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
        unit->ResetCounts();
    }

    // Reset files are ordinary configuration files; the plain form keeps the fixture readable.
    void WriteResetFile(const QString& name, bool official, bool methane, int marker)
    {
        QFile f(QDir(dir.filePath("Calibrazione")).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("DVMF\r\n[Generale]\r\nNomeConfigurazione=%1\r\nMurFile=%2\r\nCarburante=%3\r\n"
                               "[Lambda]\r\nRifLambda=%4\r\n")
                    .arg(name)
                    .arg(official ? 1 : 0)
                    .arg(methane ? 1 : 0)
                    .arg(marker)
                    .toLatin1());
    }

    void WriteBothResetFiles()
    {
        WriteResetFile("ResetLpg.vap", true, false, kLpgMarker);
        WriteResetFile("ResetCng.vap", true, true, kCngMarker);
    }

    // The next fuel window picks `fuel` and closes with `result`; records whether it could be cancelled.
    void ChooseInWindow(int fuel, int result, bool* cancelVisible = nullptr)
    {
        dialogs.windows.push_back([=](QDialog* d) {
            d->findChild<QComboBox*>("ComboCarburante")->setCurrentIndex(fuel);
            if (cancelVisible != nullptr)
                *cancelVisible = !d->findChild<QPushButton*>("ButtonAnnulla")->isHidden();
            return result;
        });
    }

    QString Text(const char* key) const { return messages.Text(key); }
    bool UnitMethane() const { return (unit->StoredElement(kStatusWord) & 0x40) != 0; }
};

// ---- fuel choice ----

TEST_F(FuelResetTest, ConnectedSameFuelRewritesOnlyTheFlag)
{
    WriteBothResetFiles();
    ConnectUnit();
    const int32_t before = car->RifLambda;
    bool cancelVisible = false;
    ChooseInWindow(TFormSceltaCarb::kLpg, QDialog::Accepted, &cancelVisible);

    connection->ChooseFuel();

    EXPECT_TRUE(cancelVisible);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(car->RifLambda, before);
    EXPECT_EQ(unit->WriteCount(), 1);
    EXPECT_TRUE(progressCaptions.empty());
    EXPECT_EQ(panels.texts[3], "GPL");
    EXPECT_GE(panels.repaints, 1);
}

TEST_F(FuelResetTest, CancelChangesNothingAndShowsTheCurrentFuel)
{
    WriteBothResetFiles();
    ConnectUnit();
    ASSERT_TRUE(car->SetStatusFlag(ConfCar::kMethane, true));
    unit->ResetCounts();
    ChooseInWindow(TFormSceltaCarb::kLpg, QDialog::Rejected);

    connection->ChooseFuel();

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(unit->WriteCount(), 0);
    EXPECT_TRUE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(panels.texts[3], "Metano");
}

TEST_F(FuelResetTest, ConnectedChangeAsksThenLoadsAndWritesTheResetFile)
{
    WriteBothResetFiles();
    ConnectUnit();

    // No at the question: nothing happens, the panel stays as it was.
    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    dialogs.answers.push_back(MsgResult::No);
    connection->ChooseFuel();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessConfermaCarb"));
    EXPECT_EQ(dialogs.messages[0].title, "Vapora Murazzoni");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(unit->WriteCount(), 0);
    EXPECT_EQ(panels.texts[3], "untouched");

    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    dialogs.answers.push_back(MsgResult::Yes);
    connection->ChooseFuel();
    EXPECT_EQ(car->RifLambda, kCngMarker);
    EXPECT_EQ(unit->StoredElement(kRifLambda), kCngMarker);
    EXPECT_TRUE(UnitMethane());
    EXPECT_EQ(panels.texts[3], "Metano");
    // Loading, then writing, behind the wait window.
    ASSERT_FALSE(progressCaptions.empty());
    EXPECT_EQ(progressCaptions.front(), Text("FinestraCaricaDati"));
    EXPECT_EQ(progressCaptions.back(), Text("FinestraScaricaDati"));
}

TEST_F(FuelResetTest, OfflineSameFuelStillLoadsTheResetFile)
{
    WriteBothResetFiles();
    bool cancelVisible = true;
    // Without a unit, closing the window any way confirms the choice.
    ChooseInWindow(TFormSceltaCarb::kLpg, QDialog::Rejected, &cancelVisible);

    connection->ChooseFuel();

    EXPECT_FALSE(cancelVisible);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(car->RifLambda, kLpgMarker);
    EXPECT_FALSE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(panels.texts[3], "GPL");
    EXPECT_EQ(unit->WriteCount(), 0);
}

TEST_F(FuelResetTest, ResetFileOfTheWrongFuelOrNotOfficialIsRefused)
{
    WriteResetFile("ResetCng.vap", true, false, kCngMarker);
    const int32_t before = car->RifLambda;
    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    connection->ChooseFuel();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessFileCorrotto") + "\n" + Text("MessContatto"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(car->RifLambda, before);
    EXPECT_FALSE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(panels.texts[3], "untouched");

    WriteResetFile("ResetCng.vap", false, true, kCngMarker);
    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    connection->ChooseFuel();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, Text("MessFileCorrotto") + "\n" + Text("MessContatto"));
    EXPECT_EQ(car->RifLambda, before);
}

TEST_F(FuelResetTest, MissingResetFileRefusesTheFuelChange)
{
    WriteResetFile("ResetLpg.vap", true, false, kLpgMarker);
    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    connection->ChooseFuel();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessNoCambioCarb") + "\n" + Text("MessContatto"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_FALSE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(panels.texts[3], "untouched");
}

TEST_F(FuelResetTest, FuelWindowTakesItsTextsFromTheDictionary)
{
    ASSERT_TRUE(WriteDictionary(dir.filePath("Diz.dbf"), {"IDENTIF", "ENGLISH"},
                                {{"MenuLingua", "English"},
                                 {"FinestraSceltaCarb", "Choose the fuel"},
                                 {"LabelCarbConnesso", "Fuel of the unit"},
                                 {"LabelWarningCarb1", "WARNING: changing the fuel"},
                                 {"LabelWarningCarb2", "changes the parameters"},
                                 {"LabelGpl", "LPG"},
                                 {"ButtonOk", "&OK and carry on please"},
                                 {"ButtonAnnulla", "&Cancel"}}));
    test::ScriptedDialogs dictionaryDialogs;
    TDataModuleMur dictionary(dictionaryDialogs);
    ASSERT_TRUE(dictionary.Open(dir.path(), "Diz.dbf"));

    TFormSceltaCarb w(&dictionary, true, TFormSceltaCarb::kLpg);
    EXPECT_EQ(w.windowTitle(), "Choose the fuel");
    EXPECT_EQ(w.findChild<QLabel*>("LabelSceltaCarb")->text(), "Fuel of the unit");
    EXPECT_EQ(w.findChild<QLabel*>("LabelWarningCarb")->text(), "WARNING: changing the fuel changes the parameters");
    const auto* combo = w.findChild<QComboBox*>("ComboCarburante");
    EXPECT_EQ(combo->itemText(0), "LPG");
    EXPECT_EQ(combo->itemText(1), ""); // no text for methane in this language
    EXPECT_EQ(w.findChild<QPushButton*>("ButtonOk")->text(), "&OK and carry o");
    EXPECT_EQ(w.findChild<QPushButton*>("ButtonAnnulla")->text(), "&Cancel");
}

// ---- reset command ----

TEST_F(FuelResetTest, ResetWithoutFileAndYesTwiceAppliesTheBuiltInDefaults)
{
    ConnectUnit();
    const ConfCar fresh("default.mur", nullptr, clock);
    car->RifLambda = fresh.RifLambda + 3;
    ASSERT_TRUE(unit->StoreElement(kRifLambda, 0, fresh.RifLambda + 3));
    dialogs.answers = {MsgResult::Yes, MsgResult::Yes};

    connection->ResetUnit();

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessNoFileReset"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.messages[1].text, Text("MessConfermaReset"));
    EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(car->RifLambda, fresh.RifLambda);
    EXPECT_EQ(unit->StoredElement(kRifLambda), fresh.RifLambda);
    ASSERT_FALSE(progressCaptions.empty());
    EXPECT_EQ(progressCaptions.back(), Text("FinestraScaricaDati"));
}

// The wait window reaches the screen, with its message, before the transfer
// holds the program; so do the windows the closed question uncovered.
TEST_F(FuelResetTest, WaitWindowIsPaintedBeforeTheTransferStarts)
{
    struct PaintCounter final : QObject {
        QHash<QWidget*, int> paints; // by top-level window
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && watched->isWidgetType())
                ++paints[static_cast<QWidget*>(watched)->window()];
            return false;
        }
    } counter;
    qApp->installEventFilter(&counter);
    owner.show();

    ConnectUnit();
    WriteBothResetFiles();
    dialogs.answers = {MsgResult::Yes};
    int checked = 0;
    car->SetProgressSink([&](int32_t, bool) {
        if (checked++ > 0)
            return;
        auto* wait = qobject_cast<TFormAttesa*>(ProgressTarget::Current());
        ASSERT_NE(wait, nullptr);
        EXPECT_TRUE(wait->windowHandle() != nullptr && wait->windowHandle()->isExposed());
        EXPECT_GT(counter.paints.value(wait), 0) << "painted before the first transfer";
        EXPECT_EQ(wait->Message(), Text("LabelReset"));
        EXPECT_GT(counter.paints.value(&owner), 0) << "the main window is painted again";
    });
    connection->ResetUnit();
    qApp->removeEventFilter(&counter);
    EXPECT_GT(checked, 0);
}

TEST_F(FuelResetTest, ResetFindsTheFileWhateverItsCaseAndStopsOnNo)
{
    WriteResetFile("resetlpg.VAP", true, false, kLpgMarker);
    ConnectUnit();

    dialogs.answers = {MsgResult::No};
    connection->ResetUnit();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessConfermaReset"));
    EXPECT_EQ(unit->WriteCount(), 0);

    dialogs.answers = {MsgResult::Yes};
    connection->ResetUnit();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(unit->StoredElement(kRifLambda), kLpgMarker);
}

TEST_F(FuelResetTest, ResetNeedsAConnectedUnit)
{
    connection->ResetUnit();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(unit->RequestCount(), 0);
}

} // namespace

// ---- what loads and transfers leave undone ----

TEST_F(FuelResetTest, ResetTellsTheCorrectedAndTheRefusedValues)
{
    QFile f(QDir(dir.filePath("Calibrazione")).filePath("ResetLpg.vap"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("DVMF\r\n[Generale]\r\nNomeConfigurazione=ResetLpg.vap\r\nMurFile=1\r\nFlag1=300\r\n"
            "[Lambda]\r\nRifLambda=71\r\n");
    f.close();
    ConnectUnit();
    unit->StoreElement(kRifLambda, 0, 12);
    unit->RefuseWritesOf(kRifLambda);

    connection->ResetUnit();

    ASSERT_FALSE(dialogs.messages.empty());
    const test::ShownMessage& shown = dialogs.messages.back();
    EXPECT_EQ(shown.icon, MsgIcon::Warning);
    EXPECT_TRUE(shown.text.contains("corretti: 1 (Flag1)")) << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains("rifiutati dalla centralina: 1 (RifLambda)")) << shown.text.toStdString();
    EXPECT_EQ(car->Flag1, 255);
    EXPECT_EQ(unit->StoredElement(3), 255);
    EXPECT_EQ(car->RifLambda, 12); // read back: the record holds what the unit holds
}

TEST_F(FuelResetTest, FuelChangeNamesTheValuesTheUnitRefused)
{
    WriteBothResetFiles();
    ConnectUnit();
    unit->RefuseWritesOf(kRifLambda);
    ChooseInWindow(TFormSceltaCarb::kMethane, QDialog::Accepted);
    dialogs.answers.push_back(MsgResult::Yes);

    connection->ChooseFuel();

    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.contains("(RifLambda)")) << dialogs.messages.back().text.toStdString();
    EXPECT_EQ(car->RifLambda, unit->StoredElement(kRifLambda));

    // Everything taken: nothing to tell.
    unit->RefuseWritesOf(kRifLambda, false);
    dialogs.messages.clear();
    ChooseInWindow(TFormSceltaCarb::kLpg, QDialog::Accepted);
    dialogs.answers.push_back(MsgResult::Yes);
    connection->ChooseFuel();
    ASSERT_EQ(dialogs.messages.size(), 1u); // the confirmation only
}

TEST_F(FuelResetTest, AConnectionCutWhileReadingSaysHowFarItGotAndCanReadAgain)
{
    int32_t pos = 0;
    car->SetProgressSink([&](int32_t amount, bool add) {
        pos = add ? pos + amount : amount;
        if (pos >= 40 && pos < 100)
            unit->DropLink();
    });

    connection->Connect(true, true);

    ASSERT_FALSE(dialogs.messages.empty());
    const QString text = dialogs.messages.back().text;
    EXPECT_TRUE(text.startsWith("Collegamento perso: letti ")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" di %1 gruppi").arg(car->LastTransfer().groupsTotal)))
        << text.toStdString();
    EXPECT_TRUE(dialogs.execTitles.empty()); // no fuel choice over a half-read record
    EXPECT_TRUE(car->LastTransfer().linkLost);

    // The link is back: a new read makes the record the unit's again.
    unit->RestoreLink();
    ASSERT_TRUE(link->OpenLink());
    link->Connect();
    car->SetProgressSink([](int32_t, bool) {});
    dialogs.messages.clear();
    connection->ReadAgain();
    EXPECT_TRUE(car->LastTransfer().Complete());
    EXPECT_TRUE(dialogs.messages.empty());
}
