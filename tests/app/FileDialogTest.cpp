// Qt's own file dialog, as the program shows it, in the program's language:
// the texts Qt's translation lacks, sizes and dates by the chosen language's
// locale whatever the system's, and column headings whole.
#include "services/i18n/DbfWriter.h"
#include "services/i18n/QtTranslations.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/ui/DialogService.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractProxyModel>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace vapora::test {
namespace {

TEST(FileDialog, SpeaksTheProgramsLanguage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Metano")));
    const QString file = dir.filePath(QStringLiteral("punto.vap"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, '\0'));
    }
    QString error;
    ASSERT_TRUE(WriteDictionary(dir.filePath(QStringLiteral("DizVapora.dbf")), {"IDENTIF", "ITALIANO", "ENGLISH"},
                                {{"MenuLingua", "Italiano", "English"},
                                 {"QtCartella", "Cartella", "Folder"},
                                 {"QtFileTipo", "File %1", "%1 File"}},
                                &error))
        << error.toStdString();
    ScriptedDialogs dialogs;
    TDataModuleMur dictionary(dialogs);
    ASSERT_TRUE(dictionary.Open(dir.path(), QStringLiteral("DizVapora.dbf")));

    const struct {
        int language;
        const char* locale;
        const char* folder;
        const char* vap;
    } languages[] = {{0, "it", "Cartella", "File VAP"}, {1, "en", "Folder", "VAP File"}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.locale);
        dictionary.SelectLanguage(l.language);
        ASSERT_EQ(ProgramLocale().name().left(2), QLatin1String(l.locale));
        std::unique_ptr<QFileDialog> dialog(QtDialogService::NewFileDialog(
            nullptr, QStringLiteral("Apri"), dir.path(), QStringLiteral("Murazzoni Vapora (*.vap)"),
            QtDialogService::FileDialogKind::Open));
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* files = dialog->findChild<QFileSystemModel*>();
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(files, nullptr);
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* shown = view->model();
        auto* proxy = dialog->proxyModel();
        ASSERT_NE(proxy, nullptr);
        auto cell = [&](const QString& path, int column) {
            return proxy->mapFromSource(files->index(path, column)).data().toString();
        };
        EXPECT_EQ(cell(dir.filePath(QStringLiteral("Metano")), 2), QLatin1String(l.folder));
        EXPECT_EQ(cell(file, 2), QLatin1String(l.vap));
        const QLocale locale(QLatin1String(l.locale));
        EXPECT_EQ(cell(file, 1), locale.formattedDataSize(2048, 1, QLocale::DataSizeTraditionalFormat));
        EXPECT_EQ(cell(file, 3), locale.toString(QFileInfo(file).lastModified(), QLocale::ShortFormat));

        const QHeaderView* header = view->header();
        const QFontMetrics fm(header->font());
        for (int i = 0; i < header->count(); ++i) {
            const QString heading = shown->headerData(i, Qt::Horizontal).toString();
            EXPECT_GT(header->sectionSize(i), fm.horizontalAdvance(heading)) << heading.toStdString();
        }
        const QString pictures = qEnvironmentVariable("VAPORA_SCREENSHOTS");
        if (!pictures.isEmpty()) {
            dialog->show();
            if (QTest::qWaitForWindowExposed(dialog.get()))
                QTest::qWait(500); // the file list fills in the background
            dialog->grab().save(QStringLiteral("%1/FileDialog-%2.png").arg(pictures, QLatin1String(l.locale)));
        }
    }
    dictionary.SelectLanguage(1); // the other tests of this program expect Qt's English
}

} // namespace
} // namespace vapora::test
