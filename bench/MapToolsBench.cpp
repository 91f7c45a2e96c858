// Time an undo (and the redo) of a full-map paste takes on the simulated unit,
// for the gas map (160 cells) and the petrol map (144 cells), each value
// written through the record to the unit. With a folder given, also saves the
// configuration window's map pages with a comparison and with the colouring
// by value, to look at.

#include "SimulatedSession.h"
#include "editor/GasMapGrid.h"
#include "editor/MapPages.h"
#include "editor/MapRecord.h"
#include "editor/MapTools.h"
#include "editor/PetrolMapGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vapora;
using namespace vapora::bench;

namespace {

QString FullMapText(int rows, int columns, bool petrol, int round)
{
    QStringList lines;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << (petrol ? QString::number(1.0 + 0.1 * ((r + c + round) % 40), 'f', 2)
                             : QString::number(100 + (r * 7 + c * 3 + round) % 300));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QStringLiteral("\r\n"));
}

void Measure(const char* name, MapGrid& grid, MapTools& tools, ConfCar& car, MapKind kind, int rows, int columns)
{
    constexpr int kRounds = 20;
    std::vector<double> undo;
    std::vector<double> redo;
    int mismatches = 0;
    for (int round = 0; round < kRounds; ++round) {
        const MapState start = ReadMapState(car, kind);
        QGuiApplication::clipboard()->setText(FullMapText(rows, columns, kind == MapKind::Petrol, round + 1));
        grid.SetSelection(1, 1, columns, rows);
        grid.MenuIncollaClick();
        QElapsedTimer timer;
        timer.start();
        tools.Undo();
        undo.push_back(timer.nsecsElapsed() / 1e6);
        mismatches += ReadMapState(car, kind) != start;
        timer.restart();
        tools.Redo();
        redo.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(undo.begin(), undo.end());
    std::sort(redo.begin(), redo.end());
    std::printf("%s map, %d cells: undo of a full paste median %.2f ms (min %.2f, max %.2f), redo median %.2f ms, "
                "%d rounds, %d not restored exactly\n",
                name, rows * columns, undo[kRounds / 2], undo.front(), undo.back(), redo[kRounds / 2], kRounds,
                mismatches);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    {
        SimulatedSession bench(1);
        TFormConfig form(bench.ctx);
        auto* gas = form.findChild<GasMapPage*>();
        auto* petrol = form.findChild<PetrolMapPage*>();
        Measure("gas", *gas->DrawGridMap(), *gas->Tools(), *bench.car, MapKind::Gas, ConfCar::kMapRows,
                ConfCar::kMapCols);
        Measure("petrol", *petrol->DrawGridMapBenz(), *petrol->Tools(), *bench.car, MapKind::Petrol,
                ConfCar::kPetrolSize, ConfCar::kPetrolSize);
    }
    if (argc < 2)
        return 0;

    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir files;
    SimulatedSession bench(1);
    ConfCar& car = *bench.car;
    bench.unit->engine().SetTarget(2650, 95, 120);
    // A smooth gas map, saved as the file to compare with, then retouched.
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            car.SetGasMapCell(r, c, 120 + 9 * c + 14 * r);
    for (int r = 0; r < ConfCar::kPetrolSize; ++r)
        for (int c = 0; c < ConfCar::kPetrolSize; ++c)
            car.SetPetrolMapCell(r, c, 2.0 + 0.35 * c + 0.5 * r);
    const QString file = files.filePath(QStringLiteral("base.vap"));
    car.SaveToFile(QFile::encodeName(file).toStdString(), 0);
    for (int r = 2; r < 6; ++r)
        for (int c = 5; c < 11; ++c)
            car.SetGasMapCell(r, c, car.GetGasMapCell(r, c) + (c - 4) * 4);
    car.SetGasMapCell(6, 15, car.GetGasMapCell(6, 15) - 30);
    car.SetGasMapCell(7, 2, car.GetGasMapCell(7, 2) - 3);
    car.SetRpmRef(9, car.GetRpmRef(9) + 150);
    car.SetPetrolMapCell(4, 4, 1.0);
    car.SetPetrolMapCell(8, 9, 9.0);

    TFormConfig form(bench.ctx);
    auto* gas = form.findChild<GasMapPage*>();
    auto* petrol = form.findChild<PetrolMapPage*>();
    form.resize(1024, 700);
    form.show();
    form.Timer1()->stop();
    gas->Tools()->Follow();
    petrol->Tools()->Follow();
    gas->Tools()->CompareWith(file);
    petrol->Tools()->CompareWith(file);
    ShootPage(form, TFormConfig::kTabMappa, 10, dir, "confronto-mappa.png");
    ShootPage(form, TFormConfig::kTabMappaBenzina, 10, dir, "confronto-mappa-benzina.png");
    gas->Tools()->SetComparisonShown(false);
    petrol->Tools()->SetComparisonShown(false);
    gas->Tools()->SetHeatMap(true);
    petrol->Tools()->SetHeatMap(true); // without settings each grid keeps its own
    ShootPage(form, TFormConfig::kTabMappa, 10, dir, "colori-mappa.png");
    ShootPage(form, TFormConfig::kTabMappaBenzina, 10, dir, "colori-mappa-benzina.png");
    form.hide();
    return 0;
}
