#pragma once
// The map pages in a window of their own, over a record that is either on the
// simulated unit or without a unit, with a live strip the test sets by hand.

#include "services/AppContext.h"
#include "LinkObject.h"
#include "editor/GasMapGrid.h"
#include "editor/LiveMapSource.h"
#include "editor/MapPages.h"
#include "editor/PetrolMapGrid.h"
#include "editor/TFormModMappa.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace vapora::test {

struct FakeLive final : LiveMapSource {
    QPoint gas{-100, -100};
    QPoint petrol{-100, -100};
    QColor colour = Qt::black;
    int column = 0;
    int row = 0;
    int speed = 0;
    double volts = 0;
    double injection = 0;
    bool onGas = false;
    int stops = 0;
    int starts = 0;
    int forced = 0;
    int midpoints = 0;
    bool running = true;

    QPoint GasMarker() const override { return gas; }
    QPoint PetrolMarker() const override { return petrol; }
    QColor MarkerColour() const override { return colour; }
    int PetrolColumn() const override { return column; }
    int PetrolRow() const override { return row; }
    int EngineSpeed() const override { return speed; }
    double SecondManifoldVolts() const override { return volts; }
    double PetrolInjectionMs() const override { return injection; }
    bool RunningOnGas() const override { return onGas; }
    void StopLiveTimer() override
    {
        ++stops;
        running = false;
    }
    void StartLiveTimer() override
    {
        ++starts;
        running = true;
    }
    void ForceMarkerRefresh() override { ++forced; }
    void RecomputeMidpoints() override { ++midpoints; }
    QString AcquisitionsFolder() const override { return {}; }
};

struct MapWindow {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    FakeClock clock;
    ScriptedDialogs dialogs;
    FakeLive live;
    std::unique_ptr<ConfCar> car;
    AppContext ctx;
    QWidget window;
    QTabWidget* tabs = nullptr;
    QLineEdit* otherEdit = nullptr; // a tab stop on another page
    TFormModMappa* modify = nullptr;
    GasMapPage* gas = nullptr;
    PetrolMapPage* petrol = nullptr;

    // connected: the record is read from the simulated unit and writes go through to it.
    explicit MapWindow(bool connected = false)
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        car = std::make_unique<ConfCar>("car.vap", link.get(), clock);
        if (connected) {
            link->OpenLink();
            link->Connect();
            car->ReadIdentification();
            car->ReadAll();
            car->WriteThrough = true;
        }
        car->MappaBenzinaAmmessa = true;
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;

        window.setWindowTitle(QStringLiteral("Configurazione veicolo"));
        tabs = new QTabWidget(&window);
        auto* first = new QWidget;
        otherEdit = new QLineEdit(first);
        otherEdit->setObjectName(QStringLiteral("OtherEdit"));
        tabs->addTab(first, QStringLiteral("Giri - Cambio"));
        auto* tabMappa = new QWidget;
        auto* tabBenz = new QWidget;
        tabs->addTab(tabMappa, QStringLiteral("Mappa"));
        tabs->addTab(tabBenz, QStringLiteral("Mappa benzina"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(tabs);
        modify = new TFormModMappa(&dialogs, &window);
        const MapPageDeps deps{ctx, live, modify};
        gas = BuildGasMapPage(tabMappa, deps);
        petrol = BuildPetrolMapPage(tabBenz, deps);
        window.resize(21 * 50 + 40, 9 * 44 + 120);
    }

    GasMapGrid& gasGrid() { return *gas->DrawGridMap(); }
    PetrolMapGrid& petrolGrid() { return *petrol->DrawGridMapBenz(); }

    void ShowPage(int index)
    {
        tabs->setCurrentIndex(index);
        window.show();
    }

    // Answers the modification dialog once with a value and mode; records what it proposed.
    QString proposedText;
    int proposedMode = -1;
    void AnswerModify(const QString& text, int mode, bool ok = true)
    {
        dialogs.windows.push_back([this, text, mode, ok](QDialog* d) {
            auto* m = static_cast<TFormModMappa*>(d);
            proposedText = m->Edit1()->text();
            proposedMode = m->SelectedMode();
            m->Edit1()->setText(text);
            m->ModeButton(mode)->setChecked(true);
            return ok ? QDialog::Accepted : QDialog::Rejected;
        });
    }
};

// Colour at a point inside a cell of a grid, as drawn.
inline QColor PixelIn(QWidget& grid, const QRect& cell, int dx, int dy)
{
    return grid.grab().toImage().pixelColor(cell.left() + dx, cell.top() + dy);
}

// Whether any dark (text) pixel lies in a horizontal band of a cell.
inline bool InkInBand(const QImage& image, const QRect& cell, int top, int bottom)
{
    for (int y = cell.top() + top; y < cell.top() + bottom; ++y)
        for (int x = cell.left() + 1; x < cell.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 100)
                return true;
    return false;
}

} // namespace vapora::test
