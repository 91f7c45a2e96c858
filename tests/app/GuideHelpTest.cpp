// The help window and the help key: where the program finds its guide, which
// page the key opens in which window and language, the search, and the main
// window's menu item.
#include "MainFixture.h"

#include "app/GuideFolder.h"
#include "app/GuideHelp.h"
#include "app/TFormGuida.h"
#include "app/TFormMain.h"
#include "calib/forms/TFormSceltaCal.h"
#include "editor/ConfigPage.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/ui/DialogService.h"

#include "LinkObject.h"
#include "sim/SimUnit.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using namespace vapora;
using namespace vapora::test;

namespace {

const QString kGuide = QStringLiteral(VAPORA_SOURCE_DIR "/docs/guide");

void WriteText(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// The heading an anchor names on a page of the shipped guide, in one language.
QString HeadingOf(const QString& language, const QString& page, const QString& anchor)
{
    const GuideBook book = GuideBook::Read(kGuide + u'/' + language);
    const GuidePage* p = book.Page(page);
    const GuideHeading* h = p != nullptr ? p->Anchored(anchor) : nullptr;
    return h != nullptr ? h->text : QString();
}

// The heading the window went to: its cursor stands on it, in view.
QString HeadingAtCursor(const TFormGuida& window)
{
    const QTextBrowser* browser = window.Browser();
    const QTextBlock block = browser->textCursor().block();
    if (block.blockFormat().headingLevel() == 0 || !browser->viewport()->rect().contains(browser->cursorRect().center()))
        return {};
    return block.text();
}

TEST(GuideFolder, InstalledGuideFirstThenTheBuildTreesMainFolder)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(program);
    EXPECT_TRUE(GuideFolder(program).isEmpty());
    WriteText(dir.filePath(QStringLiteral("vapora-home/guide/en/index.md")), QStringLiteral("# Guide\n"));
    EXPECT_EQ(GuideFolder(program), dir.filePath(QStringLiteral("vapora-home/guide")));
    // A folder without a contents page is no guide.
    QDir().mkpath(dir.filePath(QStringLiteral("share/vapora/guide/it")));
    EXPECT_EQ(GuideFolder(program), dir.filePath(QStringLiteral("vapora-home/guide")));
    WriteText(dir.filePath(QStringLiteral("share/vapora/guide/it/index.md")), QStringLiteral("# Guida\n"));
    EXPECT_EQ(GuideFolder(program), dir.filePath(QStringLiteral("share/vapora/guide")));

    const QString root = dir.filePath(QStringLiteral("vapora-home/guide"));
    WriteText(root + QStringLiteral("/it/index.md"), QStringLiteral("# Guida\n"));
    EXPECT_TRUE(GuideLanguageFolder(root, QStringLiteral("ITALIANO")).endsWith(QLatin1String("/it")));
    EXPECT_TRUE(GuideLanguageFolder(root, QStringLiteral("ENGLISH")).endsWith(QLatin1String("/en")));
    EXPECT_TRUE(GuideLanguageFolder(root, QStringLiteral("DEUTSCH")).endsWith(QLatin1String("/en")));
    EXPECT_TRUE(GuideLanguageFolder(QString(), QStringLiteral("ITALIANO")).isEmpty());
}

class GuideHelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ASSERT_TRUE(dictionary->Open(folder.Path(), QStringLiteral("DizVapora.dbf")));
        ctx.dictionary = dictionary.get();
        ctx.dialogs = &dialogs;
        help = std::make_unique<GuideHelp>(ctx, nullptr);
        help->SetGuideRoot(kGuide);
    }

    // The window's page, language and the heading at the top of its view.
    void ExpectShown(const QString& language, const QString& page, const QString& anchor)
    {
        TFormGuida* window = help->Window();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->Language(), language);
        EXPECT_EQ(window->CurrentPage(), page);
        if (!anchor.isEmpty()) {
            const QString heading = HeadingOf(language, page, anchor);
            ASSERT_FALSE(heading.isEmpty()) << anchor.toStdString();
            EXPECT_EQ(HeadingAtCursor(*window), heading);
        }
    }

    WorkFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<TDataModuleMur> dictionary;
    AppContext ctx;
    std::unique_ptr<GuideHelp> help;
};

