// Restore points as the program keeps them: one for each operation that reads or
// rewrites the unit, with its reason; a question when one cannot be kept, whose
// default leaves the unit as it was; and the window that lists, compares,
// restores, opens and deletes them, in both languages.
#include "app/Connection.h"
#include "app/FileCommands.h"
#include "app/Firmware.h"
#include "app/TFormConfrontoRipristino.h"
#include "app/TFormPuntiRipristino.h"
#include "app/TFormScarica.h"
#include "app/TFormSceltaCarb.h"
#include "calib/forms/TFormCalibrazione.h"
#include "files/FilesFixture.h"
#include "files/TFormFile.h"
#include "linklib/SRecordFixture.h"
#include "model/ParamCatalogue.h"
#include "model/ParamIds.h"
#include "model/RestorePoints.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/platform/FilePaths.h"
#include "services/platform/OpenInEditor.h"
#include "support/ShippedDictionary.h"
#include "widgets/RestorePointGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace vapora;
using namespace vapora::test;

namespace {

using restore::Reason;

class ReadOnlyLink final : public SerialLink {
public:
    explicit ReadOnlyLink(SerialLink& inner) : inner_(inner) {}
    void Init(int32_t) override {}
    void Configure(int32_t) override {}
    void AttachScreen(LinkScreen*) override {}
    int32_t IsConnected() override { return inner_.IsConnected(); }
    void Connect() override {}
    void Disconnect() override {}
    uint8_t GetStatusFlags() override { return inner_.GetStatusFlags(); }
    void EndProgramming() override {}
    void BeginProgramming() override {}
    bool ReadParam(int32_t id, int32_t* d) override { return inner_.ReadParam(id, d); }
    bool ReadParamRow(int32_t id, int32_t* d, int32_t r) override { return inner_.ReadParamRow(id, d, r); }
    bool ReadLive(int32_t b, uint8_t* buf, int32_t* n) override { return inner_.ReadLive(b, buf, n); }
    bool WriteParam(int32_t, const int32_t*) override { return false; }
    bool WriteValue(int32_t, int32_t) override { return false; }
    bool WriteElement(int32_t, int32_t, int32_t) override { return false; }
    bool WriteCell(int32_t, int32_t, int32_t, int32_t) override { return false; }
    bool WriteParamRow(int32_t, const int32_t*, int32_t) override { return false; }
    bool Identify(uint8_t* b) override { return inner_.Identify(b); }
    bool OpenLink() override { return true; }
    int32_t ProgramFirmware(const char*, int32_t, int32_t, int32_t) override { return 1; }

private:
    SerialLink& inner_;
};

struct NoEditor final : TextEditorLauncher {
    bool Open(const QString&) override { return true; }
};

class RestorePoints : public FilesTest {
protected:
    std::unique_ptr<TDataModuleMur> dictionary;
    NoEditor editor;
    std::unique_ptr<FileCommands> commands;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<TFormScarica> scarica;

    void SetUp() override
    {
        FilesTest::SetUp();
        QString error;
        ASSERT_TRUE(MakeDictionary(ShippedDictionarySources(QDir(QStringLiteral(VAPORA_DATA_DIR))),
                                   Path("DizVapora.dbf"), &error))
            << error.toStdString();
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ASSERT_TRUE(dictionary->Open(dir.path(), QStringLiteral("DizVapora.dbf")));
        ctx.dictionary = dictionary.get();
        commands = std::make_unique<FileCommands>(ctx, panels, &owner, editor, [this] {
            return ConfigFileDialogs{Path("Configurazioni"), Path("Configurazioni"), "Open", "Save"};
        });
        connection = std::make_unique<Connection>(ctx, panels, &owner);
        scarica = std::make_unique<TFormScarica>(ctx);
        scarica->SetFileFolder(Path("Programmazione"));
        Write(Path("Programmazione/fw.s19"), QByteArray::fromStdString(sernox::test::GoodFirmware(6)));
        WriteConfig("Calibrazione/ResetLpg.vap", true, false, 71);
        WriteConfig("Calibrazione/ResetCng.vap", true, true, 72);
        WriteConfig("Configurazioni/beta.vap", true, false, 93);
    }

