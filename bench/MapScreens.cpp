// Renders the configuration window's two map pages to PNG files in the folder
// given (default the current one), connected to the simulated unit with the
// engine running, so the live marker stands where the engine runs.

#include "SimulatedSession.h"
#include "editor/MapPages.h"
#include "editor/PetrolMapGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

using namespace vapora;
using namespace vapora::bench;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    {
        SimulatedSession bench(1);
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
        ShootPage(form, TFormConfig::kTabMappa, 40, dir, "mappa.png");
        gas->CheckAdattativita()->setChecked(true);
        ShootPage(form, TFormConfig::kTabMappa, 40, dir, "mappa-adattativita.png");
        form.hide();
    }
    {
        SimulatedSession bench(3);
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
        ShootPage(form, TFormConfig::kTabMappaBenzina, 40, dir, "mappa-benzina.png");
        form.hide();
    }
    return 0;
}
