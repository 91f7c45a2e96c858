// Connecting to the simulated unit: refusals, the compatibility warning, the
// status panels and the wait window.

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "app/Connection.h"
#include "LinkObject.h"
#include "app/MainPanels.h"
#include "services/MessageTable.h"
#include "model/ConfCar.h"
#include "services/settings/GlobalData.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "widgets/TFormAttesa.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <numeric>

using namespace vapora;

namespace {

struct RecordingPanels final : MainPanels {
    QString texts[4];
    void SetPanelText(int panel, const QString& text) override { texts[panel] = text; }
    QString PanelText(int panel) const override { return texts[panel]; }
    void RepaintStatusBar() override {}
};

// What the window showing progress looked like after one progress message.
struct ProgressSeen {
    QString caption;
    int position = -1;
    QString text;
};

struct ConnectionTest : ::testing::Test {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    test::ScriptedDialogs settingsDialogs;
    test::FakeClock clock;
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    std::unique_ptr<ConfCar> car;
    std::unique_ptr<GlobalData> settings;
    MessageTable messages;
    RecordingPanels panels;
    QWidget owner;
    AppContext ctx;
    std::unique_ptr<Connection> connection;
    std::vector<ProgressSeen> progress;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
        settings = std::make_unique<GlobalData>("MurazzoniTest\\Connection", settingsDialogs, dir.path());
        settings->SetValue(GlobalData::kLastWarning, 0);

        auto sim = std::make_unique<sernox::SimUnit>(sernox::SimConfig{{8, 1, 65, 18}});
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        car = std::make_unique<ConfCar>("default.mur", link.get(), clock);
        car->SetProgressSink([this](int32_t amount, bool add) {
            SendProgress(amount, add);
            if (auto* wait = qobject_cast<TFormAttesa*>(ProgressTarget::Current()))
                progress.push_back({wait->windowTitle(), wait->Position(),
                                    wait->findChild<QLabel*>("Label2")->text()});
            else
                progress.push_back({});
        });

        owner.setWindowTitle("Vapora Murazzoni");
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.settings = settings.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        ctx.messages = &messages;
        ctx.mainFolder = dir.path();
        connection = std::make_unique<Connection>(ctx, panels, &owner);
    }

    void TearDown() override
    {
        connection.reset();
        car.reset();
        settings.reset();
    }

    QString Text(const char* key) const { return messages.Text(key); }
    bool Connected() const { return link->IsConnected() != 0; }

    // Connects silently with fresh compatibility words; answers the messages shown.
    std::vector<test::ShownMessage> ConnectWithWords(int wordA, int wordB)
    {
        link->Disconnect();
        dialogs.messages.clear();
        unit->SetCompatibilityWords(static_cast<uint16_t>(wordA), static_cast<uint16_t>(wordB));
        connection->Connect(false, true);
        return dialogs.messages;
    }
};

TEST_F(ConnectionTest, LinkNotAnsweringIsReportedOnlyWhenInteractive)
{
    unit->DropLink();
    connection->Connect(false, true);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.execTitles.empty()); // no fuel choice after a failed connection

    connection->Connect(true, true);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessErrConn"));
    EXPECT_EQ(dialogs.messages[0].title, "Vapora Murazzoni");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_FALSE(Connected());
    EXPECT_TRUE(panels.texts[2].isEmpty());
}

TEST_F(ConnectionTest, UnidentifiedUnitIsDisconnected)
{
    unit->FailReads(true);
    connection->Connect(false, true);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(Connected());

    connection->Connect(true, true);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Text("MessErrVersioneCpu"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_FALSE(Connected());
    EXPECT_TRUE(dialogs.execTitles.empty());
}

TEST_F(ConnectionTest, UnitOfAnotherFamilyIsRefusedAlsoWhenSilent)
{
    for (const std::array<uint8_t, 4>& id : {std::array<uint8_t, 4>{8, 2, 65, 18}, {9, 1, 65, 18}}) {
        dialogs.messages.clear();
        unit->SetIdentification(id);
        connection->Connect(false, true);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, Text("MessCpuErrata"));
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
        EXPECT_FALSE(Connected());
    }
}

