// The main window's open, save and open-in-editor commands against the
// simulated unit.
#include "app/FileCommands.h"
#include "FilesFixture.h"
#include "files/TFormSaveOption.h"
#include "services/i18n/Cp1252.h"
#include "services/platform/FilePaths.h"
#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "services/platform/OpenInEditor.h"

#include <QCheckBox>
#include <QSpinBox>

using namespace vapora;
using namespace vapora::test;

namespace {

struct RecordingEditor final : TextEditorLauncher {
    QStringList opened;
    bool starts = true; // false: no program is set up for text files
    bool Open(const QString& path) override
    {
        opened.append(path);
        return starts;
    }
};

class FileCommandsTest : public FilesTest {
protected:
    RecordingEditor editor;
    std::unique_ptr<FileCommands> commands;

    void SetUp() override
    {
        FilesTest::SetUp();
        commands = std::make_unique<FileCommands>(ctx, panels, &owner, editor, [this] {
            return ConfigFileDialogs{Path("Configurazioni"), Path("Configurazioni"), "Apri", "Salva"};
        });
    }

    // The next save options window: fills it and closes it with result.
    void Options(bool official, bool forCalibration, bool methane, int cc, int result = QDialog::Accepted)
    {
        dialogs.windows.push_back([=](QDialog* d) {
            d->findChild<QCheckBox*>("CheckUfficiale")->setChecked(official);
            d->findChild<QCheckBox*>("CheckCalibra")->setChecked(forCalibration);
            d->findChild<QCheckBox*>("CheckMetano")->setChecked(methane);
            d->findChild<QSpinBox*>("EditCilindrata")->setValue(cc);
            return result;
        });
    }

    static QByteArray Decoded(const QString& path)
    {
        const QByteArray bytes = Read(path);
        const std::string plain = CryptBytes(std::string_view(bytes.constData(), bytes.size()), true, true, {});
        return QByteArray::fromStdString(plain);
    }
};

TEST_F(FileCommandsTest, SaveNamesTheConfigurationAfterTheFileLessItsLastFourCharacters)
{
    QDir().mkpath(Path("Configurazioni"));
    dialogs.fileNames = {Path("Configurazioni/x.vap"), Path("Configurazioni/abcdef")};
    Options(true, false, false, 1600);
    commands->Save();
    EXPECT_EQ(car->GetConfigName(), "x");
    EXPECT_TRUE(QFileInfo::exists(Path("Configurazioni/x.vap")));

    Options(true, false, false, 1600);
    commands->Save();
    EXPECT_EQ(car->GetConfigName(), "ab");
    EXPECT_TRUE(QFileInfo::exists(Path("Configurazioni/abcdef")));
}

TEST_F(FileCommandsTest, SaveTakesTheOptionsAndWritesTheScopeTheyAskFor)
{
    ConnectUnit();
    dialogs.fileNames = {Path("map.vap")};
    bool shownMethane = true;
    int shownCc = 0;
    dialogs.windows.push_back([&](QDialog* d) {
        shownMethane = d->findChild<QCheckBox*>("CheckMetano")->isChecked();
        shownCc = d->findChild<QSpinBox*>("EditCilindrata")->value();
        d->findChild<QCheckBox*>("CheckUfficiale")->setChecked(false);
        d->findChild<QCheckBox*>("CheckCalibra")->setChecked(true);
        d->findChild<QCheckBox*>("CheckMetano")->setChecked(true);
        d->findChild<QSpinBox*>("EditCilindrata")->setValue(1400);
        return int(QDialog::Accepted);
    });
    const int ccBefore = static_cast<int>(car->GetParam(ids::kCilindrata));
    commands->Save();

    EXPECT_FALSE(shownMethane);
    EXPECT_EQ(shownCc, ccBefore);
    EXPECT_TRUE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_FALSE(car->GetStatusFlag(ConfCar::kOfficial));
    EXPECT_EQ(car->GetParam(ids::kCilindrata), 1400);
    EXPECT_EQ(unit->StoredElement(ids::kCilindrata), 1400 / 50); // the unit got the displacement
    EXPECT_EQ(panels.texts[3], "Metano");
    const QByteArray file = Decoded(Path("map.vap"));
    EXPECT_TRUE(file.contains("Carburante=1"));
    EXPECT_TRUE(file.contains("MurFile=0"));
    EXPECT_TRUE(file.contains("[MappaCarburazione]"));
    EXPECT_FALSE(file.contains("[Lambda]")); // a calibration map carries no parameters
}

TEST_F(FileCommandsTest, CancelledSaveChangesNothing)
{
    dialogs.fileNames = {Path("x.vap")};
    Options(false, false, true, 3000, QDialog::Rejected);
    const std::string name = car->GetConfigName();
    commands->Save();
    EXPECT_FALSE(QFileInfo::exists(Path("x.vap")));
    EXPECT_FALSE(car->GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(car->GetConfigName(), name);

    commands->Save(); // the file dialog cancelled
    EXPECT_EQ(dialogs.execTitles.size(), 1u);
}

TEST_F(FileCommandsTest, OpenWhileConnectedWritesTheUnitOfflineOnlyMemory)
{
    WriteConfig("Configurazioni/a.vap", true, true, 77);
    WriteConfig("Configurazioni/b.vap", true, false, 88);

    dialogs.fileNames = {Path("Configurazioni/a.vap")};
    commands->Open();
    EXPECT_EQ(car->RifLambda, 77);
    EXPECT_EQ(car->GetConfigName(), "a");
    EXPECT_EQ(panels.texts[3], "Metano");
    EXPECT_EQ(unit->WriteCount(), 0);

    ConnectUnit();
    dialogs.fileNames = {Path("Configurazioni/b.vap")};
    commands->Open();
    EXPECT_EQ(car->RifLambda, 88);
    EXPECT_EQ(unit->StoredElement(kRifLambda), 88);
    EXPECT_EQ(panels.texts[3], "GPL");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, UnreadableFileIsReportedAndNeverReachesTheUnit)
{
    ConnectUnit();
    dialogs.fileNames = {Path("Configurazioni")}; // a folder: nothing to decode
    QDir().mkpath(Path("Configurazioni"));
    commands->Open();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].title, "Vapora Murazzoni");
    EXPECT_EQ(unit->WriteCount(), 0);
}

