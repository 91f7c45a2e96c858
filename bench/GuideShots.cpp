// The pictures of the guide, made by the program itself: every window the
// guide shows, on the simulated unit, with the shipped dictionary, in each of
// its languages, on a 1024x768 screen.
//
//   guide_shots GUIDE_FOLDER MAIN_FOLDER [NAME...]
//
// writes GUIDE_FOLDER/<language>/img/<name>.png for every language the
// dictionary of MAIN_FOLDER (a generated main folder) has a guide folder for;
// with names given, only those pictures. Prints each file written.

#include "SimulatedSession.h"

#include "app/TAboutBox.h"
#include "app/TFormGuida.h"
#include "app/TFormMain.h"
#include "app/TFormPortaSeriale.h"
#include "app/TFormPuntiRipristino.h"
#include "app/TFormScarica.h"
#include "app/TFormSceltaCarb.h"
#include "calib/RoadCalibration.h"
#include "calib/forms/TFormCalibra2.h"
#include "calib/forms/TFormCalibraStrada.h"
#include "calib/forms/TFormCalibrazione.h"
#include "calib/forms/TFormDiagnosi.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "calib/forms/TFormParCalStrada.h"
#include "calib/forms/TFormPressione.h"
#include "calib/forms/TFormSceltaCal.h"
#include "calib/forms/TFormTemperatura.h"
#include "calib/forms/TFormVisualizza.h"
#include "editor/GasMapGrid.h"
#include "editor/MapPages.h"
#include "editor/MapTools.h"
#include "editor/PetrolMapGrid.h"
#include "editor/TFormCentriCelle.h"
#include "editor/TFormModMappa.h"
#include "files/TFormFile.h"
#include "files/TFormGestioneFile.h"
#include "files/TFormSaveOption.h"
#include "model/RestorePoints.h"
#include "services/AppMessages.h"
#include "services/MessageTable.h"
#include "services/i18n/QtTranslations.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/platform/FilePaths.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "widgets/TFormAttesa.h"
#include "wire/SerialPorts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cstdio>
#include <functional>
#include <memory>

using namespace vapora;

namespace {

void Settle()
{
    for (int i = 0; i < 8; ++i)
        QApplication::processEvents();
}

// Copies the generated main folder (without its copy of the guide) to a folder of the run.
bool CopyMainFolder(const QDir& from, const QDir& to)
{
    QDirIterator it(from.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = from.relativeFilePath(source);
        if (relative == QLatin1String("guide") || relative.startsWith(QLatin1String("guide/")))
            continue;
        const QString target = to.filePath(relative);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target); // empty folders too: recordings go to one
            continue;
        }
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target))
            return false;
    }
    return true;
}

// One language's run: a main folder of its own, the unit, the record, the
// settings and the dictionary, as the program has them.
class Shots {
public:
    Shots(const QDir& guide, const QDir& mainFolder, int language) : guide_(guide), language_(language)
    {
        if (!CopyMainFolder(mainFolder, QDir(work_.path())))
            std::fprintf(stderr, "guide_shots: cannot copy %s\n", qPrintable(mainFolder.path()));
        QDir::setCurrent(work_.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work_.filePath(QStringLiteral("config")));
        auto sim = std::make_unique<sernox::SimUnit>();
        unit_ = sim.get();
        link_ = std::make_unique<sernox::LinkObject>(std::move(sim));
        link_->OpenLink();
        link_->Connect();
        car_ = std::make_unique<ConfCar>("demo.vap", link_.get(), clock_);
        car_->ReadIdentification();
        car_->ReadAll();
        settings_ = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaGuide"), dialogs_, work_.path());
        settings_->SetValue(GlobalData::kLanguage, language);
        dictionary_ = std::make_unique<TDataModuleMur>(dialogs_);
        dictionary_->Open(work_.path(), QStringLiteral("DizVapora.dbf"));
        dictionary_->SelectLanguage(language);
        messages_.Load(*dictionary_);
        ctx_.link = link_.get();
        ctx_.car = car_.get();
        ctx_.settings = settings_.get();
        ctx_.dialogs = &dialogs_;
        ctx_.clock = &clock_;
        ctx_.dictionary = dictionary_.get();
        ctx_.messages = &messages_;
        ctx_.mainFolder = work_.path();
        const QString column = dictionary_->ColumnNames().value(language + 1);
        code_ = LocaleOfLanguageColumn(column);
        out_ = QDir(guide_.filePath(code_ + QStringLiteral("/img")));
    }

