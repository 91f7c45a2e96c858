// Firmware programming against the simulated unit: the file window, the
// attempts with their questions and captions, the decoded working file and
// the reconnection.
#include "app/Connection.h"
#include "app/Firmware.h"
#include "FilesFixture.h"
#include "app/TFormScarica.h"
#include "services/platform/FilePaths.h"
#include "linklib/SRecordFixture.h"
#include "model/FileCodec.h"

#include <QLabel>
#include <QPushButton>

using namespace vapora;
using namespace vapora::test;

namespace {

class Firmware : public FilesTest {
protected:
    std::unique_ptr<TFormScarica> scarica;
    std::unique_ptr<Connection> connection;
    const std::string image = sernox::test::GoodFirmware(6);

    void SetUp() override
    {
        FilesTest::SetUp();
        scarica = std::make_unique<TFormScarica>(ctx);
        scarica->SetFileFolder(Path("Programmazione"));
        connection = std::make_unique<Connection>(ctx, panels, &owner);
        Write(Path("Programmazione/fw.s19"), QByteArray::fromStdString(image));
        Write(Path("Programmazione/fw.pec"), QByteArray::fromStdString(CryptBytes(image, false, false, {})));
        Write(Path("Programmazione/bad.s19"), "S1 this is no S-record\r\n");
    }
    // Chooses the file in the first file dialog and confirms the window.
    void Choose(const QString& relative)
    {
        dialogs.fileNames.push_back(Path(relative));
        dialogs.windows.push_back([](QDialog*) { return int(QDialog::Accepted); });
    }
    void Program() { ProgramFirmware(ctx, *scarica, *connection, &owner); }
    std::vector<QString> Captions() const
    {
        std::vector<QString> c;
        for (const auto& call : link->programCalls)
            c.push_back(call.waitCaption);
        return c;
    }
};

TEST_F(Firmware, FirstAttemptSucceedsWithoutQuestionsAndReconnects)
{
    ConnectUnit();
    Choose("Programmazione/fw.s19");
    Program();

    ASSERT_EQ(link->programCalls.size(), 1u);
    EXPECT_EQ(link->programCalls[0].path, LocalFilePath(Path("Programmazione/fw.s19"))); // no working copy
    EXPECT_EQ(link->programCalls[0].waitCaption, "Aggiornamento software centralina");
    EXPECT_TRUE(TemporaryFiles().isEmpty());
    EXPECT_EQ(link->begins, 1);
    EXPECT_EQ(link->ends, 1);
    ASSERT_NE(unit->Firmware(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NE(link->IsConnected(), 0); // reconnected and read
    EXPECT_FALSE(panels.texts[2].isEmpty());
}

TEST_F(Firmware, EncodedFileIsProgrammedFromAHiddenDecodedCopyThatIsRemoved)
{
    Choose("Programmazione/fw.pec");
    Program();

    ASSERT_EQ(link->programCalls.size(), 1u);
    const auto& call = link->programCalls[0];
    EXPECT_TRUE(call.fileExisted);
    EXPECT_EQ(call.content, image);
    const QFileInfo copy(QString::fromStdString(call.path));
    EXPECT_EQ(copy.absolutePath(), QDir(Path("tmp")).absolutePath());
    EXPECT_TRUE(copy.fileName().contains("_dp"));
    EXPECT_TRUE(copy.isHidden());
    EXPECT_FALSE(copy.exists());
    EXPECT_TRUE(TemporaryFiles().isEmpty());
    ASSERT_NE(unit->Firmware(), nullptr);
}

TEST_F(Firmware, ThreeRefusedImagesAskTwiceNumberTheAttemptsAndFail)
{
    ConnectUnit();
    Choose("Programmazione/bad.s19");
    dialogs.answers = {MsgResult::Yes, MsgResult::Yes};
    Program();

    EXPECT_EQ(Captions(), std::vector<QString>({"Aggiornamento software centralina",
                                                "Aggiornamento software centralina - Tentativo 2",
                                                "Aggiornamento software centralina - Tentativo 3"}));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, messages.FailedProgramming());
    EXPECT_EQ(dialogs.messages[0].title, "Aggiornamento software centralina");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.messages[1].title, "Aggiornamento software centralina - Tentativo 2");
    EXPECT_EQ(dialogs.messages[2].text, "Impossibile effettuare la programmazione.");
    EXPECT_EQ(dialogs.messages[2].title, "Vapora Murazzoni");
    EXPECT_EQ(unit->Firmware(), nullptr);
    EXPECT_EQ(link->ends, 1);
    EXPECT_EQ(link->IsConnected(), 0); // left disconnected
}

TEST_F(Firmware, LowBatteryAsksItsOwnQuestionAndNoStops)
{
    unit->SetBatteryLow(true);
    Choose("Programmazione/fw.s19");
    dialogs.answers = {MsgResult::No};
    Program();

    EXPECT_EQ(link->programCalls.size(), 1u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "ATTENZIONE: tensione di batteria insufficiente; Riprovare?");
    EXPECT_EQ(dialogs.messages[1].text, "Impossibile effettuare la programmazione.");
}

TEST_F(Firmware, RetryAfterTheBatteryIsChargedSucceeds)
{
    unit->SetBatteryLow(true);
    Choose("Programmazione/fw.pec");
    dialogs.answers = {MsgResult::Yes};
    // The user charges the battery while the question is open.
    struct Charging final : DialogService {
        ScriptedDialogs& inner;
        sernox::SimUnit& unit;
        Charging(ScriptedDialogs& d, sernox::SimUnit& u) : inner(d), unit(u) {}
        MsgResult Message(QWidget* p, const QString& t, const QString& x, MsgIcon i, MsgButtons b,
                          MsgResult d) override
        {
            unit.SetBatteryLow(false);
            return inner.Message(p, t, x, i, b, d);
        }
        QString OpenFileName(QWidget* p, const QString& t, const QString& f, const QString& x) override
        {
            return inner.OpenFileName(p, t, f, x);
        }
        QString SaveFileName(QWidget* p, const QString& t, const QString& f, const QString& x) override
        {
            return inner.SaveFileName(p, t, f, x);
        }
        QString FolderName(QWidget* p, const QString& t, const QString& f) override { return inner.FolderName(p, t, f); }
        int Exec(QDialog* d) override { return inner.Exec(d); }
    } charging(dialogs, *unit);
    ctx.dialogs = &charging;
    Program();

    EXPECT_EQ(link->programCalls.size(), 2u);
    EXPECT_EQ(link->programCalls[1].content, image); // the working copy lives until the last attempt
    ASSERT_NE(unit->Firmware(), nullptr);
    EXPECT_TRUE(TemporaryFiles().isEmpty());
    EXPECT_NE(link->IsConnected(), 0);
}

TEST_F(Firmware, TheFileWindowRemembersTheFileAndItsCancelStopsEverything)
{
    Program(); // first run, file dialog cancelled
    EXPECT_TRUE(dialogs.execTitles.empty());
    EXPECT_TRUE(link->programCalls.empty());

    Choose("Programmazione/fw.s19");
    dialogs.windows.clear();
    dialogs.windows.push_back([](QDialog*) { return int(QDialog::Rejected); });
    Program();
    EXPECT_TRUE(link->programCalls.empty());
    EXPECT_EQ(scarica->findChild<QLabel*>("LabelN")->text(), "fw.s19");

    dialogs.windows.push_back([](QDialog*) { return int(QDialog::Accepted); });
    Program(); // no file dialog: the file from last time
    ASSERT_EQ(link->programCalls.size(), 1u);
    EXPECT_EQ(link->programCalls[0].path, LocalFilePath(Path("Programmazione/fw.s19")));
}

TEST_F(Firmware, ChangeFileShowsTheNewFileAndItsDate)
{
    Choose("Programmazione/fw.s19");
    SetTime(Path("Programmazione/fw.pec"), QDateTime(QDate(2004, 10, 4), QTime(12, 0)));
    dialogs.windows.clear();
    dialogs.windows.push_back([&](QDialog* d) {
        dialogs.fileNames.push_back(Path("Programmazione/fw.pec"));
        d->findChild<QPushButton*>("ButtonCambia")->click();
        return int(QDialog::Rejected);
    });
    Program();
    EXPECT_EQ(scarica->findChild<QLabel*>("LabelN")->text(), "fw.pec");
    const QString date = scarica->findChild<QLabel*>("LabelD")->text();
    ASSERT_EQ(date.size(), 9) << date.toStdString();
    EXPECT_EQ(date.left(1) + date.mid(2, 2) + date.mid(5), "4102004");
    EXPECT_EQ(date[1], date[4]);
    EXPECT_FALSE(date[1].isLetterOrNumber() || date[1].isSpace());
    EXPECT_EQ(TFormScarica::FileDateText(Path("Programmazione/none.s19")), "sconosciuta");
}

} // namespace
