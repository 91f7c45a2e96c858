// The configuration file browser in both modes, with files in a temporary
// main folder and the simulated unit.
#include "FilesFixture.h"
#include "app/TFormMain.h"
#include "services/platform/FilePaths.h"
#include "files/TFormFile.h"
#include "files/TFormGestioneFile.h"
#include "files/TFormSaveOption.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ParamIds.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <cstring>

using namespace vapora;
using namespace vapora::test;

namespace {

class Browser : public FilesTest {
protected:
    TDataModuleMur dataModule{dialogs}; // not opened: built-in texts, and the official mark
    std::unique_ptr<TFormFile> form;

    void SetUp() override
    {
        FilesTest::SetUp();
        ctx.dictionary = &dataModule;
    }

    TFormFile& Open(int mode, bool* found = nullptr, QWidget* parent = nullptr)
    {
        form = std::make_unique<TFormFile>(ctx, parent != nullptr ? parent : &owner, found, mode, dir.path());
        form->Activate();
        return *form;
    }
    template <class T>
    T* Find(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* Name() const { return Find<QLineEdit>("EditName"); }
    QStringList Listed() const
    {
        QStringList names;
        auto* list = Find<QTreeWidget>("ListFile");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            names.append(list->topLevelItem(i)->text(0));
        return names;
    }
    bool Official(int row) const
    {
        const QIcon icon = Find<QTreeWidget>("ListFile")->topLevelItem(row)->icon(0);
        return icon.pixmap(16, 16).toImage().pixelColor(8, 8).alpha() > 0;
    }
    void Ok() { Find<QPushButton>("ButtonOk")->click(); }
};

TEST_F(Browser, ListsOnlyTheFilesOfTheRecordsFuelAndMarksTheOfficialOnes)
{
    ASSERT_TRUE(car->SetStatusFlag(ConfCar::kMethane, true));
    WriteConfig("Configurazioni/Metano/M1.vap", true, true);
    WriteConfig("Configurazioni/Metano/m2.vap", false, true);
    WriteConfig("Configurazioni/Metano/lpg.vap", true, false); // an LPG file copied into the methane folder
    WriteConfig("Configurazioni/other.vap", true, true);
    bool found = false;
    Open(TFormFile::kLoad, &found);

    EXPECT_TRUE(found);
    EXPECT_EQ(form->FileFolder(), QDir(Path("Configurazioni/Metano")).path());
    EXPECT_EQ(Listed(), QStringList({"M1", "m2"}));
    EXPECT_TRUE(Official(0));
    EXPECT_FALSE(Official(1));
    EXPECT_EQ(Name()->text(), "M1.vap"); // the first file is chosen
}

TEST_F(Browser, LoadModeTellsWhetherThereIsAnythingToLoad)
{
    bool found = true;
    Open(TFormFile::kLoad, &found);
    EXPECT_FALSE(found);
    EXPECT_TRUE(QFileInfo(Path("Configurazioni")).isDir()); // created for the next time
    form->ButtonOkClick();                                   // an empty list: OK does nothing
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(Browser, LoadModeShowsTheChosenFilesVehicleDataReadOnly)
{
    WriteConfig("Configurazioni/a.vap", true, false, 40, "DescrizAuto=Utilitaria 1.2\r\nPotenza=7550\r\nCentCubici=1242\r\n");
    Open(TFormFile::kLoad);
    EXPECT_EQ(Find<QLineEdit>("EditAuto")->text(), "Utilitaria 1.2");
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>("EditPotenza")->value(), 75.5);
    EXPECT_EQ(Find<QSpinBox>("EditCc")->value(), 1242);
    EXPECT_TRUE(Find<QLineEdit>("EditAuto")->isReadOnly());
    EXPECT_TRUE(Find<QSpinBox>("EditCc")->isReadOnly());
    EXPECT_FALSE(Name()->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("CheckUfficiale")->isHidden());
}

TEST_F(Browser, LoadWhileConnectedWritesTheUnitAndCloses)
{
    WriteConfig("Configurazioni/a.vap", true, false, 66);
    ConnectUnit();
    Open(TFormFile::kLoad);
    Ok();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(car->RifLambda, 66);
    EXPECT_EQ(unit->StoredElement(kRifLambda), 66);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Browser, MissingFileIsReportedAndTheBrowserStaysOpen)
{
    WriteConfig("Configurazioni/a.vap", true, false, 66);
    Open(TFormFile::kLoad);
    QFile::remove(Path("Configurazioni/a.vap"));
    const int before = car->RifLambda;
    Ok();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "ATTENZIONE: problemi nell'apertura del file.");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].title, form->windowTitle());
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_EQ(car->RifLambda, before);
}