    // The guide has a folder for this language.
    bool Wanted() const { return QFileInfo(guide_.filePath(code_ + QStringLiteral("/index.md"))).isFile(); }

    void Run(const QStringList& only)
    {
        only_ = only;
        QDir().mkpath(out_.path());
        MainWindow();
        SmallWindows();
        FileWindows();
        RestorePoints();
        ConfigurationWindow();
        MapPages();
        Recording();
        Monitoring();
        Calibration();
        Firmware();
        Guide();
    }

private:
    bool Skip(const char* name) const { return !only_.isEmpty() && !only_.contains(QString::fromLatin1(name)); }

    QString Text(const char* key) const
    {
        QString text;
        dictionary_->Lookup(QString::fromLatin1(key), text);
        return text;
    }

    void Save(QWidget& window, const char* name)
    {
        if (Skip(name))
            return;
        if (!window.isVisible())
            window.show();
        Settle();
        const QString path = out_.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        window.grab().save(path);
        std::printf("%s\n", qPrintable(path));
    }

    // A window that says something unexpected while it is shot makes a wrong picture: tell.
    void Report(const char* where)
    {
        for (const test::ShownMessage& m : dialogs_.messages)
            std::fprintf(stderr, "guide_shots: %s said: %s\n", where, qPrintable(m.text));
        dialogs_.messages.clear();
    }

    // The window's own timers would step the engine at the pace of the clock on the wall; the
    // ticks below stand in for them, so that every run makes the same pictures.
    static void StopTimers(QWidget& window)
    {
        for (QTimer* timer : window.findChildren<QTimer*>())
            timer->stop();
    }

    // Live refreshes of a window, each one step of the simulated engine.
    void Ticks(int count, const std::function<void()>& tick)
    {
        for (int i = 0; i < count; ++i) {
            clock_.now += 150;
            tick();
        }
        Settle();
    }

    void MainWindow()
    {
        // The start runs the first connection and the fuel choice, which shows connected.
        dialogs_.windows.push_back([this](QDialog* shown) {
            Save(*shown, "scelta-carburante");
            return int(QDialog::Accepted);
        });
        TFormMain form(ctx_);
        form.show();
        for (int i = 0; i < 200 && !form.ShowHandled(); ++i)
            QApplication::processEvents();
        Save(form, "main");
        {
            TAboutBox box(&form);
            box.SetProductName(form.windowTitle());
            box.SetVersion(messages_.Text(QStringLiteral("LabelVersione")) + QStringLiteral(" 4.5"));
            Save(box, "informazioni");
        }
        form.hide();
        dialogs_.windows.clear();
        dialogs_.messages.clear();
    }

    void SmallWindows()
    {
        {
            TFormPortaSeriale::State state;
            state.current = QStringLiteral("serial:/dev/ttyUSB0");
            TFormPortaSeriale form(dictionary_.get(), state, [] {
                std::vector<sernox::wire::SerialPortInfo> ports(2);
                ports[0].path = "/dev/ttyS0";
                ports[1].path = "/dev/ttyUSB0";
                ports[1].description = "USB-Serial Controller";
                return ports;
            });
            Save(form, "porta-seriale");
        }
        {
            TFormSceltaCarb form(dictionary_.get(), false, 0);
            Save(form, "scelta-carburante-sconnessa");
        }
        {
            std::unique_ptr<QMessageBox> box(QtDialogService::NewMessageBox(
                nullptr, ctx_.applicationTitle, messages_.NoConnection(), MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok));
            Save(*box, "messaggio-nessuna-connessione");
        }
        {
            TFormAttesa wait;
            wait.setWindowTitle(Text("FinestraCaricaDati"));
            wait.SetMessage(Text("LabelCaricaDati"));
            wait.SetProgressSuffix(QLatin1Char(' ') + Text("MessCompletato") + QLatin1Char(' '));
            wait.show();
            ProgressEvent progress(62, false);
            QApplication::sendEvent(&wait, &progress);
            Save(wait, "attesa");
        }
    }

