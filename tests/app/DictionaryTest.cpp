#include "services/i18n/Cp1252.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/MessageTable.h"

#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace vapora;
using vapora::test::ScriptedDialogs;

namespace {

const QString kTable = QStringLiteral("DizVapora.dbf");
const QStringList kColumns = {"IDENTIF", "ITALIANO", "ENGLISH", "DEUTSCH"};
const QString kForty = QStringLiteral("0123456789ABCDEFGHIJ0123456789abcdefghij");

class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    void Write(const QStringList& columns, const QList<QStringList>& rows)
    {
        QString error;
        ASSERT_TRUE(WriteDictionary(dir_.filePath(kTable), columns, rows, &error)) << error.toStdString();
    }
    void WriteDefault()
    {
        Write(kColumns, {
                            {"MenuLingua", "Italiano", "English", "Deutsch (Deutschland)"},
                            {"LabelConfig", "CONFIGURAZIONE VETTURA", "VEHICLE CONFIGURATION", "FAHRZEUG"},
                            {"MessLunga", kForty, "short", "kurz"},
                            {"FinestraPrincipale", "Vapora Murazzoni", "Vapora Murazzoni EN", "Vapora DE"},
                            {"ActionApri", "&Apri", "&Open", "&Öffnen"},
                        });
    }
    bool Open() { return dict_.Open(dir_.path(), kTable); }

    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    TDataModuleMur dict_{dialogs_};
};

TEST_F(DictionaryTest, OpenBuildsOneRadioItemPerLanguageColumn)
{
    WriteDefault();
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dict_.Available());
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(dict_.ColumnNames(), kColumns);
    EXPECT_EQ(dict_.LanguageCount(), 3);
    EXPECT_EQ(dict_.LanguageIndex(), 0);

    const QList<QAction*> items = dict_.PopupMenuLingue()->actions();
    ASSERT_EQ(items.size(), 3);
    const QStringList texts = {"Italiano", "English", "Deutsch (Deu"}; // cut to 12
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i]->text(), texts[i]);
        EXPECT_EQ(items[i]->objectName(), kColumns[i + 1]);
        EXPECT_EQ(items[i]->data().toInt(), i);
        EXPECT_TRUE(items[i]->isCheckable());
        ASSERT_NE(items[i]->actionGroup(), nullptr);
        EXPECT_TRUE(items[i]->actionGroup()->isExclusive());
    }
    items[2]->trigger();
    items[1]->trigger();
    EXPECT_FALSE(items[2]->isChecked()) << "one language checked at a time";
}

TEST_F(DictionaryTest, LookupCutsToTheMaximumLength)
{
    WriteDefault();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(dict_.BeginLookups());
    const struct {
        int max;
        QString expected;
    } cases[] = {{30, kForty.left(30)}, {0, kForty}, {40, kForty}, {50, kForty}, {1, "0"}};
    for (const auto& c : cases) {
        QString text = "before";
        EXPECT_TRUE(dict_.Lookup("MessLunga", text, c.max)) << c.max;
        EXPECT_EQ(text, c.expected) << c.max;
    }
    dict_.EndLookups();
}

TEST_F(DictionaryTest, LastLanguageIsSelectableAndOutOfRangeIndexesIgnored)
{
    WriteDefault();
    ASSERT_TRUE(Open());
    dict_.SelectLanguage(2);
    EXPECT_EQ(dict_.LanguageIndex(), 2);
    EXPECT_TRUE(dict_.PopupMenuLingue()->actions()[2]->isChecked());
    for (int ignored : {3, 4, -1}) {
        dict_.SelectLanguage(ignored);
        EXPECT_EQ(dict_.LanguageIndex(), 2) << ignored;
    }
    QString text;
    EXPECT_TRUE(dict_.Lookup("LabelConfig", text));
    EXPECT_EQ(text, "FAHRZEUG");
    dict_.SelectLanguage(1);
    EXPECT_TRUE(dict_.Lookup("LabelConfig", text));
    EXPECT_EQ(text, "VEHICLE CONFIGURATION");
}

