#include "services/settings/GlobalData.h"

#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace vapora;
using vapora::test::ScriptedDialogs;

namespace {

const QString kKey = QStringLiteral("Murazzoni\\Vapora");
const QString kCurrentDir = QStringLiteral("/home/officina/vapora");
const QString kResetMessage = QString::fromUtf8(
    "Il programma non è in grado di rilevare alcune impostazioni essenziali.\n"
    "Queste verranno ora resettate: controllarne la correttezza.\n"
    "In caso di ulteriori problemi ripetere l'installazione del software.");

using Values = std::map<QString, QVariant>;

class GlobalDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_.path());
    }

    static std::unique_ptr<QSettings> Store()
    {
        auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Murazzoni", "Vapora");
        s->setFallbacksEnabled(false);
        return s;
    }
    static void Seed(const Values& values)
    {
        auto s = Store();
        for (const auto& [name, value] : values)
            s->setValue(name, value);
    }
    static std::optional<QVariant> Stored(const QString& name)
    {
        auto s = Store();
        if (!s->contains(name))
            return std::nullopt;
        return s->value(name);
    }
    std::unique_ptr<GlobalData> Make() { return std::make_unique<GlobalData>(kKey, dialogs_, kCurrentDir); }

    QTemporaryDir home_;
    ScriptedDialogs dialogs_;
};

const Values kComplete = {{"ComPort", 3},         {"MainPath", "C:\\Vapora"},   {"Language", 1},
                          {"LastWarning", 739000}, {"CoeffPressione", 20}, {"CoeffPressioneCng", 26}};

TEST_F(GlobalDataTest, FirstStartWarnsOnceUsesDefaultsAndWritesAllSix)
{
    {
        auto data = Make();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].title, "Vapora");
        EXPECT_EQ(dialogs_.messages[0].text, kResetMessage);
        EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(data->GetValue(GlobalData::kComPort), 1);
        EXPECT_EQ(data->GetValue(GlobalData::kLanguage), 0);
        EXPECT_EQ(data->GetValue(GlobalData::kLastWarning), 0);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressione), 18);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressioneCng), 24);
        EXPECT_EQ(data->MainPath(), kCurrentDir);
        EXPECT_EQ(data->KeyPath(), "\\Software\\Murazzoni\\Vapora");
    }
    EXPECT_TRUE(QFile::exists(home_.filePath("Murazzoni/Vapora.conf")));
    const Values expected = {{"ComPort", 1},     {"MainPath", kCurrentDir},  {"Language", 0},
                             {"LastWarning", 0}, {"CoeffPressione", 18}, {"CoeffPressioneCng", 24}};
    for (const auto& [name, value] : expected) {
        const auto stored = Stored(name);
        ASSERT_TRUE(stored.has_value()) << name.toStdString();
        EXPECT_EQ(stored->toString(), value.toString()) << name.toStdString();
    }

    dialogs_.messages.clear();
    Make();
    EXPECT_TRUE(dialogs_.messages.empty()) << "the next start is silent";
}

TEST_F(GlobalDataTest, CompleteStoreIsReadSilently)
{
    Seed(kComplete);
    auto data = Make();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(data->GetValue(GlobalData::kComPort), 3);
    EXPECT_EQ(data->MainPath(), "C:\\Vapora");
    EXPECT_EQ(data->GetValue(GlobalData::kLanguage), 1);
    EXPECT_EQ(data->GetValue(GlobalData::kLastWarning), 739000);
    EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressione), 20);
    EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressioneCng), 26);
}

// A missing or non-integer essential value stops the reading there: what was
// read stays, the rest (the last three included) keeps its default.
struct BrokenEssential {
    const char* name;
    Values store;
    int comPort;
    QString mainPath;
    int language;
};

TEST_F(GlobalDataTest, BrokenEssentialValueStopsReadingWithOneMessage)
{
    const Values tail = {{"LastWarning", 5}, {"CoeffPressione", 30}, {"CoeffPressioneCng", 40}};
    auto with = [&](Values v) {
        v.insert(tail.begin(), tail.end());
        return v;
    };
    const BrokenEssential cases[] = {
        {"only ComPort", {{"ComPort", 4}}, 4, kCurrentDir, 0},
        {"ComPort not a number", with({{"ComPort", "COM2"}, {"MainPath", "/x"}, {"Language", 1}}), 1, kCurrentDir, 0},
        {"Language missing", with({{"ComPort", 2}, {"MainPath", "/x"}}), 2, "/x", 0},
        {"Language not a number", with({{"ComPort", 2}, {"MainPath", "/x"}, {"Language", "1.5"}}), 2, "/x", 0},
    };
    for (const BrokenEssential& c : cases) {
        SCOPED_TRACE(c.name);
        Store()->clear();
        Seed(c.store);
        dialogs_.messages.clear();
        auto data = Make();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text, kResetMessage);
        EXPECT_EQ(data->GetValue(GlobalData::kComPort), c.comPort);
        EXPECT_EQ(data->MainPath(), c.mainPath);
        EXPECT_EQ(data->GetValue(GlobalData::kLanguage), c.language);
        EXPECT_EQ(data->GetValue(GlobalData::kLastWarning), 0);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressione), 18);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressioneCng), 24);
    }
}