    void FileWindows()
    {
        QWidget owner;
        ConfCar& car = *car_;
        // The vehicle data an installer fills in when saving.
        car.SetVehicleText(1, "Berlina 1.6 16V");
        car.SetVehicleText(2, "EURO4");
        car.SetVehicleText(3, "1.6 16V benzina");
        car.SetVehicleText(4, "Iniezione sequenziale");
        car.SetVehicleText(5, "Manuale 5 marce");
        car.SetVehicleNumber(6, 1600);
        car.SetVehicleNumber(7, 16);
        car.SetVehicleNumber(8, 4);
        car.SetVehicleNumber(9, 2008);
        car.SetPower(77.5f);
        {
            TFormSaveOption form(dictionary_.get());
            form.SetDisplacement(1600);
            form.SetMethane(false);
            Save(form, "opzioni-salvataggio");
        }
        {
            TFormGestioneFile form(ctx_, &owner, ctx_.mainFolder);
            Save(form, "gestione-file");
        }
        {
            bool found = false;
            TFormFile form(ctx_, &owner, &found, TFormFile::kLoad, ctx_.mainFolder);
            Save(form, "file-carica");
        }
        {
            TFormFile form(ctx_, &owner, nullptr, TFormFile::kSave, ctx_.mainFolder);
            Save(form, "file-salva");
        }
        QDir::setCurrent(work_.path());
    }

    std::unique_ptr<TFormConfig> NewConfig()
    {
        auto form = std::make_unique<TFormConfig>(ctx_);
        form->SetRecordingFolder(work_.filePath(QStringLiteral("Acquisizioni")));
        form->SetCalibrationFolder(work_.filePath(QStringLiteral("Calibrazione")));
        form->SetTemporaryFolder(work_.path());
        form->LoadTexts();
        form->show();
        form->Timer1()->stop(); // the ticks below stand in for the timer
        return form;
    }

    void RestorePoints()
    {
        // A car's history at fixed moments, so that every run makes the same picture.
        QDir(work_.filePath(QStringLiteral("Storico"))).removeRecursively();
        using namespace std::chrono;
        const sys_days day1 = year{2026} / November / 3, day2 = year{2026} / December / 9;
        const system_clock::time_point moments[] = {day1 + 9h + 12min + 40s, day1 + 9h + 20min + 5s,
                                                    day1 + 10h + 2min + 31s, day2 + 14h + 32min + 5s};
        const restore::Reason reasons[] = {restore::Reason::Read, restore::Reason::FileLoad,
                                           restore::Reason::Calibration, restore::Reason::Read};
        ConfCar& car = *ctx_.car;
        const int cell = car.GetGasMapCell(3, 4);
        for (int i = 0; i < 4; ++i) {
            restore::Store store(FsPath(ctx_.mainFolder), [&moments, i] { return moments[i]; });
            if (store.Take(car, reasons[i]).status != restore::TakeStatus::Taken)
                std::fprintf(stderr, "guide_shots: restore point %d was not taken\n", i);
            car.SetGasMapCell(3, 4, cell + i + 1);
        }
        car.SetGasMapCell(3, 4, cell);
        TFormPuntiRipristino::Actions actions;
        actions.restore = [](const restore::Point&) { return false; };
        actions.open = [](const restore::Point&) { return false; };
        actions.compareMap = [](const restore::Point&, bool) {};
        QWidget owner;
        TFormPuntiRipristino form(ctx_, actions, &owner);
        form.ShowAll()->setChecked(true);
        form.Refresh();
        form.Select(0);
        Report("the restore points");
        Save(form, "punti-ripristino");
    }

    void ConfigurationWindow()
    {
        unit_->engine().SetTarget(2400, 80, 100);
        auto form = NewConfig();
        const struct {
            int page;
            const char* name;
        } pages[] = {{TFormConfig::kTabCambio, "config-giri-cambio"},
                     {TFormConfig::kTabLambda, "config-lambda"},
                     {TFormConfig::kTabTps, "config-tps"},
                     {TFormConfig::kTabSensore, "config-emulazione"},
                     {TFormConfig::kTabCutoff, "config-cutoff"},
                     {TFormConfig::kTabArricchimento, "config-arricchimenti"},
                     {TFormConfig::kTabEmissioni, "config-emissioni"},
                     {TFormConfig::kTabVarie, "config-varie"}};
        for (const auto& p : pages) {
            form->SelectPage(p.page);
            Ticks(25, [&] { form->Timer1Timer(); });
            Save(*form, p.name);
        }
        {
            TFormTemperatura window(*car_, form.get(), dictionary_.get());
            Save(window, "temperatura");
        }
        {
            TFormPressione window(ctx_, form.get());
            Save(window, "pressione");
        }
        form->hide();
    }