TEST_F(DictionaryTest, MissingKeysGiveOneMessagePerRun)
{
    WriteDefault();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(dict_.BeginLookups());
    QString text = "built-in";
    EXPECT_FALSE(dict_.Lookup("LabelNonEsiste", text));
    EXPECT_EQ(text, "built-in");
    EXPECT_FALSE(dict_.Lookup("MessNonEsiste", text, 10));
    dict_.EndLookups();

    // A later window: still silent.
    ASSERT_TRUE(dict_.BeginLookups());
    QLabel label("INTATTO");
    label.setObjectName("LabelAncoraAssente");
    EXPECT_FALSE(dict_.LookupControl(&label, 30));
    EXPECT_EQ(label.text(), "INTATTO");
    dict_.EndLookups();

    ASSERT_EQ(dialogs_.messages.size(), 1u);
    // Every miss is still kept, so a check of the windows sees them all.
    EXPECT_EQ(dict_.MissedKeys(), QStringList({"LabelNonEsiste", "MessNonEsiste", "LabelAncoraAssente"}));
    EXPECT_EQ(dialogs_.messages[0].title, "Modulo lingue");
    EXPECT_EQ(dialogs_.messages[0].text, "Impossibile accedere al Database lingue (LabelNonEsiste)");
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Error);
}

TEST_F(DictionaryTest, TextsCutByTheirLimitAndEmptyTextsAreKeptPerLanguage)
{
    Write(kColumns, {{"MenuLingua", "Italiano", "English", "Deutsch"},
                     {"LabelLunga", "Testo italiano lungo", "Short", "Kurz"},
                     {"LabelVuota", "Testo", "", "Text"}});
    ASSERT_TRUE(Open());
    ASSERT_TRUE(dict_.BeginLookups());
    QString text;
    EXPECT_TRUE(dict_.Lookup("LabelLunga", text, 10));
    EXPECT_TRUE(dict_.Lookup("LabelVuota", text, 10));
    dict_.SelectLanguage(1);
    ASSERT_TRUE(dict_.BeginLookups());
    EXPECT_TRUE(dict_.Lookup("LabelLunga", text, 10));
    EXPECT_TRUE(dict_.Lookup("LabelVuota", text, 10));
    EXPECT_EQ(dict_.OverlongTexts(), QStringList({"LabelLunga/ITALIANO"}));
    EXPECT_EQ(dict_.EmptyTexts(), QStringList({"LabelVuota/ENGLISH"}));
    EXPECT_TRUE(dict_.MissedKeys().isEmpty());
    dict_.ClearFindings();
    EXPECT_TRUE(dict_.OverlongTexts().isEmpty());
}

TEST_F(DictionaryTest, QtsOwnTextsFollowTheLanguage)
{
    Write({"IDENTIF", "ITALIANO", "ENGLISH"}, {{"MenuLingua", "Italiano", "English"}});
    ASSERT_TRUE(Open());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
    dict_.SelectLanguage(1);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    dict_.SelectLanguage(0);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
    dict_.SelectLanguage(1); // the other tests of this program expect Qt's English
}

TEST_F(DictionaryTest, UnreadableTableFailsOpenWithTheReadersError)
{
    const struct {
        const char* name;
        std::function<void()> make;
    } cases[] = {
        {"missing", [] {}},
        {"not a dBase file",
         [this] {
             QFile f(dir_.filePath(kTable));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("IDENTIF;ITALIANO\nMenuLingua;Italiano\n");
         }},
        {"no key column", [this] { Write({"CHIAVE", "ITALIANO"}, {{"MenuLingua", "Italiano"}}); }},
    };
    const QString head = QStringLiteral("Non è possibile la connessione al Database lingue.\n\nErrore: ");
    const QString tail = QStringLiteral("\n\nContattare il fornitore del software");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir_.filePath(kTable));
        c.make();
        ScriptedDialogs dialogs;
        TDataModuleMur dict(dialogs);
        EXPECT_FALSE(dict.Open(dir_.path(), kTable));
        EXPECT_FALSE(dict.Available());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const test::ShownMessage& m = dialogs.messages[0];
        EXPECT_EQ(m.title, "Vapora");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_TRUE(m.text.startsWith(head)) << m.text.toStdString();
        EXPECT_TRUE(m.text.endsWith(tail)) << m.text.toStdString();
        EXPECT_GT(m.text.size(), head.size() + tail.size()) << "the reader's own error text is shown";

        // Nothing works afterwards, and nothing more is said.
        QString text = "x";
        EXPECT_FALSE(dict.BeginLookups());
        EXPECT_FALSE(dict.Lookup("MenuLingua", text));
        EXPECT_EQ(text, "x");
        EXPECT_TRUE(dict.PopupMenuLingue()->actions().isEmpty());
        EXPECT_EQ(dialogs.messages.size(), 1u);
    }
}