TEST_F(ConnectionTest, CompatibilityLevelsAndBindingBit)
{
    // Binding and newer than the program: refused, also at the silent start.
    auto shown = ConnectWithWords(0x8406, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, messages.InterfaceOld());
    EXPECT_EQ(shown[0].icon, MsgIcon::Error);
    EXPECT_FALSE(Connected());
    EXPECT_TRUE(dialogs.execTitles.empty());

    // Binding but not newer: accepted without a word.
    shown = ConnectWithWords(0x8405, 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(Connected());

    // Newer, not binding: a warning, and the connection goes on.
    shown = ConnectWithWords(0x0406, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, messages.InterfaceWarning());
    EXPECT_EQ(shown[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(Connected());

    // The second word binds as well (the unit's version is 18).
    shown = ConnectWithWords(0x0405, 0x8406);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, messages.InterfaceOld());
    EXPECT_FALSE(Connected());
}

TEST_F(ConnectionTest, SecondWordIsNotReadBeforeVersion18)
{
    unit->SetSoftwareVersion(17);
    EXPECT_TRUE(ConnectWithWords(0, 0x8406).empty());
    EXPECT_TRUE(Connected());

    unit->SetSoftwareVersion(18);
    EXPECT_EQ(ConnectWithWords(0, 0x8406).size(), 1u);
    EXPECT_FALSE(Connected());
}

TEST_F(ConnectionTest, WarningIsShownAtMostOnceInEightDays)
{
    const int today = Connection::Today();
    settings->SetValue(GlobalData::kLastWarning, today - 7);
    EXPECT_TRUE(ConnectWithWords(0x0406, 0).empty());
    EXPECT_EQ(settings->GetValue(GlobalData::kLastWarning), today - 7);

    settings->SetValue(GlobalData::kLastWarning, today - 8);
    EXPECT_EQ(ConnectWithWords(0x0406, 0).size(), 1u);
    EXPECT_EQ(settings->GetValue(GlobalData::kLastWarning), today);
    EXPECT_TRUE(ConnectWithWords(0x0406, 0).empty());
}

TEST_F(ConnectionTest, TodayCountsDaysFromTheEndOf1899)
{
    // 1 January 2000 is day 36526 of that calendar.
    EXPECT_EQ(Connection::Today() - QDate(2000, 1, 1).daysTo(QDate::currentDate()), 36526);
}

TEST_F(ConnectionTest, SoftwareVersionPanelWithAndWithoutName)
{
    connection->Connect(true, true);
    EXPECT_EQ(panels.texts[2], "Versione software: 18.65");
    EXPECT_EQ(panels.texts[3], "GPL");

    ASSERT_TRUE(QDir(dir.path()).mkpath("Programmazione"));
    QFile names(dir.filePath("Programmazione/Vapora.txt"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    names.write("1=Uno\r\n2=Met\x80no\r\n650=Altro\r\n65=Sequenziale 4\r\n65=Doppione\r\n");
    names.close();
    link->Disconnect();
    connection->Connect(true, true);
    EXPECT_EQ(panels.texts[2], "Versione software: 18 - Sequenziale 4");

    // A file without the code falls back to the number.
    EXPECT_EQ(Connection::VersionPanelText("Versione software", 15, 3, names.fileName()), "Versione software: 15.3");
    EXPECT_EQ(Connection::VersionPanelText("Versione software", 15, 1, names.fileName()),
              "Versione software: 15 - Uno");
    EXPECT_EQ(Connection::VersionPanelText("Versione software", 15, 2, names.fileName()),
              QString::fromUtf8("Versione software: 15 - Met€no"));
}

TEST_F(ConnectionTest, ReconnectWithoutReloadKeepsTheRecord)
{
    car->RifGiri[0] = 12345;
    unit->ResetCounts();
    connection->Connect(true, false);
    EXPECT_TRUE(Connected());
    EXPECT_EQ(car->RifGiri[0], 12345);
    EXPECT_LT(unit->ReadCount(), 10);
    EXPECT_TRUE(progress.empty());

    link->Disconnect();
    connection->Connect(true, true);
    EXPECT_NE(car->RifGiri[0], 12345);
}

TEST_F(ConnectionTest, ProgressReachesTheWaitWindowUpTo100)
{
    connection->Connect(true, true);
    ASSERT_FALSE(progress.empty());
    for (const ProgressSeen& seen : progress)
        EXPECT_EQ(seen.caption, Text("FinestraCaricaDati"));
    EXPECT_EQ(progress.back().position, 100);
    EXPECT_EQ(progress.back().text, "100% " + (" " + Text("MessCompletato") + " "));
    // The window is gone once the configuration is read, and the fuel is asked.
    EXPECT_EQ(ProgressTarget::Current(), nullptr);
    EXPECT_TRUE(owner.findChildren<TFormAttesa*>().isEmpty());
    EXPECT_EQ(dialogs.execTitles, std::vector<QString>{"Scegli il tipo di carburante"});

    // The silent start opens no wait window.
    progress.clear();
    link->Disconnect();
    connection->Connect(false, true);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(progress.back().caption.isEmpty());
}

TEST_F(ConnectionTest, UnitNeverReadyIsReadAfterTwentySeconds)
{
    unit->SetReadyAfterPolls(1000);
    connection->Connect(true, true);
    EXPECT_TRUE(Connected());
    const uint32_t polled = std::accumulate(clock.sleeps.begin(), clock.sleeps.end(), 0u,
                                            [](uint32_t sum, uint32_t ms) { return ms == 500 ? sum + ms : sum; });
    EXPECT_EQ(polled, 20000u);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().position, 100);
}

} // namespace