    void Language(int index) { dictionary->SelectLanguage(index); }
    QString Text(const char* key) const
    {
        QString text;
        dictionary->Lookup(QString::fromLatin1(key), text);
        return text;
    }

    restore::Store Store() const { return restore::Store(FsPath(dir.path())); }
    std::vector<restore::Point> Points() const { return Store().List(); }

    // Connects and reads as the Connect command does; the fuel window is left as it is.
    void ConnectAndRead()
    {
        dialogs.windows.push_back([](QDialog*) { return int(QDialog::Rejected); });
        connection->Connect(true, true);
        ASSERT_NE(link->IsConnected(), 0);
        ASSERT_TRUE(car->LastTransfer().Complete());
    }

    // What the unit holds, read into a record of its own through a link that only
    // reads: a new record sends its default flags, which would change the unit.
    std::unique_ptr<ConfCar> UnitConfiguration()
    {
        ReadOnlyLink reader(*link);
        auto read = std::make_unique<ConfCar>(std::string(), &reader, clock);
        EXPECT_TRUE(read->ReadAll());
        return read;
    }

    static void ExpectSame(const ConfCar& expected, ConfCar& actual)
    {
        const auto differences = params::CompareRecords(expected, actual);
        for (const auto& d : differences)
            ADD_FAILURE() << d.key << ": " << d.textA << " != " << d.textB;
        EXPECT_EQ(const_cast<ConfCar&>(expected).GetConfigName(), actual.GetConfigName());
    }

    // Makes the restore points' folder impossible to make: a file holds its name.
    void BlockStorico()
    {
        QDir(Path("Storico")).removeRecursively();
        Write(Path("Storico"), "not a folder");
    }

    void LoadFromBrowser(const QString& name)
    {
        TFormFile browser(ctx, &owner, nullptr, TFormFile::kLoad, dir.path());
        browser.Activate();
        auto* list = browser.findChild<QTreeWidget*>("ListFile");
        const auto found = list->findItems(QFileInfo(name).completeBaseName(), Qt::MatchFixedString);
        ASSERT_FALSE(found.isEmpty());
        list->setCurrentItem(found.first());
        browser.ButtonOkClick();
    }

    void ChooseMethane()
    {
        dialogs.windows.push_back([](QDialog* d) {
            d->findChild<QComboBox*>("ComboCarburante")->setCurrentIndex(TFormSceltaCarb::kMethane);
            return int(QDialog::Accepted);
        });
        dialogs.answers.push_back(MsgResult::Yes); // the fuel change's own question
        connection->ChooseFuel();
    }