TEST_F(DictionaryTest, RecordCountBeyondTheFileIsReportedAsUnreadable)
{
    // The header's record count (bytes 4..7, little-endian) is patched to claim
    // more records than follow it; a file cut short in its last record too.
    const struct {
        const char* name;
        quint32 count;  // 0 keeps the written count
        int cutBytes;
    } cases[] = {
        {"count 2^31-1", 0x7fffffffu, 0},
        {"count 2^32-1", 0xffffffffu, 0},
        {"one record more than written", 6u, 0},
        {"last record cut short", 0u, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteDefault(); // five records
        QFile f(dir_.filePath(kTable));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        ASSERT_GT(bytes.size(), 32);
        ASSERT_EQ(static_cast<unsigned char>(bytes[4]), 5u);
        if (c.count) {
            for (int i = 0; i < 4; ++i)
                bytes[4 + i] = static_cast<char>((c.count >> (8 * i)) & 0xff);
        }
        // Drop the end-of-file mark as well, so a cut really falls inside a record.
        if (c.cutBytes)
            bytes.chop(c.cutBytes + (bytes.endsWith('\x1a') ? 1 : 0));
        ASSERT_TRUE(f.resize(0));
        f.write(bytes);
        f.close();

        ScriptedDialogs dialogs;
        TDataModuleMur dict(dialogs);
        EXPECT_FALSE(dict.Open(dir_.path(), kTable));
        EXPECT_FALSE(dict.Available());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.startsWith("Non è possibile la connessione al Database lingue."));
        EXPECT_TRUE(dialogs.messages[0].text.contains("DizVapora.dbf")) << dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(dict.PopupMenuLingue()->actions().isEmpty());
    }

    // The end-of-file mark alone missing is not damage.
    WriteDefault();
    QFile f(dir_.filePath(kTable));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    if (bytes.endsWith('\x1a')) {
        bytes.chop(1);
        ASSERT_TRUE(f.resize(0));
        f.write(bytes);
    }
    f.close();
    ASSERT_TRUE(Open());
    QString text;
    EXPECT_TRUE(dict_.Lookup("LabelConfig", text));
    EXPECT_EQ(text, "CONFIGURAZIONE VETTURA");
}

TEST_F(DictionaryTest, TableGoneAtBeginGivesTheOpenMessageAndLookupsFail)
{
    WriteDefault();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(QFile::remove(dir_.filePath(kTable)));
    EXPECT_FALSE(dict_.BeginLookups());
    QString text = "built-in";
    EXPECT_FALSE(dict_.Lookup("LabelConfig", text));
    EXPECT_EQ(text, "built-in");
    dict_.EndLookups();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].title, "Modulo lingue");
    EXPECT_EQ(dialogs_.messages[0].text, "Impossibile accedere al Database lingue (open)");
}

TEST_F(DictionaryTest, Windows1252TextsComeOutRight)
{
    const QString italian = QString::fromUtf8("Perché è già così: 10 €");
    const QString others = QString::fromUtf8("„Œuvre“ – Š ž Ÿ ‰ ™ ß ñ");
    Write({"IDENTIF", "ITALIANO", "ENGLISH"}, {{"MenuLingua", "Italiano", "English"}, {"MessTesto", italian, others}});
    QFile raw(dir_.filePath(kTable));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_TRUE(bytes.contains("Perch\xE9 \xE8 gi\xE0 cos\xEC: 10 \x80")) << "stored as Windows-1252, not UTF-8";

    ASSERT_TRUE(Open());
    QString text;
    EXPECT_TRUE(dict_.Lookup("MessTesto", text));
    EXPECT_EQ(text, italian);
    dict_.SelectLanguage(1);
    EXPECT_TRUE(dict_.Lookup("MessTesto", text));
    EXPECT_EQ(text, others);
}