TEST_F(GlobalDataTest, EmptyMainPathStaysEmptyAndIsWrittenBackEmpty)
{
    Values v = kComplete;
    v["MainPath"] = QString();
    Seed(v);
    {
        auto data = Make();
        EXPECT_TRUE(dialogs_.messages.empty());
        EXPECT_TRUE(data->MainPath().isEmpty());
    }
    const auto stored = Stored("MainPath");
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(stored->toString().isEmpty());
}

TEST_F(GlobalDataTest, BrokenOptionalValuesAreDefaultedSilentlyAndCorrectedAtExit)
{
    Values v = kComplete;
    v["LastWarning"] = "ieri";
    v["CoeffPressione"] = "1,8";
    v.erase("CoeffPressioneCng");
    Seed(v);
    {
        auto data = Make();
        EXPECT_TRUE(dialogs_.messages.empty());
        EXPECT_EQ(data->GetValue(GlobalData::kLastWarning), 0);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressione), 18);
        EXPECT_EQ(data->GetValue(GlobalData::kCoeffPressioneCng), 24);
        EXPECT_EQ(data->GetValue(GlobalData::kLanguage), 1) << "the essentials were read";
    }
    EXPECT_EQ(Stored("LastWarning")->toInt(), 0);
    EXPECT_EQ(Stored("CoeffPressione")->toInt(), 18);
    EXPECT_EQ(Stored("CoeffPressioneCng")->toInt(), 24);
}

TEST_F(GlobalDataTest, OnlyTheFiveIdentifiersCanBeReadAndSet)
{
    Seed(kComplete);
    auto data = Make();
    for (int id : {GlobalData::kComPort, GlobalData::kLanguage, GlobalData::kLastWarning, GlobalData::kCoeffPressione,
                   GlobalData::kCoeffPressioneCng}) {
        EXPECT_TRUE(data->SetValue(id, 100 + id)) << id;
        EXPECT_EQ(data->GetValue(id), 100 + id) << id;
    }
    for (int id : {-1, 0, 9, 12, 13, 14, 15, 19, 1000}) {
        EXPECT_EQ(data->GetValue(id), 0) << id;
        EXPECT_FALSE(data->SetValue(id, 7)) << id;
    }
    for (int id : {10, 11, 16, 17, 18})
        EXPECT_EQ(data->GetValue(id), 100 + id) << "unknown identifiers changed nothing";
}

TEST_F(GlobalDataTest, ChangedValuesAreStoredAtExitAndReadNextStart)
{
    Seed(kComplete);
    {
        auto data = Make();
        data->SetValue(GlobalData::kLanguage, 0);
        data->SetValue(GlobalData::kLastWarning, 739010);
        EXPECT_EQ(Stored("Language")->toInt(), 1) << "nothing is written before exit";
    }
    EXPECT_EQ(Stored("Language")->toInt(), 0);
    auto next = Make();
    EXPECT_EQ(next->GetValue(GlobalData::kLanguage), 0);
    EXPECT_EQ(next->GetValue(GlobalData::kLastWarning), 739010);
    EXPECT_EQ(next->GetValue(GlobalData::kComPort), 3) << "untouched values survive";
}

TEST_F(GlobalDataTest, MainPathIsCutTo149Characters)
{
    const QString longPath = "/" + QString(200, u'p');
    Values v = kComplete;
    v["MainPath"] = longPath;
    Seed(v);
    {
        auto data = Make();
        EXPECT_EQ(data->MainPath(), longPath.left(149));
    }
    EXPECT_EQ(Stored("MainPath")->toString(), longPath.left(149));
    GlobalData fresh(kKey, dialogs_, longPath);
    EXPECT_EQ(fresh.MainPath().size(), 149) << "a long current directory is cut too";
}

TEST_F(GlobalDataTest, ResetFileIsFoundWhateverTheFuelWordsCase)
{
    QTemporaryDir main;
    ASSERT_TRUE(QDir(main.path()).mkpath("Calibrazione"));
    QFile lpg(QDir(main.path()).filePath("Calibrazione/ResetLpg.vap"));
    ASSERT_TRUE(lpg.open(QIODevice::WriteOnly));
    lpg.close();
    for (const char* word : {"Lpg", "lpg", "LPG"})
        EXPECT_EQ(GlobalData::ResetFile(main.path(), word), lpg.fileName()) << word;
    EXPECT_EQ(GlobalData::ResetFile(main.path(), "cng"), QDir(main.path()).filePath("Calibrazione/Resetcng.vap"))
        << "a missing file keeps the asked spelling";
    EXPECT_EQ(GlobalData::MethaneFolder(main.path()), QDir(main.path()).filePath("Configurazioni/Metano"));
}

} // namespace
