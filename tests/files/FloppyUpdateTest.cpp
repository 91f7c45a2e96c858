// The file management window: save and load through the browser, and the
// update from a floppy with temporary source and installation folders.
#include "FilesFixture.h"
#include "files/FloppyUpdate.h"
#include "files/TFormGestioneFile.h"

#include <QLineEdit>
#include <QPushButton>

using namespace vapora;
using namespace vapora::test;

namespace {

class FloppyUpdate : public FilesTest {
protected:
    std::unique_ptr<TFormGestioneFile> form;
    const QDateTime old = QDateTime::currentDateTime().addDays(-10);
    const QDateTime recent = QDateTime::currentDateTime().addDays(-1);

    void SetUp() override
    {
        FilesTest::SetUp();
        form = std::make_unique<TFormGestioneFile>(ctx, &owner, dir.path());
    }
    void Floppy(const QString& name, const QByteArray& bytes, const QDateTime& when)
    {
        Write(Path("floppy/" + name), bytes);
        SetTime(Path("floppy/" + name), when);
    }
    void Installed(const QString& relative, const QByteArray& bytes, const QDateTime& when)
    {
        Write(Path(relative), bytes);
        SetTime(Path(relative), when);
    }
    void Index(const QByteArray& lines) { Write(Path("floppy/VAPORA.DAT"), lines); }
    // Runs the update from the floppy folder; the last message shown.
    ShownMessage Update()
    {
        dialogs.messages.clear();
        dialogs.fileNames = {Path("floppy")};
        form->ButtonAggiornaClick(false);
        return dialogs.messages.empty() ? ShownMessage{} : dialogs.messages.back();
    }
};

TEST_F(FloppyUpdate, CopiesOnlyTheNewerFilesToTheirFolders)
{
    Floppy("new.vap", "new config", recent);
    Floppy("same.vap", "floppy copy", old);
    Floppy("fw.s19", "S0 firmware", recent);
    Floppy("Vapora.txt", "18=new names", recent);
    Installed("Configurazioni/same.vap", "installed copy", old);
    Installed("Programmazione/fw.s19", "S0 old firmware", old);
    Index("new.vap=VAPCONFIG\r\nsame.vap = vapconfig \r\nfw.s19=VAPPROG\r\nVapora.txt=VAPMAIN\r\nmissing.vap=VAPCALIBRA\r\n");

    const ShownMessage report = Update();
    EXPECT_EQ(report.text, "File copiati con successo.");
    EXPECT_EQ(report.icon, MsgIcon::Information);
    EXPECT_EQ(report.title, "Gestione file configurazione Vapora");
    EXPECT_EQ(Read(Path("Configurazioni/new.vap")), "new config");
    EXPECT_EQ(Read(Path("Configurazioni/same.vap")), "installed copy");
    EXPECT_EQ(Read(Path("Programmazione/fw.s19")), "S0 firmware");
    EXPECT_EQ(Read(Path("Vapora.txt")), "18=new names");
    EXPECT_FALSE(QFileInfo::exists(Path("Calibrazione/missing.vap")));
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>({300}));

    // The copies are as old as their sources: the same floppy brings nothing new.
    EXPECT_EQ(Update().text, "Nessun nuovo file presente sul dischetto!");
}

TEST_F(FloppyUpdate, AFloppyOfOlderFilesChangesNothing)
{
    Floppy("a.vap", "floppy", old);
    Installed("Configurazioni/a.vap", "installed", recent);
    Index("a.vap=VAPCONFIG\r\n");
    const ShownMessage report = Update();
    EXPECT_EQ(report.text, "Nessun nuovo file presente sul dischetto!");
    EXPECT_EQ(report.icon, MsgIcon::Information);
    EXPECT_EQ(Read(Path("Configurazioni/a.vap")), "installed");
}

TEST_F(FloppyUpdate, ReadOnlyInstalledFileIsReplaced)
{
    Floppy("a.vap", "floppy", recent);
    Installed("Configurazioni/a.vap", "installed", old);
    QFile::setPermissions(Path("Configurazioni/a.vap"), QFile::ReadOwner | QFile::ReadGroup);
    Index("a.vap=VAPCONFIG\r\n");
    EXPECT_EQ(Update().text, "File copiati con successo.");
    EXPECT_EQ(Read(Path("Configurazioni/a.vap")), "floppy");
}

TEST_F(FloppyUpdate, ANameGivenTwiceGoesWhereItsFirstLineSays)
{
    Floppy("a.vap", "floppy", recent);
    Index("a.vap=VAPCALIBRA\r\nA.VAP=VAPPROG\r\n");
    Update();
    EXPECT_TRUE(QFileInfo::exists(Path("Calibrazione/a.vap")));
    EXPECT_FALSE(QFileInfo::exists(Path("Programmazione/a.vap")));
}

