#pragma once
// A connected car on the simulated unit for the calibration windows: link,
// record read from the unit, scripted dialogs and a clock that never sleeps.

#include "services/AppContext.h"
#include "LinkObject.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace vapora::test {

struct SimCar {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    FakeClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<ConfCar> car;
    AppContext ctx;

    explicit SimCar(bool connect = true)
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        if (connect) {
            EXPECT_TRUE(link->OpenLink());
            link->Connect();
        }
        car = std::make_unique<ConfCar>("car.vap", link.get(), clock);
        if (connect) {
            EXPECT_TRUE(car->ReadAll());
        }
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
    }

    sernox::EngineModel& engine() { return unit->engine(); }

    // Engine steps advance only on engine block reads.
    void Run(int steps)
    {
        uint8_t buffer[20];
        for (int i = 0; i < steps; ++i) {
            int32_t length = 20;
            link->ReadLive(0, buffer, &length);
        }
    }

    // Rev past the changeover speed, then hold the point until settled.
    void DriveTo(int rpm, int throttle, int map, int settle = 150)
    {
        engine().SetTarget(rpm, throttle, map);
        Run(settle);
    }

    // Mean |lambda correction| the unit applies while holding a point.
    double MeanAbsCorrection(int rpm, int throttle, int map)
    {
        DriveTo(rpm, throttle, map);
        constexpr int kSteps = 120;
        long sum = 0;
        for (int i = 0; i < kSteps; ++i) {
            Run(1);
            sum += std::abs(engine().state().correction);
        }
        return static_cast<double>(sum) / kSteps;
    }

    // On gas and warm at idle, as the installer starts a calibration.
    void StartOnGas()
    {
        engine().SetScenario({{2000, 60, 40, 10}, {sernox::EngineModel::kIdleRpm, sernox::EngineModel::kIdleThrottle,
                                                   sernox::EngineModel::kIdleMap, 0}});
        Run(80);
        ASSERT_TRUE(engine().state().onGas);
    }
};

} // namespace vapora::test
