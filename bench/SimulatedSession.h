#pragma once
// What the screenshot and timing programs share: the record connected to an
// in-process simulated unit, and saving a window to a PNG file.

#include "LinkObject.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "services/AppContext.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace vapora::bench {

// The whole configuration read from a simulated unit of the given model, with
// every change written through.
struct SimulatedSession {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    test::FakeClock clock;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ConfCar> car;
    AppContext ctx;

    explicit SimulatedSession(int modelCode)
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

// Saves the window as it shows now to NAME in DIR and prints the path.
inline void SavePng(QWidget& window, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

// Shows a page of the configuration window after `ticks` live refreshes, and saves it.
inline void ShootPage(TFormConfig& form, int page, int ticks, const QDir& dir, const char* name)
{
    form.SelectPage(page);
    for (int i = 0; i < ticks; ++i) {
        form.Timer1Timer();
        QApplication::processEvents();
    }
    SavePng(form, dir, name);
}

} // namespace vapora::bench