TEST_F(GuideHelpTest, HelpKeyOpensTheWindowsSectionInTheProgramsLanguage)
{
    for (const auto& [index, code] : {std::pair{0, QStringLiteral("it")}, std::pair{1, QStringLiteral("en")}}) {
        SCOPED_TRACE(code.toStdString());
        dictionary->SelectLanguage(index);
        TFormSceltaCal form(dictionary.get());
        form.show();
        QTest::keyClick(&form, Qt::Key_F1);
        ExpectShown(code, QStringLiteral("calibration.md"), QStringLiteral("scelta"));
        help->Window()->close();
        QTest::keyClick(&form, Qt::Key_F1, Qt::ControlModifier);
        ExpectShown(code, QStringLiteral("calibration.md"), QStringLiteral("scelta"));
        // The guide's own help is its first page's section on the window.
        QTest::keyClick(help->Window()->Browser(), Qt::Key_F1);
        ExpectShown(code, QStringLiteral("index.md"), QStringLiteral("guida"));
        // Other keys are the window's own.
        QTest::keyClick(&form, Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_EQ(help->Window()->CurrentPage(), QStringLiteral("index.md"));
    }
}

TEST_F(GuideHelpTest, MessageBoxHelpFindsTheMessageOnTheTroubleshootingPage)
{
    const QString text = QStringLiteral("Impossibile connettersi. Controllare il collegamento.");
    std::unique_ptr<QMessageBox> box(
        QtDialogService::NewMessageBox(nullptr, QStringLiteral("Vapora"), text, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok));
    box->show();
    QTest::keyClick(box.get(), Qt::Key_F1);
    ExpectShown(QStringLiteral("it"), QStringLiteral("troubleshooting.md"), {});
    const QTextCursor at = help->Window()->Browser()->textCursor();
    EXPECT_TRUE(at.hasSelection());
    EXPECT_EQ(at.selectedText(), text);
    EXPECT_FALSE(help->Window()->Browser()->extraSelections().isEmpty());
}

TEST_F(GuideHelpTest, MissingGuideSaysWhereItLooked)
{
    QTemporaryDir empty;
    help->SetGuideRoot(empty.path());
    QWidget window;
    EXPECT_EQ(help->OpenFor(&window), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(empty.path())));
}

// A small guide of its own: contents, anchors, links, search without regard to case or accents.
TEST_F(GuideHelpTest, ContentsLinksAndSearchFollowThePages)
{
    QTemporaryDir dir;
    WriteText(dir.filePath(QStringLiteral("it/index.md")),
              QStringLiteral("# Sommario\n\n[Pagina](pagina.md)\n\n<!-- #uso -->\n## Uso\n\nVedere [qui](pagina.md#giri).\n"));
    QString long_;
    for (int i = 0; i < 80; ++i)
        long_ += QStringLiteral("Riga %1 di testo.\n\n").arg(i);
    WriteText(dir.filePath(QStringLiteral("it/pagina.md")),
              QStringLiteral("# Pagina\n\n") + long_ + QStringLiteral("<!-- #giri -->\n## Velocità del motore\n\nLa VELOCITÀ conta.\n\n## Altro\n\n") + long_);
    TFormGuida window(ctx);
    window.resize(600, 400);
    window.show();
    ASSERT_TRUE(window.Open(dir.path(), ContentsTopic()));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("index.md"));
    ASSERT_EQ(window.Contents()->topLevelItemCount(), 2);
    EXPECT_EQ(window.Contents()->topLevelItem(1)->text(0), QStringLiteral("Pagina"));
    EXPECT_EQ(window.Contents()->topLevelItem(1)->childCount(), 2);

    // A link to a named heading of another page.
    emit window.Browser()->anchorClicked(QUrl(QStringLiteral("pagina.md#giri")));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("pagina.md"));
    EXPECT_EQ(HeadingAtCursor(window), QStringLiteral("Velocità del motore"));
    window.Browser()->backward();
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("index.md"));

    window.Search(QStringLiteral("velocita"));
    ASSERT_EQ(window.Results()->count(), 1);
    EXPECT_TRUE(window.Results()->item(0)->text().contains(QStringLiteral("(2)")));
    window.OpenResult(0);
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("pagina.md"));
    EXPECT_EQ(window.Browser()->extraSelections().size(), 2);
    EXPECT_EQ(window.Browser()->textCursor().selectedText(), QStringLiteral("Velocità"));
    window.Search(QStringLiteral("nulla del genere"));
    EXPECT_EQ(window.Results()->count(), 0);
    EXPECT_TRUE(window.Browser()->extraSelections().isEmpty());
}

