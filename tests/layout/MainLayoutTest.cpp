// The main window, the about box, the fuel choice, the wait window and the
// firmware window.
#include "LayoutFixture.h"

#include "TAboutBox.h"
#include "TFormMain.h"
#include "TFormScarica.h"
#include "TFormSceltaCarb.h"
#include "wait/TFormAttesa.h"

namespace vapora::test {
namespace {

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

} // namespace
} // namespace vapora::test
