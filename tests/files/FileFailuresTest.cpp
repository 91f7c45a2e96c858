// The main window's file commands and the file browser tell why a file could not be
// loaded or saved, in the dictionary's language, and change nothing when they refuse.
#include "app/FileCommands.h"
#include "support/ShippedDictionary.h"
#include "FilesFixture.h"
#include "widgets/FileMessages.h"
#include "services/platform/FilePaths.h"
#include "files/TFormFile.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/i18n/WindowTexts.h"
#include "model/FileError.h"
#include "services/platform/OpenInEditor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace vapora;
using namespace vapora::test;

namespace {

// The shipped data folder, found before any test moves the current directory (a build
// may give this file's name relative to where it runs).
const QString kDataFolder = QDir(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../data"))
                                .absolutePath();

struct NoEditor final : TextEditorLauncher {
    bool Open(const QString&) override { return true; }
};

class FileFailures : public FilesTest {
protected:
    std::unique_ptr<TDataModuleMur> dictionary;
    NoEditor editor;
    std::unique_ptr<FileCommands> commands;

    void SetUp() override
    {
        FilesTest::SetUp();
        // The shipped dictionary, in English: every text below comes from it.
        const QDir data(kDataFolder);
        const QStringList sources = test::ShippedDictionarySources(data);
        QString error;
        ASSERT_TRUE(MakeDictionary(sources, Path("DizVapora.dbf"), &error)) << error.toStdString();
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ASSERT_TRUE(dictionary->Open(dir.path(), QStringLiteral("DizVapora.dbf")));
        dictionary->SelectLanguage(1);
        ctx.dictionary = dictionary.get();
        QDir().mkpath(Path("Configurazioni"));
        commands = std::make_unique<FileCommands>(ctx, panels, &owner, editor, [this] {
            return ConfigFileDialogs{Path("Configurazioni"), Path("Configurazioni"), "Open", "Save"};
        });
    }

    void Options()
    {
        dialogs.windows.push_back([](QDialog*) { return QDialog::Accepted; });
    }
    QString LastMessage() const { return dialogs.messages.empty() ? QString() : dialogs.messages.back().text; }
};

const QString kOpenFailed = QStringLiteral("WARNING: the file could not be opened.\n");
const QString kSaveFailed = QStringLiteral("The file could not be saved.\n");

TEST_F(FileFailures, MainWindowRefusesFilesThatAreNotConfigurations)
{
    WriteConfig("Configurazioni/good.vap", false, false, 66);
    dialogs.fileNames = {Path("Configurazioni/good.vap")};
    commands->Open();
    ASSERT_TRUE(dialogs.messages.empty());
    ConnectUnit();
    panels.texts[3] = "unchanged";

    QByteArray noise(2000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    Write(Path("Configurazioni/noise.vap"), noise);
    Write(Path("Configurazioni/empty.vap"), {});
    Write(Path("Configurazioni/lambda.vap"), "DVMF\r\n[Lambda]\r\nRifLambda=99\r\n");
    for (const char* name : {"noise.vap", "empty.vap", "lambda.vap"}) {
        SCOPED_TRACE(name);
        dialogs.messages.clear();
        dialogs.fileNames = {Path(QStringLiteral("Configurazioni/") + QLatin1String(name))};
        commands->Open();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, kOpenFailed + "The file is not a valid configuration file.");
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(car->RifLambda, 66);
        EXPECT_EQ(car->FileName, LocalFilePath(Path("Configurazioni/good.vap")));
    }
    EXPECT_EQ(unit->WriteCount(), 0);
    EXPECT_EQ(panels.texts[3], "unchanged");
    EXPECT_EQ(Read(Path("Configurazioni/noise.vap")), noise);

    dialogs.fileNames = {Path("Configurazioni")};
    commands->Open();
    EXPECT_EQ(LastMessage(), kOpenFailed + "The chosen name is a folder, not a file.");
    EXPECT_EQ(unit->WriteCount(), 0);
}

TEST_F(FileFailures, MainWindowSaveNamesTheRealCause)
{
    WriteConfig("Configurazioni/locked.vap", false, false);
    const QByteArray old = Read(Path("Configurazioni/locked.vap"));
    QFile::setPermissions(Path("Configurazioni/locked.vap"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    dialogs.fileNames = {Path("Configurazioni/locked.vap")};
    Options();
    commands->Save();
    EXPECT_EQ(LastMessage(), kSaveFailed + "The file is read-only and was not changed.");
    EXPECT_EQ(Read(Path("Configurazioni/locked.vap")), old);

    // A missing temporary folder is blamed, not the target.
    qputenv("TMPDIR", QFile::encodeName(Path("gone")));
    dialogs.fileNames = {Path("Configurazioni/new.vap")};
    Options();
    commands->Save();
    EXPECT_EQ(LastMessage(), kSaveFailed + "The temporary folder is missing or cannot be written.");
    EXPECT_FALSE(QFileInfo::exists(Path("Configurazioni/new.vap")));
    qputenv("TMPDIR", QFile::encodeName(Path("tmp")));

    const QString tooLong = Path("Configurazioni/") + QString(int(kPathMax), QLatin1Char('n')) + ".vap";
    dialogs.fileNames = {tooLong};
    Options();
    commands->Save();
    EXPECT_EQ(LastMessage(), kSaveFailed + QStringLiteral("The file path is longer than the limit of %1 characters.")
                                                .arg(kPathMax));
    // A short path whose name alone is more than the folder takes.
    dialogs.fileNames = {Path("Configurazioni/") + QString(252, QLatin1Char('n')) + ".vap"};
    Options();
    commands->Save();
    EXPECT_EQ(LastMessage(), kSaveFailed + "The file name is too long for its folder.");

    dialogs.fileNames = {Path("Configurazioni/nofolder/x.vap")};
    Options();
    commands->Save();
    EXPECT_EQ(LastMessage(), kSaveFailed + "The file or its folder does not exist.");
    EXPECT_TRUE(TemporaryFiles().isEmpty());
}

TEST_F(FileFailures, BrowserRefusesFilesThatAreNotConfigurationsAndReadOnlyTargets)
{
    WriteConfig("Configurazioni/a.vap", false, false, 66);
    ConnectUnit();
    // Listed (its name says .vap) but not a configuration file.
    Write(Path("Configurazioni/b.vap"), "DVMF\r\n[Lambda]\r\nRifLambda=99\r\n");
    const int before = car->RifLambda;
    {
        TFormFile form(ctx, &owner, nullptr, TFormFile::kLoad, dir.path());
        form.Activate();
        form.findChild<QLineEdit*>("EditName")->setText("b.vap");
        form.findChild<QPushButton*>("ButtonOk")->click();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, kOpenFailed + "The file is not a valid configuration file.");
        EXPECT_EQ(dialogs.messages[0].title, form.windowTitle());
        EXPECT_NE(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(car->RifLambda, before);
    EXPECT_EQ(unit->WriteCount(), 0);

    const QByteArray old = Read(Path("Configurazioni/a.vap"));
    QFile::setPermissions(Path("Configurazioni/a.vap"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    dialogs.messages.clear();
    dialogs.answers = {MsgResult::Yes}; // overwrite
    TFormFile form(ctx, &owner, nullptr, TFormFile::kSave, dir.path());
    form.Activate();
    form.findChild<QLineEdit*>("EditName")->setText("a");
    form.findChild<QPushButton*>("ButtonOk")->click();
    EXPECT_EQ(LastMessage(), kSaveFailed + "The file is read-only and was not changed.");
    EXPECT_EQ(Read(Path("Configurazioni/a.vap")), old);
}

TEST_F(FileFailures, CausesHaveItalianTextsToo)
{
    dictionary->SelectLanguage(0);
    WindowTexts texts(dictionary.get());
    EXPECT_EQ(FileFailureMessage(texts, "X", FileError::NotConfiguration),
              QString::fromUtf8("X\nIl file non è un file di configurazione valido."));
    EXPECT_EQ(FileFailureMessage(texts, "X", FileError::PathTooLong),
              QStringLiteral("X\nIl percorso del file supera il limite di %1 caratteri.").arg(kPathMax));
    EXPECT_EQ(FileFailureMessage(texts, "X", FileError::Other), "X");
    // Every cause has its own text in both languages.
    for (int language : {0, 1}) {
        dictionary->SelectLanguage(language);
        WindowTexts inLanguage(dictionary.get());
        QStringList seen;
        for (FileError e : {FileError::NotFound, FileError::IsFolder, FileError::PathTooLong, FileError::NameTooLong,
                            FileError::NotConfiguration, FileError::ReadOnly, FileError::Permission,
                            FileError::DiskFull, FileError::TempMissing, FileError::TempFull}) {
            const QString text = FileErrorText(inLanguage, e);
            EXPECT_FALSE(text.isEmpty());
            EXPECT_FALSE(seen.contains(text)) << qPrintable(text);
            seen.append(text);
        }
    }
}

} // namespace