    void Program()
    {
        dialogs.fileNames.push_back(Path("Programmazione/fw.s19"));
        dialogs.windows.push_back([](QDialog*) { return int(QDialog::Accepted); });
        dialogs.windows.push_back([](QDialog*) { return int(QDialog::Rejected); }); // fuel after the reconnect
        ProgramFirmware(ctx, *scarica, *connection, &owner);
    }
};

// Every operation in a row, as a workshop day goes: each adds exactly one point with
// its reason, of what the unit held before it, and a read that finds nothing new adds none.
TEST_F(RestorePoints, EachOperationKeepsExactlyOnePointWithItsReason)
{
    Language(0);
    struct Step {
        const char* what;
        std::function<void()> run;
        std::vector<Reason> added; // newest first
    };
    const std::vector<Step> steps = {
        {"connect", [this] { ConnectAndRead(); }, {Reason::Read}},
        {"read again, nothing new", [this] { connection->ReadAgain(); }, {}},
        {"connect again, nothing new", [this] { ConnectAndRead(); }, {}},
        {"main window open", [this] {
             dialogs.fileNames.push_back(Path("Configurazioni/beta.vap"));
             commands->Open();
         }, {Reason::FileLoad}},
        {"read again after the load", [this] { connection->ReadAgain(); }, {Reason::Read}},
        {"file browser", [this] { LoadFromBrowser("beta.vap"); }, {Reason::FileLoad}},
        {"reset", [this] {
             dialogs.answers = {MsgResult::Yes};
             connection->ResetUnit();
         }, {Reason::Reset}},
        {"fuel change", [this] { ChooseMethane(); }, {Reason::FuelChange}},
        {"calibration: a new displacement", [this] {
             TFormCalibrazione w(ctx, false, Path("Calibrazione"));
             const int now = static_cast<int>(car->GetParam(ids::kCilindrata));
             w.findChild<QLineEdit*>("EditCilindrata")->setText(QString::number(now == 2000 ? 1600 : 2000));
             w.EditCilindrataEnter();
             w.done(QDialog::Rejected);
         }, {Reason::Calibration}},
        {"programming", [this] { Program(); }, {Reason::AfterProgramming, Reason::BeforeProgramming}},
    };
    size_t before = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.run();
        const auto points = Points();
        ASSERT_EQ(points.size(), before + step.added.size());
        for (size_t i = 0; i < step.added.size(); ++i)
            EXPECT_EQ(points[i].reason, step.added[i]);
        before = points.size();
        for (const ShownMessage& m : dialogs.messages)
            EXPECT_FALSE(m.text.contains(Text("MessRipristinoProseguire"))) << m.text.toStdString();
        dialogs.messages.clear();
    }
    // The fuel change's point holds the LPG configuration the reset left, not the methane one.
    const auto points = Points();
    const auto fuel = std::find_if(points.begin(), points.end(),
                                   [](const restore::Point& p) { return p.reason == Reason::FuelChange; });
    ASSERT_NE(fuel, points.end());
    EXPECT_FALSE(fuel->methane);
    ConfCar kept(std::string(), nullptr);
    ASSERT_TRUE(kept.LoadFromFile(fuel->file.string(), 0));
    EXPECT_EQ(kept.RifLambda, 71);
}

// A unit whose configuration cannot be read is programmed all the same, without a
// point, and the outcome says so.
TEST_F(RestorePoints, AUnitThatDoesNotAnswerIsProgrammedWithoutAPointAndTold)
{
    Language(1);
    Program();
    ASSERT_NE(unit->Firmware(), nullptr);
    bool told = false;
    for (const ShownMessage& m : dialogs.messages)
        told = told || m.text.contains(Text("MessProgSenzaRipristino"));
    EXPECT_TRUE(told);
    // The read after the programming is the first of this unit.
    const auto points = Points();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].reason, Reason::AfterProgramming);
}