TEST(Cp1252, EveryByteSurvivesTheRoundTripAndTheHighRangeIsNotLatin1)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x8A], QChar(0x0160));
    EXPECT_EQ(text[0x93], QChar(0x201C));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0x81], QChar(0x0081)) << "undefined bytes pass through";
    EXPECT_EQ(text[0xE8], QChar(0x00E8));
    bool ok = false;
    EXPECT_EQ(ToCp1252(text, &ok), all);
    EXPECT_TRUE(ok);

    EXPECT_EQ(ToCp1252(QString::fromUtf8("a→b"), &ok), "a?b");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ToCp1252(QString(QChar(0x0080)), &ok), "?") << "U+0080 is not the euro sign's byte";
    EXPECT_FALSE(ok);
}

TEST_F(DictionaryTest, LookupControlSetsTheTextOfEachKindOfControlOnlyWhenFound)
{
    Write({"IDENTIF", "ITALIANO"}, {
                                       {"MenuLingua", "Italiano"},
                                       {"LabelConfig", "CONFIGURAZIONE VETTURA"},
                                       {"ActionApri", "&Apri file"},
                                       {"FinestraPrincipale", "Vapora Murazzoni"},
                                       {"MenuFile", "&File"},
                                       {"ButtonOk", "&OK"},
                                       {"GroupTipo", "Tipo"},
                                       {"EditValore", "12"},
                                   });
    ASSERT_TRUE(Open());
    ASSERT_TRUE(dict_.BeginLookups());

    QLabel label("x");
    label.setObjectName("LabelConfig");
    QAction action("x");
    action.setObjectName("ActionApri");
    QWidget window;
    window.setObjectName("FinestraPrincipale");
    QMenu menu("x");
    menu.setObjectName("MenuFile");
    QPushButton button("x");
    button.setObjectName("ButtonOk");
    QGroupBox group("x");
    group.setObjectName("GroupTipo");

    EXPECT_TRUE(dict_.LookupControl(&label, 30));
    EXPECT_EQ(label.text(), "CONFIGURAZIONE VETTURA");
    EXPECT_TRUE(dict_.LookupControl(&action));
    EXPECT_EQ(action.text(), "&Apri file");
    EXPECT_TRUE(dict_.LookupControl(&window));
    EXPECT_EQ(window.windowTitle(), "Vapora Murazzoni");
    EXPECT_TRUE(dict_.LookupControl(&menu));
    EXPECT_EQ(menu.title(), "&File");
    EXPECT_TRUE(dict_.LookupControl(&button, 15));
    EXPECT_EQ(button.text(), "&OK");
    EXPECT_TRUE(dict_.LookupControl(&group));
    EXPECT_EQ(group.title(), "Tipo");

    QLabel cut("x");
    cut.setObjectName("LabelConfig");
    EXPECT_TRUE(dict_.LookupControl(&cut, 6));
    EXPECT_EQ(cut.text(), "CONFIG");

    // A control without a text of its own is left alone.
    QWidget parent;
    auto* edit = new QLineEdit("7", &parent);
    edit->setObjectName("EditValore");
    EXPECT_FALSE(dict_.LookupControl(edit));
    EXPECT_EQ(edit->text(), "7");
    EXPECT_FALSE(dict_.LookupControl(nullptr));

    QLabel unknown("FISSO");
    unknown.setObjectName("LabelSconosciuta");
    EXPECT_FALSE(dict_.LookupControl(&unknown));
    EXPECT_EQ(unknown.text(), "FISSO");
    dict_.EndLookups();
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

// --- The generator: text table -> dBase table ---

class GeneratorTest : public DictionaryTest {
protected:
    QString Source(const QByteArray& content)
    {
        const QString path = dir_.filePath("dictionary.txt");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        return path;
    }
};

TEST_F(GeneratorTest, GoodTableBecomesAReadableDictionary)
{
    const QString src = Source("# comment\r\n"
                               "IDENTIF\tITALIANO\tENGLISH\r\n"
                               "\r\n"
                               "MenuLingua\tItaliano\tEnglish\r\n"
                               "MessDue\tPrima riga\\nè seconda\tFirst line\\nsecond\r\n"
                               "MessBarra\tA\\\\B\\tC\t\n");
    QString error;
    ASSERT_TRUE(MakeDictionary(src, dir_.filePath(kTable), &error)) << error.toStdString();
    ASSERT_TRUE(Open());
    EXPECT_EQ(dict_.ColumnNames(), QStringList({"IDENTIF", "ITALIANO", "ENGLISH"}));
    QString text;
    EXPECT_TRUE(dict_.Lookup("MessDue", text));
    EXPECT_EQ(text, QString::fromUtf8("Prima riga\nè seconda"));
    EXPECT_TRUE(dict_.Lookup("MessBarra", text));
    EXPECT_EQ(text, "A\\B\tC");
    dict_.SelectLanguage(1);
    EXPECT_TRUE(dict_.Lookup("MessBarra", text));
    EXPECT_EQ(text, "") << "an empty text is a text";
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(GeneratorTest, BadTablesFailLoudlyAndLeaveTheOldTableInPlace)
{
    const QByteArray header = "IDENTIF\tITALIANO\tENGLISH\n";
    const struct {
        const char* name;
        QByteArray content;
        const char* mentions;
    } cases[] = {
        {"too few fields", header + "MenuLingua\tItaliano\n", ":2:"},
        {"too many fields", header + "MenuLingua\tItaliano\tEnglish\textra\n", ":2:"},
        {"duplicate key", header + "MessA\ta\ta\nMessB\tb\tb\nMessA\tc\tc\n", "MessA"},
        {"text too long", header + "MessA\t" + QByteArray(255, 'x') + "\tok\n", "MessA"},
        {"empty key", header + "\ta\tb\n", ":2:"},
        {"unknown escape", header + "MessA\tC:\\Vapora\tb\n", ":2:"},
        {"no Windows-1252 code", header + "MessA\ta \xE2\x86\x92 b\tb\n", "MessA"},
        {"column name too long", "IDENTIF\tITALIANO\tPORTUGUES_BR\nMessA\ta\tb\n", "PORTUGUES_BR"},
        {"not UTF-8", header + "MessA\tperch\xE9\tb\n", "UTF-8"},
    };
    const QString out = dir_.filePath(kTable);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(out);
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old table");
        old.close();

        QString error;
        EXPECT_FALSE(MakeDictionary(Source(c.content), out, &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions))) << error.toStdString();
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "old table");
        old.close();
    }
    QString error;
    EXPECT_FALSE(MakeDictionary(dir_.filePath("nessuno.txt"), out, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(GeneratorTest, WriterRefusesTextsThatWouldBeCut)
{
    QString error;
    EXPECT_TRUE(
        WriteDictionary(dir_.filePath(kTable), {"IDENTIF", "ITALIANO"}, {{"MessA", QString(254, u'x')}}, &error));
    // 254 "è" are 254 bytes in Windows-1252 (508 in UTF-8): still fits.
    EXPECT_TRUE(WriteDictionary(dir_.filePath(kTable), {"IDENTIF", "ITALIANO"},
                                {{"MessA", QString(254, QChar(0xE8))}}, &error));
    EXPECT_FALSE(WriteDictionary(dir_.filePath(kTable), {"IDENTIF", "ITALIANO"}, {{"MessA", QString(30, u'x')}}, &error,
                                 20));
    EXPECT_TRUE(error.contains("MessA"));
}

TEST_F(GeneratorTest, LaterTablesAddOnlyTheKeysTheFirstLacks)
{
    const QString main = Source("IDENTIF\tITALIANO\tENGLISH\nMenuLingua\tItaliano\tEnglish\nButtonOk\t&OK\t&OK\n");
    const QString part = dir_.filePath("part.txt");
    QFile f(part);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("IDENTIF\tITALIANO\tENGLISH\nButtonOk\t&Va bene\t&Fine\nMessNuovo\tNuovo\tNew\n");
    f.close();
    QString error;
    ASSERT_TRUE(MakeDictionary(QStringList{main, part}, dir_.filePath(kTable), &error)) << error.toStdString();
    ASSERT_TRUE(Open());
    QString text;
    EXPECT_TRUE(dict_.Lookup("ButtonOk", text));
    EXPECT_EQ(text, "&OK");
    EXPECT_TRUE(dict_.Lookup("MessNuovo", text));
    EXPECT_EQ(text, "Nuovo");

    const QString other = dir_.filePath("other.txt");
    QFile g(other);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("IDENTIF\tITALIANO\nMessAltro\tAltro\n");
    g.close();
    EXPECT_FALSE(MakeDictionary(QStringList{main, other}, dir_.filePath("x.dbf"), &error));
    EXPECT_TRUE(error.contains("columns differ"));
}

// --- The program's own dictionary ---

QString ProgramDictionarySource()
{
    return QDir(QStringLiteral(VAPORA_DATA_DIR)).filePath("dictionary.txt");
}

TEST_F(GeneratorTest, ProgramDictionaryConvertsAndHasEveryKnownKey)
{
    DictionarySource source;
    QString error;
    ASSERT_TRUE(ReadDictionarySource(ProgramDictionarySource(), &source, &error)) << error.toStdString();
    ASSERT_EQ(source.columns, QStringList({"IDENTIF", "ITALIANO", "ENGLISH"}));
    QHash<QString, QStringList> byKey;
    for (const QStringList& row : source.rows) {
        EXPECT_FALSE(row[1].isEmpty()) << row[0].toStdString();
        EXPECT_FALSE(row[2].isEmpty()) << "English missing for " << row[0].toStdString();
        byKey.insert(row[0], row);
    }

    // The message texts: the dictionary's Italian is the built-in wording.
    const MessageTable messages;
    for (const QString& key : messages.Keys()) {
        ASSERT_TRUE(byKey.contains(key)) << key.toStdString();
        EXPECT_EQ(byKey[key][1], messages.Text(key)) << key.toStdString();
    }
    const QStringList windowKeys = {
        "MenuLingua", "FinestraPrincipale", "LabelMenu", "LabelConfig", "LabelVisualizza", "LabelCalibrazione",
        "LabelDiagnosi", "LabelFile", "LabelRiprogramma", "LabelTermina", "MenuFile", "MenuCpu", "MenuConnetti",
        "MenuDisconnetti", "MenuConfig", "MenuAiuto", "MenuAbout", "ActionApri", "ActionSalva", "ActionStampa",
        "ActionProgramma", "ActionEsci", "ActionConnetti", "ActionDisconnetti", "ActionResetCpu", "LabelConnInCorso",
        "FinestraApriFile", "FinestraSalvaFile", "FinestraSceltaCarb", "LabelCarbConnesso", "LabelCarbSconnesso",
        "LabelWarningCarb1", "LabelWarningCarb2", "LabelProgCarb", "ButtonOk", "ButtonAnnulla"};
    for (const QString& key : windowKeys)
        EXPECT_TRUE(byKey.contains(key)) << key.toStdString();
    // The labels are looked up with a limit of 30; a longer text would be cut on screen.
    for (const QString& key : windowKeys.filter(QRegularExpression("^Label(Menu|Config|Visualizza|Calibrazione|"
                                                                   "Diagnosi|File|Riprogramma|Termina)$")))
        for (int c = 1; c < source.columns.size(); ++c)
            EXPECT_LE(byKey[key][c].size(), 30) << key.toStdString();

    ASSERT_TRUE(MakeDictionary(ProgramDictionarySource(), dir_.filePath(kTable), &error)) << error.toStdString();
    ASSERT_TRUE(Open());
    const QList<QAction*> items = dict_.PopupMenuLingue()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Italiano");
    EXPECT_EQ(items[1]->text(), "English");
    QString text;
    EXPECT_TRUE(dict_.Lookup("MessErrVersioneCpu", text));
    EXPECT_EQ(text, messages.Text("MessErrVersioneCpu"));
    EXPECT_TRUE(dialogs_.messages.empty());
}

} // namespace