    void MapPages()
    {
        ConfCar& car = *car_;
        unit_->engine().SetTarget(2650, 95, 120);
        // Corrections the unit has learned around where the car was driven.
        for (int r = 2; r < 7; ++r)
            for (int c = 6; c < 14; ++c)
                unit_->StoreElement(55, r * 20 + c, ((r * 7 + c * 5) % 17) - 8);
        auto form = NewConfig();
        auto* gas = form->findChild<GasMapPage*>();
        auto* petrol = form->findChild<PetrolMapPage*>();
        form->SelectPage(TFormConfig::kTabMappa);
        Ticks(40, [&] { form->Timer1Timer(); });
        gas->DrawGridMap()->SetSelection(8, 3, 11, 5);
        Save(*form, "mappa-gas");
        if (!Skip("menu-mappa")) {
            QMenu* menu = gas->DrawGridMap()->PopupMenuGrid();
            gas->Tools()->UpdateActions();
            menu->popup(gas->DrawGridMap()->mapToGlobal(QPoint(40, 40)));
            Save(*menu, "menu-mappa");
            menu->hide();
        }
        gas->CheckAdattativita()->setChecked(true);
        Ticks(5, [&] { form->Timer1Timer(); });
        Save(*form, "mappa-adattativita");
        gas->CheckAdattativita()->setChecked(false);
        {
            // The window's own box, with its texts; shown as a block of cells opens it.
            TFormModMappa& box = *form->ModMappa();
            box.Edit1()->setText(QStringLiteral("5"));
            box.ModeButton(2)->setChecked(true);
            Save(box, "variazione-cella");
            box.hide();
        }
        {
            TFormCentriCelle dialog(ctx_, form.get());
            Save(dialog, "riferimenti");
        }

        // The comparison with the file saved before a few changes, then the colours.
        const QString file = work_.filePath(QStringLiteral("Configurazioni/Prima.vap"));
        car.SaveToFile(QFile::encodeName(file).toStdString(), 0);
        for (int r = 2; r < 6; ++r)
            for (int c = 5; c < 11; ++c)
                car.SetGasMapCell(r, c, car.GetGasMapCell(r, c) + (c - 4) * 4);
        car.SetGasMapCell(6, 15, car.GetGasMapCell(6, 15) - 30);
        gas->Tools()->Follow();
        gas->Tools()->CompareWith(file);
        form->SelectPage(TFormConfig::kTabMappa);
        Ticks(5, [&] { form->Timer1Timer(); });
        Save(*form, "mappa-confronto");
        gas->Tools()->SetComparisonShown(false);
        gas->Tools()->SetHeatMap(true);
        Ticks(5, [&] { form->Timer1Timer(); });
        Save(*form, "mappa-colori");
        gas->Tools()->SetHeatMap(false);

        // A petrol map completed from a few learned points.
        unit_->engine().SetTarget(3100, 110, 140);
        for (int k = 0; k < 12; ++k) {
            const int col = (k * 5) % 12;
            const int row = (k * 7) % 12;
            const double volts = car.GetPetrolMapRef(row);
            car.AddLearnedPoint(car.GetPetrolRpmRef(col), volts, 1.8 + 0.0009 * car.GetPetrolRpmRef(col) + 1.1 * volts,
                                col, row, 0);
        }
        petrol->MenuInterpolaClick();
        form->SelectPage(TFormConfig::kTabMappaBenzina);
        Ticks(40, [&] { form->Timer1Timer(); });
        Save(*form, "mappa-benzina");
        form->hide();
        dialogs_.messages.clear();
    }

    void Recording()
    {
        // A recording of the simulated drive made by the configuration window, then its graph.
        unit_->engine().UseDriveCycle();
        auto form = NewConfig();
        form->SelectPage(TFormConfig::kTabMappa);
        form->MenuCominciaDrtClick();
        Ticks(600, [&] { form->Timer1Timer(); });
        const QString path = work_.filePath(QStringLiteral("Acquisizioni/prova.txt"));
        dialogs_.fileNames.push_back(path);
        form->MenuTerminaDrtClick();
        form->hide();
        if (!QFileInfo(path).isFile())
            std::fprintf(stderr, "guide_shots: the recording was not saved\n");
        TFormGraficoDrt graph(ctx_, path);
        Report("the graph");
        graph.setWindowState(Qt::WindowNoState);
        graph.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        Save(graph, "grafico");
        // The readout: two cursors pinned, and the same drive laid over itself a little later.
        graph.AddRecording(path);
        graph.ShiftSecond(60);
        graph.PinCursor(20.0);
        graph.PinCursor(50.0);
        Report("the graph's readout");
        Save(graph, "grafico-cursori");
    }

