// Renders the configuration window's two map pages to PNG files in the folder
// given (default the current one), connected to the simulated unit with the
// engine running, so the live marker stands where the engine runs.

#include "services/AppContext.h"
#include "LinkObject.h"
#include "editor/MapPages.h"
#include "editor/PetrolMapGrid.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

using namespace vapora;

namespace {

struct Bench {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    test::FakeClock clock;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ConfCar> car;
    AppContext ctx;

    explicit Bench(int modelCode)
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        unit->SetModelCode(static_cast<uint8_t>(modelCode));
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        link->OpenLink();
        link->Connect();
        car = std::make_unique<ConfCar>("demo.vap", link.get(), clock);
        car->ReadIdentification();
        car->ReadAll();
        car->WriteThrough = true;
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
    }
};

void Shoot(TFormConfig& form, int page, const QDir& dir, const char* name)
{
    form.SelectPage(page);
    for (int i = 0; i < 40; ++i) {
        form.Timer1Timer();
        QApplication::processEvents();
    }
    const QString path = dir.filePath(QString::fromLatin1(name));
    form.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    {
        Bench bench(1);
        bench.unit->engine().SetTarget(2650, 95, 120);
        // Corrections the unit has learned around where the car was driven.
        for (int r = 2; r < 7; ++r)
            for (int c = 6; c < 14; ++c)
                bench.unit->StoreElement(55, r * 20 + c, ((r * 7 + c * 5) % 17) - 8);
        TFormConfig form(bench.ctx);
        auto* gas = form.findChild<GasMapPage*>();
        form.resize(1024, 700);
        form.show();
        form.Timer1()->stop(); // the ticks below stand in for the timer
        Shoot(form, TFormConfig::kTabMappa, dir, "mappa.png");
        gas->CheckAdattativita()->setChecked(true);
        Shoot(form, TFormConfig::kTabMappa, dir, "mappa-adattativita.png");
        form.hide();
    }
    {
        Bench bench(3);
        bench.unit->engine().SetTarget(3100, 110, 140);
        ConfCar& car = *bench.car;
        // A petrol map completed from a few learned points, some cells marked as learned.
        for (int k = 0; k < 12; ++k) {
            const int col = (k * 5) % 12;
            const int row = (k * 7) % 12;
            const double volts = car.GetPetrolMapRef(row);
            car.AddLearnedPoint(car.GetPetrolRpmRef(col), volts, 1.8 + 0.0009 * car.GetPetrolRpmRef(col) + 1.1 * volts,
                                col, row, 0);
        }
        TFormConfig form(bench.ctx);
        form.findChild<PetrolMapPage*>()->MenuInterpolaClick();
        form.resize(1024, 700);
        form.show();
        form.Timer1()->stop();
        Shoot(form, TFormConfig::kTabMappaBenzina, dir, "mappa-benzina.png");
        form.hide();
    }
    return 0;
}
