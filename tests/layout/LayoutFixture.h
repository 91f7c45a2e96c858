#pragma once
// Every window on the simulated unit, with the shipped dictionary, on the
// screen the process was started with (see tests/CMakeLists.txt): each one is
// shown in every language and must pass the layout check and find every text
// it asks the dictionary for, and its help key must open a section of the
// guide in that language. With VAPORA_SCREENSHOTS set to a folder, each
// window's picture goes there as <screen>-<language>-<window>.png.

#include "app/GuideBook.h"
#include "app/GuideHelp.h"
#include "app/HelpTopics.h"
#include "services/AppContext.h"
#include "services/i18n/QtTranslations.h"
#include "support/ShippedDictionary.h"
#include "LayoutCheck.h"
#include "LinkObject.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "services/settings/GlobalData.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "services/ui/Scaling.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace vapora::test {

// On a real display a window manager places, maximises and frames a window
// after it is shown: wait for that before checking or taking its picture.
inline void Settle(QWidget* window)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    window->raise();
    window->activateWindow();
    if (QTest::qWaitForWindowExposed(window))
        QTest::qWait(300);
}

// The whole screen as a person sees it on a real display; offscreen the window alone.
inline QPixmap ScreenPicture(QWidget* window)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return window->grab();
    Settle(window);
    return QGuiApplication::primaryScreen()->grabWindow(0);
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = QDir::currentPath();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
        const QString shipped = QStringLiteral(VAPORA_HOME "/DizVapora.dbf");
        ASSERT_TRUE(QFile::copy(shipped, dir.filePath(QStringLiteral("DizVapora.dbf")))) << VAPORA_HOME;
        QDir::setCurrent(dir.path());
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
        car = std::make_unique<ConfCar>("car.vap", link.get(), clock);
        ASSERT_TRUE(car->ReadIdentification());
        ASSERT_TRUE(car->ReadAll());
        settings = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaLayoutTest"), dialogs, dir.path());
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ASSERT_TRUE(dictionary->Open(dir.path(), QStringLiteral("DizVapora.dbf")));
        ASSERT_EQ(dictionary->LanguageCount(), 2);
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.settings = settings.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        ctx.dictionary = dictionary.get();
        ctx.mainFolder = dir.path();
        dialogs.messages.clear();
    }

    void TearDown() override
    {
        CheckTranslated();
        dictionary.reset();
        settings.reset();
        car.reset();
        link.reset();
        QDir::setCurrent(previous_);
    }

    static QString ScreenName()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        QString name = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        if (screen->devicePixelRatio() != 1.0)
            name += QStringLiteral("@%1").arg(screen->devicePixelRatio());
        return name;
    }

    QString Language() const { return dictionary->ColumnNames().value(dictionary->LanguageIndex() + 1); }

    // Runs body once per dictionary language.
    void EveryLanguage(const std::function<void()>& body)
    {
        for (int language = 0; language < dictionary->LanguageCount(); ++language) {
            dictionary->SelectLanguage(language);
            SCOPED_TRACE(Language().toStdString());
            body();
        }
    }

    // Shows the window as it would appear, checks it and the texts it asked for.
    void Check(QWidget* window, const QString& label)
    {
        SCOPED_TRACE((ScreenName() + u' ' + Language() + u' ' + label).toStdString());
        if (!window->isVisible())
            window->show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        Settle(window);
        const QStringList problems = CheckLayout(window);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
        CheckDictionary();
        CheckHelpTopic(window);
        KeepTexts(window, label);
        const QString folder = qEnvironmentVariable("VAPORA_SCREENSHOTS");
        if (!folder.isEmpty())
            ScreenPicture(window).save(QStringLiteral("%1/%2-%3-%4.png").arg(folder, ScreenName(), Language(), label));
    }

    // A window its design calls maximised: it is, and fills the available area.
    void CheckMaximised(QWidget* window, const QString& label)
    {
        EXPECT_TRUE(window->windowState() & Qt::WindowMaximized) << label.toStdString() << " is not maximised";
        Check(window, label);
    }

    // The help key opens the window's own section (not just the contents) of the guide in this language.
    void CheckHelpTopic(QWidget* window)
    {
        // Ctrl+F1 is the help key in every window: no window may take it for itself.
        EXPECT_FALSE(GuideHelp::WindowUsesKey(window, QKeySequence(Qt::CTRL | Qt::Key_F1)))
            << window->metaObject()->className() << " takes Ctrl+F1";
        const HelpTopic topic = HelpTopicFor(window);
        EXPECT_FALSE(topic.page == ContentsTopic().page && topic.anchor.isEmpty())
            << window->metaObject()->className() << " has no place in the guide";
        static std::map<QString, GuideBook> books;
        const QString code = LocaleOfLanguageColumn(Language());
        if (books.find(code) == books.end())
            books.emplace(code, GuideBook::Read(QStringLiteral(VAPORA_SOURCE "/docs/guide/") + code));
        const GuidePage* page = books[code].Page(topic.page);
        ASSERT_NE(page, nullptr) << code.toStdString() << ' ' << topic.page.toStdString();
        if (!topic.anchor.isEmpty()) {
            EXPECT_NE(page->Anchored(topic.anchor), nullptr) << topic.page.toStdString() << '#' << topic.anchor.toStdString();
        }
    }

    void CheckDictionary()
    {
        EXPECT_TRUE(dictionary->MissedKeys().isEmpty())
            << "keys missing from the dictionary: " << dictionary->MissedKeys().join(u' ').toStdString();
        EXPECT_TRUE(dictionary->OverlongTexts().isEmpty())
            << "texts over their limit: " << dictionary->OverlongTexts().join(u' ').toStdString();
        EXPECT_TRUE(dictionary->EmptyTexts().isEmpty())
            << "empty texts: " << dictionary->EmptyTexts().join(u' ').toStdString();
        dictionary->ClearFindings();
        dialogs.messages.clear();
    }

    // What a person reads in the window: captions of labels, buttons, group
    // boxes, tabs and menus, by control.
    void KeepTexts(QWidget* window, const QString& label)
    {
        auto& texts = shown_[label][dictionary->LanguageIndex()];
        auto keep = [&texts](const QString& key, const QString& text) {
            if (!text.isEmpty())
                texts[key] = text;
        };
        keep(QStringLiteral("window title"), window->windowTitle());
        // Pop-up menus too: they show only on a right click. A menu whose
        // entry (or that of a menu it hangs from) is hidden never shows.
        auto shown = [](QMenu* menu) {
            for (QWidget* m = menu; qobject_cast<QMenu*>(m) != nullptr; m = m->parentWidget())
                if (!static_cast<QMenu*>(m)->menuAction()->isVisible())
                    return false;
            return true;
        };
        for (QMenu* menu : window->findChildren<QMenu*>())
            if (shown(menu))
                for (QAction* a : menu->actions())
                    if (a->isVisible() && !a->isSeparator() && a->menu() == nullptr)
                        keep(QStringLiteral("menu ") + menu->objectName() + u'/' + a->objectName(), a->text());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (auto* l = qobject_cast<QLabel*>(w))
                keep(l->objectName(), l->text());
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                keep(b->objectName(), b->text());
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                keep(g->objectName(), g->title());
            else if (auto* t = qobject_cast<QTabBar*>(w)) {
                for (int i = 0; i < t->count(); ++i)
                    keep(QStringLiteral("tab %1").arg(i), t->tabText(i));
            } else if (auto* m = qobject_cast<QMenuBar*>(w)) {
                std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
                    for (QAction* a : actions) {
                        if (!a->isVisible() || a->isSeparator())
                            continue;
                        keep(QStringLiteral("menu ") + (a->objectName().isEmpty() && a->menu() ? a->menu()->objectName()
                                                                                               : a->objectName()),
                             a->text());
                        if (a->menu() != nullptr)
                            walk(a->menu()->actions());
                    }
                };
                walk(m->actions());
            }
        }
    }

    // A caption that reads the same in every language is one the window never
    // translated, unless the dictionary itself says so for a row.
    void CheckTranslated()
    {
        QSet<QString> same;
        const QDir data(QStringLiteral(VAPORA_SOURCE "/data"));
        const QStringList sources = test::ShippedDictionarySources(data);
        for (const QString& path : sources) {
            DictionarySource source;
            if (ReadDictionarySource(path, &source))
                for (const QStringList& row : source.rows)
                    if (row.size() > 2 && row[1] == row[2])
                        same.insert(row[1]);
        }
        const QRegularExpression word(QStringLiteral("[A-Za-z\\x{00C0}-\\x{00FF}]{4,}"));
        const QRegularExpression fileName(QStringLiteral("\\.[A-Za-z0-9]{1,4}$"));
        for (const auto& [label, byLanguage] : shown_) {
            if (byLanguage.size() < 2)
                continue;
            const auto& first = byLanguage.begin()->second;
            const auto& second = std::next(byLanguage.begin())->second;
            QStringList untranslated;
            for (const auto& [key, text] : first) {
                const auto other = second.find(key);
                if (other != second.end() && other->second == text && text.contains(word) && !same.contains(text) &&
                    !same.contains(text.section(QStringLiteral(" = "), 1)) &&
                    !text.contains(fileName))
                    untranslated << key + QStringLiteral(" \"") + text + u'"';
            }
            EXPECT_TRUE(untranslated.isEmpty()) << label.toStdString() << " shows the same text in every language: "
                                                << untranslated.join(QStringLiteral(", ")).toStdString();
        }
    }

    QTemporaryDir dir;
    FakeClock clock;
    ScriptedDialogs dialogs;
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    std::unique_ptr<ConfCar> car;
    std::unique_ptr<GlobalData> settings;
    std::unique_ptr<TDataModuleMur> dictionary;
    AppContext ctx;

private:
    QString previous_;
    std::map<QString, std::map<int, std::map<QString, QString>>> shown_;
};

} // namespace vapora::test
