// Program start: one copy only, the link library, and the whole start on the
// simulated unit.
#include "MainFixture.h"
#include "editor/TFormConfig.h"
#include "app/TFormMain.h"
#include "app/TFormScarica.h"
#include "services/i18n/TDataModuleMur.h"
#include "app/Program.h"
#include "services/platform/SingleInstance.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QUuid>
#include <QWidget>

using namespace vapora;
using namespace vapora::test;

namespace {

QString UniqueName() { return QStringLiteral("MURTest-") + QUuid::createUuid().toString(QUuid::Id128); }

QString BuiltLibrary() { return QCoreApplication::applicationDirPath() + QStringLiteral("/SerNoxDL"); }

bool BuiltLibraryExists()
{
    return QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/libSerNoxDL.so"));
}

TEST(SingleInstance, SecondCopyAsksTheFirstToRaiseItsMinimisedWindow)
{
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.Claim());
    QWidget window;
    window.showMinimized();
    QObject::connect(&first, &SingleInstance::RaiseRequested, &window, [&window] { RaiseWindow(&window); });
    QSignalSpy raised(&first, &SingleInstance::RaiseRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(second.LeaveRequest({}).isEmpty());
    ASSERT_TRUE(raised.wait(3000));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

TEST(SingleInstance, LockIsFreeAgainAfterTheRunningCopyEnds)
{
    const QString name = UniqueName();
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.Claim());
    }
    SingleInstance next(name);
    EXPECT_TRUE(next.Claim());
}

TEST(Program, SecondCopyEndsWithoutAWindowOrMessage)
{
    const QString name = UniqueName();
    SingleInstance running(name);
    ASSERT_TRUE(running.Claim());
    QSignalSpy raised(&running, &SingleInstance::RaiseRequested);

    ScriptedDialogs dialogs;
    FakeClock clock;
    const auto windowsBefore = QApplication::topLevelWidgets().size();
    ProgramOptions options;
    options.instanceName = name;
    options.libraryPath = BuiltLibrary();
    Program program(dialogs, clock, options);
    EXPECT_EQ(program.Start(), Program::Outcome::SecondCopy);
    EXPECT_EQ(program.MainForm(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(raised.wait(3000));
}

TEST(Program, MissingLinkLibraryShowsTheSystemErrorAndEnds)
{
    WorkFolder folder(false);
    ScriptedDialogs dialogs;
    FakeClock clock;
    ProgramOptions options;
    options.instanceName = UniqueName();
    options.libraryPath = folder.Path() + QStringLiteral("/NoSuchLib");
    Program program(dialogs, clock, options);
    EXPECT_EQ(program.Start(), Program::Outcome::NoLibrary);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Vapora");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains("NoSuchLib")) << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(program.MainForm(), nullptr);
    EXPECT_EQ(program.Context().car, nullptr);
}

TEST(Program, StartsOnTheSimulatedUnitAndWritesTheSettingsBackAtTheEnd)
{
    if (!BuiltLibraryExists())
        GTEST_SKIP() << "the link library is not built beside the tests";
    WorkFolder folder;
    ScriptedDialogs dialogs;
    FakeClock clock;
    ProgramOptions options;
    options.instanceName = UniqueName();
    options.settingsKey = QStringLiteral("Murazzoni\\VaporaStartTest");
    {
        Program program(dialogs, clock, options);
        ASSERT_EQ(program.Start(), Program::Outcome::Started);
        AppContext& ctx = program.Context();
        ASSERT_NE(ctx.link, nullptr);
        EXPECT_NE(ctx.car, nullptr);
        EXPECT_NE(ctx.settings, nullptr);
        EXPECT_EQ(ctx.dictionary, program.DataModule());
        ASSERT_NE(program.MainForm(), nullptr);
        EXPECT_NE(program.ScaricaForm(), nullptr);
        EXPECT_NE(program.ConfigForm(), nullptr);

        dialogs.messages.clear(); // the settings' first-start message
        TFormMain* form = program.MainForm();
        form->show(); // what Exec does before the loop
        for (int i = 0; i < 100 && !form->ShowHandled(); ++i)
            QCoreApplication::processEvents();
        ASSERT_TRUE(form->ShowHandled());
        ASSERT_FALSE(form->Terminated());
        EXPECT_EQ(ctx.link->IsConnected(), 1); // the silent first connection reached the unit
        QCoreApplication::processEvents();
        EXPECT_EQ(form->PanelText(0), "Centralina connessa");
        EXPECT_EQ(ctx.mainFolder, QDir::currentPath());
        EXPECT_EQ(program.ScaricaForm()->FileFolder(), GlobalData::ProgramFolder(ctx.mainFolder));
        EXPECT_EQ(program.ConfigForm()->CalibrationFolder(), GlobalData::CalibrationFolder(ctx.mainFolder));
        program.DataModule()->PopupMenuLingue()->actions().value(1)->trigger();
        form->close();
        EXPECT_EQ(ctx.link->IsConnected(), 0); // the close query disconnected
    }
    QSettings stored(QStringLiteral("Murazzoni"), QStringLiteral("VaporaStartTest"));
    EXPECT_EQ(stored.value(QStringLiteral("Language")).toInt(), 1);
}

} // namespace
