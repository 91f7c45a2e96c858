// The main window's file actions reach their commands and windows.
#include "FilesFixture.h"
#include "app/TFormMain.h"
#include "app/TFormScarica.h"

#include <QAction>

using namespace vapora;
using namespace vapora::test;

namespace {

class MainWindowFiles : public FilesTest {
protected:
    void Trigger(TFormMain& main, const char* action)
    {
        main.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
};

TEST_F(MainWindowFiles, ActionsRunTheFileCommandsAndWindows)
{
    WriteConfig("Configurazioni/a.vap", true, false, 91);
    TFormMain main(ctx);
    TFormScarica scarica(ctx);
    main.SetScaricaForm(&scarica);

    dialogs.fileNames = {Path("Configurazioni/a.vap")};
    Trigger(main, "ActionApri");
    EXPECT_EQ(car->RifLambda, 91);

    Trigger(main, "ActionGestioneFile");
    Trigger(main, "ActionProgramma"); // its file dialog cancelled
    dialogs.fileNames = {Path("b.vap")};
    Trigger(main, "ActionSalva"); // its options window cancelled
    EXPECT_EQ(dialogs.execTitles, std::vector<QString>({"Gestione file configurazione Vapora",
                                                        "Opzioni di salvataggio"}));
    EXPECT_TRUE(link->programCalls.empty());
    EXPECT_FALSE(QFileInfo::exists(Path("b.vap")));
}

} // namespace