TEST_F(Browser, UnsavedChangesAnsweredYesAreSavedThroughTheMainWindowBeforeTheLoad)
{
    WriteConfig("Configurazioni/a.vap", true, false, 66);
    car->RifLambda = 55;
    car->Modified = true;
    TFormMain main(ctx); // its save command answers the state message
    TFormGestioneFile management(ctx, &main, dir.path());
    dialogs.answers = {MsgResult::Yes};
    dialogs.fileNames = {Path("Configurazioni/before.vap")};
    dialogs.windows.push_back([](QDialog* options) { return options->objectName() == "FormSaveOption"
                                                                ? int(QDialog::Accepted)
                                                                : int(QDialog::Rejected); });
    Open(TFormFile::kLoad, nullptr, &management);
    Ok();

    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages[0].text, "Salvare i dati in memoria in un file?");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNoCancel);
    ConfCar saved("saved.mur", nullptr);
    ASSERT_TRUE(saved.LoadFromFile(LocalFilePath(Path("Configurazioni/before.vap")), 0));
    EXPECT_EQ(saved.RifLambda, 55); // saved before the load replaced it
    EXPECT_EQ(car->RifLambda, 66);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    form.reset(); // before the window that owns it
}

TEST_F(Browser, UnsavedChangesAnsweredCancelKeepThemAndLoadNothing)
{
    WriteConfig("Configurazioni/a.vap", true, false, 66);
    car->RifLambda = 55;
    car->Modified = true;
    dialogs.answers = {MsgResult::Cancel};
    Open(TFormFile::kLoad);
    Ok();
    EXPECT_EQ(car->RifLambda, 55);
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(Browser, SavedNameGetsTheExtensionAndTheConfigurationNameKeepsIt)
{
    Open(TFormFile::kSave);
    Name()->setText("NUOVA");
    Ok();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(Path("Configurazioni/NUOVA.vap")).isFile());
    EXPECT_EQ(car->GetConfigName(), "NUOVA.vap");
}

TEST_F(Browser, ExtensionTypedInCapitalsIsNotAddedTwice)
{
    Open(TFormFile::kSave);
    Name()->setText("FILE.VAP");
    Ok();
    EXPECT_TRUE(QFileInfo(Path("Configurazioni/FILE.VAP")).isFile());
    EXPECT_EQ(QDir(Path("Configurazioni")).entryList(QDir::Files), QStringList({"FILE.VAP"}));
}

TEST_F(Browser, SaveModeStartsFromTheRecordsNameAndVehicleData)
{
    car->SetConfigName("a.b/c,d;e");
    car->SetVehicleText(1, "Berlina");
    car->SetVehicleNumber(6, 1368);
    car->SetPower(70.25f);
    Open(TFormFile::kSave);
    EXPECT_EQ(Name()->text(), "abcde");
    EXPECT_EQ(Find<QLineEdit>("EditAuto")->text(), "Berlina");
    EXPECT_EQ(Find<QSpinBox>("EditCc")->value(), 1368);
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>("EditPotenza")->value(), 70.25);
    EXPECT_FALSE(Find<QLineEdit>("EditAuto")->isReadOnly());
}

TEST_F(Browser, SaveOptionsSayWhichDisplacementDigitTheyRefuse)
{
    TFormSaveOption options(ctx.dictionary);
    auto* box = options.findChild<QSpinBox*>(QStringLiteral("EditCilindrata"));
    ASSERT_NE(box, nullptr);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("1600"));
    EXPECT_EQ(options.Displacement(), 1600);
    EXPECT_TRUE(options.LastRefusal().isEmpty());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("123456"));
    EXPECT_EQ(options.Displacement(), 1234);
    EXPECT_TRUE(options.LastRefusal().contains(QStringLiteral("0 a 10000"))) << options.LastRefusal().toStdString();
}