// With no room for a point, every operation that would overwrite the unit says why and
// asks; "no", the default, leaves the unit exactly as it was, and "yes" goes on.
TEST_F(RestorePoints, APointThatCannotBeKeptAsksAndNoLeavesTheUnitUntouched)
{
    for (int language : {0, 1}) {
        Language(language);
        SCOPED_TRACE(language);
        QFile::remove(Path("Storico"));
        QDir(Path("Storico")).removeRecursively();
        ConnectAndRead();
        BlockStorico();
        const std::unique_ptr<ConfCar> before = UnitConfiguration();
        const int writes = unit->WriteCount();

        const std::vector<std::pair<const char*, std::function<void()>>> operations = {
            {"main window open", [this] {
                 dialogs.fileNames.push_back(Path("Configurazioni/beta.vap"));
                 commands->Open();
             }},
            {"file browser", [this] { LoadFromBrowser("beta.vap"); }},
            {"reset", [this] {
                 dialogs.answers = {MsgResult::Yes}; // the reset's own question
                 connection->ResetUnit();
             }},
            {"fuel change", [this] {
                 dialogs.windows.push_back([](QDialog* d) {
                     d->findChild<QComboBox*>("ComboCarburante")->setCurrentIndex(TFormSceltaCarb::kMethane);
                     return int(QDialog::Accepted);
                 });
                 dialogs.answers = {MsgResult::Yes};
                 connection->ChooseFuel();
             }},
            {"programming", [this] {
                 dialogs.fileNames.push_back(Path("Programmazione/fw.s19"));
                 dialogs.windows.push_back([](QDialog*) { return int(QDialog::Accepted); });
                 ProgramFirmware(ctx, *scarica, *connection, &owner);
             }},
        };
        for (const auto& [what, run] : operations) {
            SCOPED_TRACE(what);
            dialogs.messages.clear();
            run();
            ASSERT_FALSE(dialogs.messages.empty());
            const ShownMessage& asked = dialogs.messages.back();
            EXPECT_TRUE(asked.text.startsWith(Text("MessRipristinoNonSalvato").arg(QDir::toNativeSeparators(Path("Storico")))))
                << asked.text.toStdString();
            EXPECT_TRUE(asked.text.endsWith(Text("MessRipristinoProseguire")));
            EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
            EXPECT_EQ(asked.defaultButton, MsgResult::No);
            // Programming reads the unit again first, and a read sends back the status word it read.
            if (std::string_view(what) != "programming") {
                EXPECT_EQ(unit->WriteCount(), writes);
            }
            EXPECT_EQ(unit->Firmware(), nullptr);
            ExpectSame(*before, *UnitConfiguration());
            EXPECT_EQ(car->RifLambda, before->RifLambda);
        }

        // Going on without a copy is the user's choice.
        dialogs.messages.clear();
        dialogs.answers = {MsgResult::Yes};
        dialogs.fileNames.push_back(Path("Configurazioni/beta.vap"));
        commands->Open();
        EXPECT_EQ(UnitConfiguration()->RifLambda, 93);
        QFile::remove(Path("Storico"));
    }
}

