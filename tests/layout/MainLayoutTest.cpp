// The main window, the about box, the fuel choice, the wait window and the
// firmware window.
#include "LayoutFixture.h"
#include "support/ShippedDictionary.h"

#include "services/AppMessages.h"
#include "services/MessageTable.h"
#include "services/ui/DialogService.h"

#include <QDirIterator>
#include <QFontInfo>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>

#include "app/TAboutBox.h"
#include "app/Connection.h"
#include "app/TFormGuida.h"
#include "app/TFormMain.h"
#include "app/TFormMainStatusBar.h"
#include "services/ui/CellText.h"
#include "app/TFormScarica.h"
#include "app/TFormSceltaCarb.h"
#include "app/TFormPortaSeriale.h"
#include "wire/SerialPorts.h"
#include "widgets/TFormAttesa.h"

namespace vapora::test {
namespace {

// What the program gives a wait window to show, found in the sources: each
// call that sets a wait window's caption, message or progress suffix, with
// the dictionary keys its argument is made of (a key named directly, or the
// key a variable of the same file was read with).
struct WaitText {
    QString what; // setWindowTitle, SetMessage or SetProgressSuffix
    QStringList keys;
    bool numbered = false; // a number follows the texts ("Tentativo 3")
    QString where;
};

QList<WaitText> WaitWindowTexts()
{
    QList<WaitText> found;
    static const QRegularExpression call(
        QStringLiteral("\\bwait(?:\\.|->)(setWindowTitle|SetMessage|SetProgressSuffix)\\((.*?)\\);"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression literal(QStringLiteral("\"([A-Z][A-Za-z0-9]+)\""));
    static const QRegularExpression identifier(QStringLiteral("\\b([a-z][A-Za-z0-9]*_?)\\b"));
    for (const char* area : {"app", "files", "editor", "calib", "widgets"}) {
        QDirIterator it(QStringLiteral(VAPORA_SOURCE "/") + QLatin1String(area), {QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString source = QString::fromUtf8(file.readAll());
            if (!source.contains(QStringLiteral("TFormAttesa")))
                continue;
            auto calls = call.globalMatch(source);
            while (calls.hasNext()) {
                const QRegularExpressionMatch m = calls.next();
                WaitText text{m.captured(1), {}, m.captured(2).contains(QStringLiteral("number(")),
                              QFileInfo(file.fileName()).fileName()};
                auto keys = literal.globalMatch(m.captured(2));
                while (keys.hasNext())
                    text.keys << keys.next().captured(1);
                auto names = identifier.globalMatch(m.captured(2));
                while (names.hasNext()) {
                    const QString name = names.next().captured(1);
                    const QRegularExpression assigned(QRegularExpression::escape(name) +
                                                      QStringLiteral("\\s*=[^;]*?\"([A-Z][A-Za-z0-9]+)\""));
                    const QRegularExpressionMatch a = assigned.match(source);
                    if (a.hasMatch() && !text.keys.contains(a.captured(1)))
                        text.keys.prepend(a.captured(1));
                }
                found << text;
            }
        }
    }
    return found;
}

// Every key of the shipped tables and of the built-in messages, read back from
// the shipped table in every language: present, not empty.
TEST_F(LayoutTest, ShippedDictionaryHasEveryTextInEveryLanguage)
{
    QStringList keys = MessageTable().Keys();
    const QDir data(QStringLiteral(VAPORA_SOURCE "/data"));
    const QStringList sources = test::ShippedDictionarySources(data);
    for (const QString& path : sources) {
        DictionarySource source;
        ASSERT_TRUE(ReadDictionarySource(path, &source)) << path.toStdString();
        for (const QStringList& row : source.rows)
            keys << row.value(0);
    }
    ASSERT_GT(keys.size(), 300);
    EveryLanguage([&] {
        ASSERT_TRUE(dictionary->BeginLookups());
        for (const QString& key : keys) {
            QString text;
            EXPECT_TRUE(dictionary->Lookup(key, text)) << key.toStdString();
        }
        dictionary->EndLookups();
        CheckDictionary();
    });
}

// The status panels with the longest texts they can hold: a text wider than its
// panel ends in an ellipsis and is whole in the panel's tooltip.
void CheckStatusPanels(TFormMain& form, TDataModuleMur& dictionary)
{
    auto* bar = form.findChild<StatusBarMain*>();
    ASSERT_NE(bar, nullptr);
    MessageTable texts;
    texts.Load(dictionary);
    const QString versions = QStringLiteral(VAPORA_HOME "/Programmazione/Vapora.txt");
    QList<QStringList> panels(StatusBarMain::kPanels);
    panels[0] = {texts.Text(QStringLiteral("MessConn")), texts.Text(QStringLiteral("MessNoConn"))};
    panels[1] = {texts.Text(QStringLiteral("MessIdentif")) + QStringLiteral(": FIAT PUNTO 1.2 SEQ")};
    for (int code : {1, 2, 3, 65, 99})
        panels[2] << Connection::VersionPanelText(texts.Text(QStringLiteral("MessVersioneSw")), 255, code, versions);
    panels[3] = {texts.Text(QStringLiteral("LabelMetano")), texts.Text(QStringLiteral("LabelGpl"))};
    for (int panel = 0; panel < StatusBarMain::kPanels; ++panel)
        for (const QString& text : panels[panel]) {
            SCOPED_TRACE(QStringLiteral("panel %1 \"%2\"").arg(panel).arg(text).toStdString());
            form.SetPanelText(panel, text);
            const QStringList problems = CheckLayout(&form);
            EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
            const QRect rect = bar->PanelRect(panel);
            const QFontMetrics fm(bar->font());
            if (fm.horizontalAdvance(text) > rect.width() - 4) {
                EXPECT_EQ(ElidedTextAt(bar, rect.center()), text);
            }
            const QString folder = qEnvironmentVariable("VAPORA_SCREENSHOTS");
            if (!folder.isEmpty() && panel == 2)
                ScreenPicture(&form).save(QStringLiteral("%1/%2-panel2-%3.png").arg(folder).arg(
                    QGuiApplication::primaryScreen()->geometry().width()).arg(text.section(u' ', -1)));
        }
}

// One name for each fuel in each language, in every window: the English
// program says CNG and LPG, the Italian one Metano and GPL.
TEST(Dictionary, OneNameForEachFuelInEachLanguage)
{
    const QRegularExpression notEnglish(QStringLiteral("\\b(methane|metano|gpl)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression notItalian(QStringLiteral("\\b(cng|lpg|methane)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QDir data(QStringLiteral(VAPORA_SOURCE "/data"));
    for (const QString& path : test::ShippedDictionarySources(data)) {
        DictionarySource source;
        ASSERT_TRUE(ReadDictionarySource(path, &source)) << path.toStdString();
        for (const QStringList& row : source.rows) {
            EXPECT_FALSE(row.value(1).contains(notItalian)) << row.value(0).toStdString() << ": "
                                                           << row.value(1).toStdString();
            EXPECT_FALSE(row.value(2).contains(notEnglish)) << row.value(0).toStdString() << ": "
                                                           << row.value(2).toStdString();
        }
    }
}

TEST_F(LayoutTest, MainWindow)
{
    for (int language = 0; language < dictionary->LanguageCount(); ++language) {
        settings->SetValue(GlobalData::kLanguage, language);
        TFormMain form(ctx);
        form.show();
        for (int i = 0; i < 100 && !form.ShowHandled(); ++i)
            QApplication::processEvents();
        ASSERT_TRUE(form.ShowHandled());
        ASSERT_EQ(dictionary->LanguageIndex(), language);
        CheckMaximised(&form, QStringLiteral("Main"));
        CheckStatusPanels(form, *dictionary);
        // The language menu belongs to no window: it takes the scale of the one it pops up over.
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QMenu* languages = dictionary->PopupMenuLingue();
        languages->popup(form.mapToGlobal(QPoint(20, 20)));
        EXPECT_GE(QFontInfo(languages->font()).pixelSize() * 10, QFontInfo(form.font()).pixelSize() * 9);
        languages->close();
    }
}

TEST_F(LayoutTest, SmallWindowsOfTheMainWindow)
{
    EveryLanguage([this] {
        {
            TAboutBox form;
            QString caption;
            ASSERT_TRUE(dictionary->Lookup(QStringLiteral("FinestraPrincipale"), caption));
            form.SetProductName(caption); // as the main window shows it
            Check(&form, QStringLiteral("About"));
        }
        {
            // Long descriptions, a port that is away and the note of a fixed setting: all must fit.
            TFormPortaSeriale form(dictionary.get(),
                                   {QStringLiteral("serial:/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00"),
                                    QStringLiteral("VAPORA_LINK"), QStringLiteral("serial:/dev/ttyUSB0@57600")},
                                   [] {
                                       return std::vector<sernox::wire::SerialPortInfo>{
                                           {"/dev/ttyUSB0", "ttyUSB0", "Future Technology Devices International, Ltd FT232R USB UART (0403:6001)", true},
                                           {"/dev/ttyACM0", "ttyACM0", "USB 2341:0043", true},
                                           {"/dev/ttyS0", "ttyS0", "", false}};
                                   });
            Check(&form, QStringLiteral("PortaSeriale"));
        }
        for (bool connected : {true, false}) {
            TFormSceltaCarb form(dictionary.get(), connected, 0);
            Check(&form, connected ? QStringLiteral("SceltaCarb") : QStringLiteral("SceltaCarbSconnesso"));
        }
        {
            // A message box is as wide as its title needs, even for a short text.
            QString title;
            ASSERT_TRUE(dictionary->Lookup(QStringLiteral("FinestraPressione"), title));
            std::unique_ptr<QMessageBox> box(
                QtDialogService::NewMessageBox(nullptr, title, QStringLiteral("OK"), MsgIcon::Question, MsgButtons::YesNoCancel,
                                               MsgResult::Yes));
            Check(box.get(), QStringLiteral("MessageBox"));
        }
        {
            const QString firmware = dir.filePath(QStringLiteral("Firmware1.s19"));
            QFile file(firmware);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("S00600004844521B\r\n");
            file.close();
            TFormScarica form(ctx);
            dialogs.fileNames.push_back(firmware);
            dialogs.windows.push_back([this](QDialog* shown) {
                Check(shown, QStringLiteral("Scarica"));
                return int(QDialog::Rejected);
            });
            form.Run();
        }
    });
}

// Every caption, message and percentage any long operation shows in the wait
// window stands whole in every language.
TEST_F(LayoutTest, WaitWindowShowsEveryTextWhole)
{
    const QList<WaitText> texts = WaitWindowTexts();
    // The connection, reset, file load, programming and floppy update at least.
    ASSERT_GE(texts.size(), 15);
    EveryLanguage([&] {
        ASSERT_TRUE(dictionary->BeginLookups());
        QString caption;
        QString message;
        ASSERT_TRUE(dictionary->Lookup(QStringLiteral("FinestraCaricaDati"), caption));
        ASSERT_TRUE(dictionary->Lookup(QStringLiteral("LabelCaricaDati"), message));
        for (const WaitText& wait : texts) {
            SCOPED_TRACE((wait.where + u' ' + wait.what + u' ' + wait.keys.join(u'+')).toStdString());
            ASSERT_FALSE(wait.keys.isEmpty());
            QStringList parts;
            for (const QString& key : wait.keys) {
                QString part;
                ASSERT_TRUE(dictionary->Lookup(key, part)) << key.toStdString();
                parts << part;
            }
            QString shown = parts.join(QStringLiteral(" - "));
            if (wait.numbered)
                shown += QStringLiteral(" 3");
            // Shown as the program shows it: with a caption and a message of its own.
            TFormAttesa form;
            form.setWindowTitle(caption);
            form.SetMessage(message);
            if (wait.what == QLatin1String("setWindowTitle")) {
                form.setWindowTitle(shown);
            } else if (wait.what == QLatin1String("SetMessage")) {
                form.SetMessage(shown);
            } else {
                form.SetProgressSuffix(QLatin1Char(' ') + shown + QLatin1Char(' '));
                ProgressEvent full(100, false);
                QCoreApplication::sendEvent(&form, &full);
            }
            Check(&form, QStringLiteral("Attesa-") + wait.keys.join(u'+'));
        }
        dictionary->EndLookups();
    });
}

// The help window on a page with pictures and a table, with the results of a search.
TEST_F(LayoutTest, GuideWindow)
{
    EveryLanguage([this] {
        TFormGuida form(ctx);
        ASSERT_TRUE(form.Open(QStringLiteral(VAPORA_SOURCE "/docs/guide"),
                              {QStringLiteral("maps.md"), QStringLiteral("mappa-gas"), {}}));
        form.Search(QStringLiteral("F1"));
        Check(&form, QStringLiteral("Guida"));
    });
}

} // namespace
} // namespace vapora::test