TEST_F(FileCommandsTest, EditorCopiesAreNumberedFromOneAndNeverOverwritten)
{
    car->SetConfigName("auto");
    QDir().mkpath(Path("Configurazioni"));
    ASSERT_TRUE(car->SaveToFile(LocalFilePath(Path("Configurazioni/auto.vap")), 0));
    dialogs.fileNames = {Path("Configurazioni/auto.vap"), Path("Configurazioni/auto.vap")};
    commands->OpenInEditor();
    Write(Path("Configurazioni/Decrypted/Dec1.auto.vap"), "edited by the user");
    commands->OpenInEditor();

    ASSERT_EQ(editor.opened.size(), 2);
    EXPECT_EQ(editor.opened[0], Path("Configurazioni/Decrypted/Dec1.auto.vap"));
    EXPECT_EQ(editor.opened[1], Path("Configurazioni/Decrypted/Dec2.auto.vap"));
    EXPECT_EQ(Read(editor.opened[0]), "edited by the user");
    const QByteArray copy = Read(editor.opened[1]);
    EXPECT_TRUE(copy.startsWith("DVMF\r\n[Generale]\r\n"));
    EXPECT_TRUE(copy.contains("NomeConfigurazione=auto.vap"));
}

TEST_F(FileCommandsTest, NoEditorToStartSaysSoAndWhereTheCopyIs)
{
    car->SetConfigName("auto");
    QDir().mkpath(Path("Configurazioni"));
    ASSERT_TRUE(car->SaveToFile(LocalFilePath(Path("Configurazioni/auto.vap")), 0));
    dialogs.fileNames = {Path("Configurazioni/auto.vap")};
    editor.starts = false;
    commands->OpenInEditor();
    ASSERT_EQ(editor.opened.size(), 1);
    const QString copy = Path("Configurazioni/Decrypted/Dec1.auto.vap");
    EXPECT_TRUE(QFileInfo::exists(copy));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Impossibile avviare un editor di testo"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(copy)));
}

TEST_F(FileCommandsTest, FileThatCannotBeDecodedStartsNoEditor)
{
    dialogs.fileNames = {Path("missing.vap")};
    commands->OpenInEditor();
    EXPECT_TRUE(editor.opened.isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Impossibile decriptare il file");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
}

} // namespace