    void Monitoring()
    {
        unit_->engine().SetTarget(2480, 84, 92);
        {
            TFormVisualizza display(ctx_);
            StopTimers(display);
            display.show();
            Ticks(20, [&] { display.Timer1Timer(); });
            Save(display, "visualizzazione");
        }
        unit_->StoreElement(57, 0, 0x0024); // temperature sensor and lean side in error
        car_->SetDiagParam(0, 2, 0x077B);   // the checks enabled
        unit_->StoreElement(59, 0, 7391); // 2463 h 40 min on gas
        unit_->StoreElement(60, 0, 1234);
        {
            TFormDiagnosi diagnosis(ctx_);
            StopTimers(diagnosis);
            Save(diagnosis, "diagnosi");
        }
        unit_->StoreElement(57, 0, 0);
    }

    void Calibration()
    {
        {
            TFormSceltaCal form(dictionary_.get());
            Save(form, "scelta-calibrazione");
        }
        {
            // Idle on gas with a warm reducer: the steps reach the pressure check.
            unit_->engine().SetTarget(850, 30, 28);
            TFormCalibrazione form(ctx_, false, work_.filePath(QStringLiteral("Calibrazione")));
            StopTimers(form);
            form.show();
            form.EditCilindrataEnter();
            Ticks(30, [&] { form.Tick(); });
            form.FormKeyDown(Qt::Key_Return);
            Ticks(30, [&] { form.Tick(); });
            Save(form, "calibrazione");
            {
                TFormCalibra2 second(ctx_, &form);
                StopTimers(second);
                second.show();
                Ticks(20, [&] { second.Tick(); });
                Save(second, "minimo-clima");
            }
            form.hide();
        }
        {
            unit_->engine().UseDriveCycle();
            TFormCalibraStrada road(ctx_);
            StopTimers(road);
            road.show();
            Ticks(900, [&] { road.Tick(); });
            Save(road, "strada");
        }
        {
            TFormParCalStrada form(RoadTuning{}, QColor(192, 192, 192), Qt::white, nullptr, dictionary_.get());
            Save(form, "parametri-strada");
        }
        dialogs_.messages.clear();
    }

    void Firmware()
    {
        TFormScarica form(ctx_);
        form.SetFileFolder(work_.filePath(QStringLiteral("Programmazione")));
        dialogs_.fileNames.push_back(work_.filePath(QStringLiteral("Programmazione/Vapora15.pec")));
        dialogs_.windows.push_back([this](QDialog* shown) {
            Save(*shown, "programmazione");
            return int(QDialog::Rejected);
        });
        form.Run();
        dialogs_.windows.clear();
    }

    void Guide()
    {
        TFormGuida guide(ctx_);
        guide.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        guide.show();
        guide.Open(guide_.path(), {QStringLiteral("maps.md"), QStringLiteral("mappa-gas"), {}});
        guide.Search(Text("TabMappa").remove(QLatin1Char('&')));
        guide.Results()->setCurrentRow(0);
        Save(guide, "guida");
    }

    QDir guide_;
    int language_;
    QString code_;
    QDir out_;
    QStringList only_;
    QTemporaryDir work_;
    test::FakeClock clock_;
    test::ScriptedDialogs dialogs_;
    sernox::SimUnit* unit_ = nullptr;
    std::unique_ptr<sernox::LinkObject> link_;
    std::unique_ptr<ConfCar> car_;
    std::unique_ptr<GlobalData> settings_;
    std::unique_ptr<TDataModuleMur> dictionary_;
    MessageTable messages_;
    AppContext ctx_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: guide_shots GUIDE_FOLDER MAIN_FOLDER [NAME...]\n");
        return 1;
    }
    // The guide's pictures are of a 1024x768 workshop screen.
    QTemporaryDir screens;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString config = screens.filePath(QStringLiteral("1024x768.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens":[{"name":"S","x":0,"y":0,"width":1024,"height":768,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    }
    QApplication app(argc, argv);
    const QDir guide(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    const QDir mainFolder(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    if (!QFileInfo(mainFolder.filePath(QStringLiteral("DizVapora.dbf"))).isFile()) {
        std::fprintf(stderr, "guide_shots: no dictionary in %s\n", argv[2]);
        return 1;
    }
    QStringList only;
    for (int i = 3; i < argc; ++i)
        only << QString::fromLocal8Bit(argv[i]);
    int languages = 0;
    {
        test::ScriptedDialogs dialogs;
        TDataModuleMur dictionary(dialogs);
        if (dictionary.Open(mainFolder.path(), QStringLiteral("DizVapora.dbf")))
            languages = dictionary.LanguageCount();
    }
    const QString start = QDir::currentPath();
    for (int language = 0; language < languages; ++language) {
        {
            Shots shots(guide, mainFolder, language);
            if (shots.Wanted())
                shots.Run(only);
        }
        QDir::setCurrent(start);
    }
    return 0;
}
