// The file windows with the shipped dictionary: every key they read is in it,
// and every caption fits its control in both languages. With
// VAPORA_SCREENSHOTS set to a folder, the windows are also saved there as PNG.
#include "FilesFixture.h"
#include "support/ShippedDictionary.h"
#include "app/TFormScarica.h"
#include "editor/TFormConfig.h"
#include "services/platform/FilePaths.h"
#include "files/TFormFile.h"
#include "files/TFormGestioneFile.h"
#include "files/TFormSaveOption.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>

using namespace vapora;
using namespace vapora::test;

namespace {

class WindowTexts : public FilesTest, public ::testing::WithParamInterface<int> {
protected:
    std::unique_ptr<TDataModuleMur> dictionary;

    void SetUp() override
    {
        FilesTest::SetUp();
        const QDir data(QStringLiteral(VAPORA_DATA_DIR));
        const QStringList sources = test::ShippedDictionarySources(data);
        QString error;
        ASSERT_TRUE(MakeDictionary(sources, Path("DizVapora.dbf"), &error)) << error.toStdString();
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ASSERT_TRUE(dictionary->Open(dir.path(), QStringLiteral("DizVapora.dbf")));
        dictionary->SelectLanguage(GetParam());
        ctx.dictionary = dictionary.get();
    }

    // Texts cut by their control are what a user of the other language sees first.
    static void ExpectTextsFit(QWidget& window)
    {
        window.ensurePolished();
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (w->isHidden())
                continue;
            QString text;
            int room = w->width();
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->wordWrap() || label->pixmap().isNull() == false)
                    continue;
                text = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                text = button->text();
                if (qobject_cast<QCheckBox*>(w) != nullptr || qobject_cast<QRadioButton*>(w) != nullptr)
                    room -= w->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                            w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
                else
                    room -= 8;
            } else {
                continue;
            }
            text.remove(QLatin1Char('&'));
            EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room)
                << qPrintable(window.objectName()) << "/" << qPrintable(w->objectName()) << ": "
                << qPrintable(text);
            const QWidget* parent = w->parentWidget();
            EXPECT_TRUE(parent->rect().contains(w->geometry()))
                << qPrintable(w->objectName()) << " leaves " << qPrintable(parent->objectName());
        }
    }

    void Check(QWidget& window, const char* name)
    {
        ExpectTextsFit(window);
        const QByteArray folder = qgetenv("VAPORA_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        window.show();
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/%2_%3.png").arg(QString::fromLocal8Bit(folder), QLatin1String(name),
                                                                GetParam() == 0 ? "it" : "en");
        EXPECT_TRUE(window.grab().save(file));
        window.hide();
    }
};

TEST_P(WindowTexts, AreAllInTheDictionaryAndFitTheirControls)
{
    car->SetConfigName("UTILITARIA 1.2");
    car->SetVehicleText(1, "Utilitaria 1.2 8V");
    car->SetVehicleText(2, "Euro 4");
    car->SetVehicleText(3, "188A4000");
    car->SetVehicleText(4, "Sequenziale 4 cil.");
    car->SetVehicleText(5, "Manuale 5 marce");
    car->SetVehicleNumber(6, 1242);
    car->SetVehicleNumber(7, 8);
    car->SetVehicleNumber(8, 4);
    car->SetVehicleNumber(9, 2005);
    car->SetPower(44.13f);
    QDir().mkpath(Path("Configurazioni"));
    ASSERT_TRUE(car->SaveToFile(LocalFilePath(Path("Configurazioni/UTILITARIA 1.2.vap")), 0));
    car->SetStatusFlag(ConfCar::kOfficial, false);
    car->SetVehicleText(1, "Berlina 1.4");
    ASSERT_TRUE(car->SaveToFile(LocalFilePath(Path("Configurazioni/berlina 1.4.vap")), 0));
    car->SetStatusFlag(ConfCar::kOfficial, true);
    ASSERT_TRUE(car->SaveToFile(LocalFilePath(Path("Configurazioni/COMPATTA.vap")), 0));

    {
        TFormFile save(ctx, &owner, nullptr, TFormFile::kSave, dir.path());
        save.Activate();
        Check(save, "file_save");
    }
    {
        TFormFile load(ctx, &owner, nullptr, TFormFile::kLoad, dir.path());
        load.Activate();
        Check(load, "file_load");
    }
    {
        TFormSaveOption options(ctx.dictionary, &owner);
        options.SetDisplacement(1242);
        Check(options, "save_options");
    }
    {
        TFormGestioneFile management(ctx, &owner, dir.path());
        Check(management, "file_management");
    }
    {
        Write(Path("Programmazione/VAP1865.pec"), "encoded");
        SetTime(Path("Programmazione/VAP1865.pec"), QDateTime(QDate(2004, 10, 4), QTime(9, 30)));
        TFormScarica firmware(ctx);
        dialogs.fileNames = {Path("Programmazione/VAP1865.pec")};
        dialogs.windows.push_back([&](QDialog* d) {
            Check(*d, "firmware");
            return int(QDialog::Rejected);
        });
        firmware.Run();
    }
    for (const ShownMessage& m : dialogs.messages)
        ADD_FAILURE() << "message: " << qPrintable(m.text);
}

// Two windows use one component name for different captions; each caption
// comes from a key of its own.
TEST_P(WindowTexts, SharedComponentNamesKeepTheirOwnCaptions)
{
    const bool italian = GetParam() == 0;
    {
        TFormConfig config(ctx);
        config.LoadTexts();
        auto* graph = config.findChild<QAction*>(QStringLiteral("MenuGrafico"));
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(graph->text(), italian ? "&Visualizza grafico" : "&Show graph");
        auto* changeover = config.findChild<QLabel*>(QStringLiteral("LabelCambio"));
        ASSERT_NE(changeover, nullptr);
        EXPECT_EQ(changeover->text(), italian ? "Tipo di cambio" : "Changeover type");
    }
    {
        TFormFile save(ctx, &owner, nullptr, TFormFile::kSave, dir.path());
        auto* gearbox = save.findChild<QLabel*>(QStringLiteral("LabelCambioVettura"));
        ASSERT_NE(gearbox, nullptr);
        EXPECT_EQ(gearbox->text(), italian ? "Cambio" : "Gearbox");
    }
    for (const ShownMessage& m : dialogs.messages)
        ADD_FAILURE() << "message: " << qPrintable(m.text);
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowTexts, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? std::string("Italian") : std::string("English");
                         });

} // namespace