TEST_F(Browser, DigitsAnEntryCannotHoldAreRefusedWithAWord)
{
    Open(TFormFile::kSave);
    const struct {
        const char* name;
        const char* typed;
        int kept;
        const char* range;
    } cases[] = {
        {"EditAnno", "99999", 999, "0 a 2100"},
        {"EditValvole", "500", 50, "0 a 100"},
        {"EditCc", "123456", 12345, nullptr}, // 12345 is past 10000 too: refused at the 5th digit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* box = Find<QSpinBox>(c.name);
        ASSERT_NE(box, nullptr);
        dialogs.messages.clear();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        if (c.range == nullptr) {
            EXPECT_EQ(box->value(), 1234);
            EXPECT_EQ(dialogs.messages.size(), 2u);
            continue;
        }
        EXPECT_EQ(box->value(), c.kept);
        // One word per refused digit.
        ASSERT_EQ(dialogs.messages.size(), std::strlen(c.typed) - QString::number(c.kept).size());
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromLatin1(c.range)))
            << dialogs.messages[0].text.toStdString();
    }

    // What fits goes in without a word.
    dialogs.messages.clear();
    auto* year = Find<QSpinBox>("EditAnno");
    year->selectAll();
    QTest::keyClicks(year, QStringLiteral("2003"));
    EXPECT_EQ(year->value(), 2003);
    auto* power = Find<QDoubleSpinBox>("EditPotenza");
    power->selectAll();
    QTest::keyClicks(power, QStringLiteral("99"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Browser, MapOnlyKeepsTheDisplacementEditableAndSendsIt)
{
    ConnectUnit();
    Open(TFormFile::kSave);
    Find<QRadioButton>("RadioSoloMappa")->click();
    EXPECT_TRUE(Find<QLineEdit>("EditAuto")->isReadOnly());
    EXPECT_TRUE(Find<QSpinBox>("EditAnno")->isReadOnly());
    EXPECT_FALSE(Find<QSpinBox>("EditCc")->isReadOnly());
    Find<QSpinBox>("EditCc")->setValue(1300);
    Name()->setText("MAPPA");
    Ok();

    EXPECT_EQ(unit->StoredElement(ids::kCilindrata), 1300 / 50);
    EXPECT_EQ(car->GetVehicleNumber(6), 1300);
    ConfCar saved("saved.mur", nullptr);
    ASSERT_TRUE(saved.LoadFromFile(LocalFilePath(Path("Configurazioni/MAPPA.vap")), 0));
    EXPECT_EQ(saved.GetParam(ids::kCilindrata), 1300);

    Find<QRadioButton>("RadioResetCentralina")->click();
    EXPECT_TRUE(Find<QSpinBox>("EditCc")->isReadOnly());
    Find<QRadioButton>("RadioFileCompleto")->click();
    EXPECT_FALSE(Find<QLineEdit>("EditAuto")->isReadOnly());
}

TEST_F(Browser, OverwriteNeedsAYes)
{
    Write(Path("Configurazioni/OLD.vap"), "kept");
    Open(TFormFile::kSave);
    Name()->setText("OLD");
    Ok(); // the default answer is No
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8("Il file esiste già. Vuoi sovrascriverlo?"));
    EXPECT_EQ(dialogs.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(Read(Path("Configurazioni/OLD.vap")), "kept");
    EXPECT_NE(form->result(), QDialog::Accepted);

    dialogs.answers = {MsgResult::Yes};
    Ok();
    EXPECT_NE(Read(Path("Configurazioni/OLD.vap")), "kept");
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(Browser, TypedNamesFollowTheOfficialBox)
{
    Open(TFormFile::kSave);
    Name()->clear();
    QTest::keyClicks(Name(), "ab");
    EXPECT_EQ(Name()->text(), "AB");
    Find<QCheckBox>("CheckUfficiale")->click();
    QTest::keyClicks(Name(), "C");
    EXPECT_EQ(Name()->text(), "abc");
    QTest::keyClicks(Name(), "/x");
    EXPECT_EQ(Name()->text(), "abcx"); // no folders in a name
}

TEST_F(Browser, WorksInTheFileFolderAndGoesBackToTheMainFolderOnClose)
{
    Open(TFormFile::kSave);
    EXPECT_EQ(QDir::currentPath(), QDir(Path("Configurazioni")).canonicalPath());
    form->reject();
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
}

} // namespace