class RestoreWindow : public RestorePoints {
protected:
    std::unique_ptr<TFormPuntiRipristino> OpenWindow()
    {
        TFormPuntiRipristino::Actions actions;
        actions.restore = [this](const restore::Point& p) {
            return commands->LoadFile(QtPath(p.file), Reason::BeforeRestore, p.key.configName);
        };
        actions.open = [this](const restore::Point& p) {
            return commands->LoadFile(QtPath(p.file), Reason::FileLoad, p.key.configName);
        };
        return std::make_unique<TFormPuntiRipristino>(ctx, actions, &owner);
    }
    template <class T>
    static T* Find(QWidget* w, const char* name)
    {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

// Read a car, load another file over it, then restore the first read from the window:
// the unit reads back equal in everything a file keeps, its configuration name included.
TEST_F(RestoreWindow, ListsComparesRestoresOpensAndDeletesInBothLanguages)
{
    for (int language : {0, 1}) {
        Language(language);
        SCOPED_TRACE(language);
        if (link->IsConnected() == 0)
            ConnectAndRead();
        QDir(Path("Storico")).removeRecursively();
        car->SetConfigName(language == 0 ? "ALFA 147" : "BRAVO");
        car->SetVehicleText(1, "Berlina");
        ASSERT_TRUE(car->SetStatusFlag(ConfCar::kMethane, false));
        connection->ReadAgain();
        const std::unique_ptr<ConfCar> original = UnitConfiguration();
        dialogs.fileNames.push_back(Path("Configurazioni/beta.vap"));
        commands->Open();
        ASSERT_EQ(UnitConfiguration()->RifLambda, 93);
        ASSERT_EQ(Points().size(), 2u);

        auto window = OpenWindow();
        EXPECT_EQ(window->windowTitle(), Text("FinestraPuntiRipristino"));
        EXPECT_EQ(Find<QPushButton>(window.get(), "ButtonRipristina")->text(), Text("ButtonRipristina"));
        // The unit now carries the file's name: its own history is empty until the switch shows all.
        QTreeWidget* list = window->List();
        EXPECT_EQ(list->topLevelItemCount(), 0);
        window->ShowAll()->setChecked(true);
        ASSERT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(TFormPuntiRipristino::kColReason), Text("RipristinoMotivoCaricamento"));
        EXPECT_TRUE(list->topLevelItem(1)->text(TFormPuntiRipristino::kColReason).startsWith(Text("RipristinoMotivoLettura")));
        EXPECT_EQ(list->topLevelItem(1)->text(TFormPuntiRipristino::kColConfig), FromCp1252(original->GetConfigName()));
        EXPECT_EQ(list->topLevelItem(1)->text(TFormPuntiRipristino::kColFuel), Text("LabelGpl"));
        EXPECT_FALSE(Find<QPushButton>(window.get(), "ButtonApri")->isEnabled()); // a unit is connected

        // Compare: the read point beside the record that now holds the file.
        window->Select(1);
        int compared = 0;
        dialogs.windows.push_back([&](QDialog* d) {
            auto* form = qobject_cast<TFormConfrontoRipristino*>(d);
            EXPECT_NE(form, nullptr);
            const auto& diffs = form->Differences();
            const auto lambda = std::find_if(diffs.begin(), diffs.end(),
                                             [](const params::ValueDifference& v) { return v.key == "RifLambda"; });
            EXPECT_NE(lambda, diffs.end());
            if (lambda != diffs.end()) {
                EXPECT_EQ(lambda->rawA, original->RifLambda);
                EXPECT_EQ(lambda->rawB, 93);
            }
            EXPECT_EQ(form->Table()->topLevelItemCount(), static_cast<int>(diffs.size()));
            EXPECT_EQ(d->windowTitle(), Text("FinestraConfrontoRipristino"));
            ++compared;
            return int(QDialog::Rejected);
        });
        window->ButtonConfrontaClick();
        EXPECT_EQ(compared, 1);

        // Restore asks first; "no" changes nothing.
        dialogs.messages.clear();
        window->ButtonRipristinaClick();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].defaultButton, MsgResult::No);
        EXPECT_EQ(UnitConfiguration()->RifLambda, 93);

        window->Select(1);
        dialogs.answers = {MsgResult::Yes};
        window->ButtonRipristinaClick();
        ExpectSame(*original, *UnitConfiguration());
        ExpectSame(*original, *car);
        const auto points = Points();
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[0].reason, Reason::BeforeRestore);
        EXPECT_EQ(list->topLevelItemCount(), 3);

        // Delete asks; "no" keeps the point, "yes" removes it.
        window->Select(0);
        dialogs.answers = {MsgResult::No};
        window->ButtonEliminaClick();
        EXPECT_EQ(Points().size(), 3u);
        window->Select(0);
        dialogs.answers = {MsgResult::Yes};
        window->ButtonEliminaClick();
        EXPECT_EQ(Points().size(), 2u);
        EXPECT_FALSE(QFileInfo::exists(QtPath(points[0].file)));
        EXPECT_EQ(list->topLevelItemCount(), 2);

        // Without a unit a point opens as a file, under the name the unit had.
        link->Disconnect();
        auto offline = OpenWindow();
        EXPECT_TRUE(offline->ShowAll()->isChecked());
        ASSERT_EQ(offline->List()->topLevelItemCount(), 2);
        offline->Select(0); // the file load's point: the read configuration
        ASSERT_TRUE(Find<QPushButton>(offline.get(), "ButtonApri")->isEnabled());
        car->RifLambda = 0;
        offline->ButtonApriClick();
        EXPECT_EQ(offline->result(), QDialog::Accepted);
        ExpectSame(*original, *car);
        EXPECT_EQ(Points().size(), 2u); // nothing to overwrite, no point
    }
}

} // namespace
