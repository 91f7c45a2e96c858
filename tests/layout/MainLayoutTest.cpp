// The main window, the about box, the fuel choice, the wait window and the
// firmware window.
#include "LayoutFixture.h"
#include "support/ShippedDictionary.h"

#include "services/MessageTable.h"
#include "services/ui/DialogService.h"

#include <QMessageBox>

#include "app/TAboutBox.h"
#include "app/TFormGuida.h"
#include "app/TFormMain.h"
#include "app/TFormScarica.h"
#include "app/TFormSceltaCarb.h"
#include "widgets/TFormAttesa.h"

namespace vapora::test {
namespace {

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
        Check(&form, QStringLiteral("Main"));
    }
}

TEST_F(LayoutTest, SmallWindowsOfTheMainWindow)
{
    EveryLanguage([this] {
        {
            TAboutBox form;
            Check(&form, QStringLiteral("About"));
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
            TFormAttesa form;
            QString message;
            ASSERT_TRUE(dictionary->Lookup(QStringLiteral("MessScaricaMappa"), message));
            form.SetMessage(message);
            Check(&form, QStringLiteral("Attesa"));
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