// The configuration window keeps F1 for its pages; Ctrl+F1 opens the section of the page shown.
TEST_F(GuideHelpTest, ConfigurationWindowTakesF1ForItsPagesAndCtrlF1ForTheGuide)
{
    sernox::LinkObject link(std::make_unique<sernox::SimUnit>());
    ASSERT_TRUE(link.OpenLink());
    link.Connect();
    FakeClock clock;
    ConfCar car("car.vap", &link, clock);
    ASSERT_TRUE(car.ReadIdentification());
    ASSERT_TRUE(car.ReadAll());
    ctx.link = &link;
    ctx.car = &car;
    ctx.clock = &clock;
    TFormConfig form(ctx);
    form.LoadTexts();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Timer1()->stop();

    QStringList covered;
    for (const TopicEntry& e : ConfigPageTopics())
        covered << e.name;
    for (int page = 0; page < TFormConfig::kPageCount; ++page)
        EXPECT_TRUE(covered.contains(form.Page(page)->objectName())) << form.Page(page)->objectName().toStdString();

    form.SelectPage(TFormConfig::kTabMappa);
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(form.ActivePage(), TFormConfig::kTabCambio);
    EXPECT_EQ(help->Window(), nullptr);
    QTest::keyClick(&form, Qt::Key_F1, Qt::ControlModifier);
    ExpectShown(QStringLiteral("it"), QStringLiteral("configuration.md"), QStringLiteral("giri-cambio"));
    form.SelectPage(TFormConfig::kTabMappa);
    QTest::keyClick(&form, Qt::Key_F1, Qt::ControlModifier);
    ExpectShown(QStringLiteral("it"), QStringLiteral("maps.md"), QStringLiteral("mappa-gas"));
    form.hide();
}

TEST(GuideMenu, MainWindowsGuideItemOpensTheContents)
{
    WorkFolder folder;
    ScriptedDialogs dialogs;
    FakeClock clock;
    sernox::LinkObject link(std::make_unique<sernox::SimUnit>());
    ConfCar car("default.mur", &link, clock);
    GlobalData settings(QStringLiteral("Murazzoni\\VaporaGuideTest"), dialogs, folder.Path());
    settings.SetValue(GlobalData::kLanguage, 1);
    TDataModuleMur dictionary(dialogs);
    AppContext ctx;
    ctx.link = &link;
    ctx.car = &car;
    ctx.settings = &settings;
    ctx.dialogs = &dialogs;
    ctx.clock = &clock;
    ctx.dictionary = &dictionary;
    TFormMain form(ctx);
    form.Guide()->SetGuideRoot(kGuide);
    form.show();
    for (int i = 0; i < 200 && !form.ShowHandled(); ++i)
        QApplication::processEvents();
    ASSERT_TRUE(form.ShowHandled());
    QAction* item = form.findChild<QAction*>(QStringLiteral("MenuGuida"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Guide"));
    item->trigger();
    ASSERT_NE(form.Guide()->Window(), nullptr);
    EXPECT_EQ(form.Guide()->Window()->CurrentPage(), QStringLiteral("index.md"));
    EXPECT_EQ(form.Guide()->Window()->Language(), QStringLiteral("en"));
    form.close();
}

} // namespace