TEST_F(FloppyUpdate, OtherDestinationsAreFoldersRelativeToTheCurrentDirectory)
{
    Floppy("sub/a.vap", "deep", recent); // on the floppy, in a folder of its own
    Floppy("b.vap", "flat", recent);
    Index("sub\\a.vap=Extra\\Dir\r\nb.vap=" + QFile::encodeName(Path("abs")) + "\r\n");
    EXPECT_EQ(Update().text, "File copiati con successo.");
    EXPECT_EQ(Read(Path("Extra/Dir/sub/a.vap")), "deep");
    EXPECT_EQ(Read(Path("abs/b.vap")), "flat");
}

TEST_F(FloppyUpdate, NamesReachingOutsideTheirFoldersAreRefusedAndListed)
{
    Write(Path("outside/secret.txt"), "not on the floppy");
    Floppy("ok.vap", "fine", recent);
    Index("../outside/secret.txt=Inst\\a\\b\r\nok.vap=VAPCONFIG\r\n" + QFile::encodeName(Path("outside/secret.txt")) +
          "=VAPPROG\r\nsub/../../x=VAPMAIN\r\n");
    const ShownMessage report = Update();
    EXPECT_EQ(report.icon, MsgIcon::Error);
    EXPECT_EQ(report.text, "Errore nella copia dei seguenti file:\n../outside/secret.txt\n" +
                               Path("outside/secret.txt") + "\nsub/../../x");
    EXPECT_EQ(Read(Path("Configurazioni/ok.vap")), "fine"); // the other lines still run
    EXPECT_FALSE(QFileInfo::exists(Path("Inst"))); // the escaping name was neither read nor written
}

TEST_F(FloppyUpdate, FailedCopiesAreListedAndTheOthersStillCopied)
{
    Floppy("a.vap", "a", recent);
    Floppy("b.vap", "b", recent);
    Write(Path("blocked"), "a file where a folder should be");
    Index("a.vap=blocked\\inside\r\nb.vap=VAPCONFIG\r\n");
    const ShownMessage report = Update();
    EXPECT_EQ(report.text, "Errore nella copia dei seguenti file:\na.vap");
    EXPECT_EQ(report.icon, MsgIcon::Error);
    EXPECT_EQ(Read(Path("Configurazioni/b.vap")), "b");
}

TEST_F(FloppyUpdate, AsksForTheFloppyUntilTheIndexIsThereOrTheUserGivesUp)
{
    dialogs.fileNames = {Path("empty")};
    QDir().mkpath(Path("empty"));
    dialogs.answers = {MsgResult::Ok, MsgResult::Cancel};
    form->ButtonAggiornaClick(false);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "Inserire un dischetto di aggiornamento Vapora");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);

    dialogs.messages.clear();
    form->ButtonAggiornaClick(false); // the folder choice cancelled: no floppy to ask for
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FloppyUpdate, ProgressIsSetPerLineOnceAFileHasBeenCopied)
{
    Floppy("a.vap", "a", old);
    Floppy("b.vap", "b", recent);
    Installed("Configurazioni/a.vap", "a", recent);
    Index("a.vap=VAPCONFIG\r\nb.vap=VAPCONFIG\r\nnoequals\r\nc.vap=VAPCONFIG\r\n");
    std::vector<int> seen;
    const auto plan = PlanUpdate(ReadUpdateIndex(Read(Path("floppy/VAPORA.DAT"))), Path("floppy"), dir.path(),
                                 dir.path());
    const UpdateResult result = RunUpdate(plan, [&](int percent) { seen.push_back(percent); });
    EXPECT_EQ(result.copied, 1);
    EXPECT_TRUE(result.failed.isEmpty());
    EXPECT_EQ(seen, std::vector<int>({50, 75, 100}));
}

TEST_F(FloppyUpdate, LoadWithNothingToLoadSaysSoAndSaveClosesTheWindowWhenDone)
{
    form->ButtonCaricaClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Nessun file presente in memoria!");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(dialogs.execTitles.empty()); // the browser never showed

    dialogs.windows.push_back([](QDialog* browser) {
        browser->findChild<QLineEdit*>("EditName")->setText("SALVATA");
        browser->findChild<QPushButton*>("ButtonOk")->click();
        return browser->result();
    });
    form->ButtonSalvaClick();
    EXPECT_TRUE(QFileInfo::exists(Path("Configurazioni/SALVATA.vap")));
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

} // namespace
