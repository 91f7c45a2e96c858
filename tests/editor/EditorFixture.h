#pragma once
// The configuration window on the simulated unit: a link that can replace the
// live blocks with exact bytes, the record read from the unit, settings in a
// temporary place, scripted dialogs and a clock that only moves when told.

#include "services/AppContext.h"
#include "LinkObject.h"
#include "editor/ConfigPages.h"
#include "editor/LiveStrip.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "services/settings/GlobalData.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace vapora::test {

// Forwards to the link over the simulated unit; the live blocks can be given
// byte for byte or made to fail.
class LiveScript final : public SerialLink {
public:
    explicit LiveScript(SerialLink& inner) : inner_(inner) {}
    std::optional<std::vector<uint8_t>> engine;
    std::optional<std::vector<uint8_t>> status;
    bool failEngine = false;
    bool failStatus = false;
    int engineReads = 0;
    int statusReads = 0;

    void Init(int32_t mode) override { inner_.Init(mode); }
    void Configure(int32_t option) override { inner_.Configure(option); }
    void AttachScreen(LinkScreen* screen) override { inner_.AttachScreen(screen); }
    int32_t IsConnected() override { return inner_.IsConnected(); }
    void Connect() override { inner_.Connect(); }
    void Disconnect() override { inner_.Disconnect(); }
    uint8_t GetStatusFlags() override { return inner_.GetStatusFlags(); }
    void EndProgramming() override { inner_.EndProgramming(); }
    void BeginProgramming() override { inner_.BeginProgramming(); }
    bool ReadParam(int32_t id, int32_t* dest) override { return inner_.ReadParam(id, dest); }
    bool ReadParamRow(int32_t id, int32_t* dest, int32_t row) override { return inner_.ReadParamRow(id, dest, row); }
    bool ReadLive(int32_t block, uint8_t* buffer, int32_t* length) override
    {
        (block == 0 ? engineReads : statusReads)++;
        if (block == 0 ? failEngine : failStatus)
            return false;
        const std::optional<std::vector<uint8_t>>& bytes = block == 0 ? engine : status;
        if (!bytes)
            return inner_.ReadLive(block, buffer, length);
        const int32_t n = std::min<int32_t>(*length, static_cast<int32_t>(bytes->size()));
        std::copy(bytes->begin(), bytes->begin() + n, buffer);
        *length = n;
        return true;
    }
    bool WriteParam(int32_t id, const int32_t* source) override { return inner_.WriteParam(id, source); }
    bool WriteValue(int32_t id, int32_t value) override { return inner_.WriteValue(id, value); }
    bool WriteElement(int32_t id, int32_t index, int32_t value) override
    {
        return inner_.WriteElement(id, index, value);
    }
    bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) override
    {
        return inner_.WriteCell(id, row, column, value);
    }
    bool WriteParamRow(int32_t id, const int32_t* source, int32_t row) override
    {
        return inner_.WriteParamRow(id, source, row);
    }
    bool Identify(uint8_t* idBytes) override { return inner_.Identify(idBytes); }
    bool OpenLink() override { return inner_.OpenLink(); }
    int32_t ProgramFirmware(const char* path, int32_t a, int32_t b, int32_t c) override
    {
        return inner_.ProgramFirmware(path, a, b, c);
    }

private:
    SerialLink& inner_;
};

// A 12-byte engine block.
inline std::vector<uint8_t> EngineBytes(int rpm, uint8_t lambda, uint8_t tps, uint8_t map, uint8_t gas,
                                        uint8_t correction, int opening, uint8_t variation, uint8_t enrichment,
                                        uint8_t flags)
{
    return {static_cast<uint8_t>(rpm & 0xFF), static_cast<uint8_t>(rpm >> 8), lambda, tps, map, gas, correction,
            static_cast<uint8_t>(opening & 0xFF), static_cast<uint8_t>(opening >> 8), variation, enrichment, flags};
}

class EditorTest : public ::testing::Test {
protected:
    // configure runs on the unit before the link opens (identification, faults).
    void Build(bool connect = true, const std::function<void(sernox::SimUnit&)>& configure = {})
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        if (configure)
            configure(*unit);
        simLink = std::make_unique<sernox::LinkObject>(std::move(sim));
        link = std::make_unique<LiveScript>(*simLink);
        if (connect) {
            EXPECT_TRUE(link->OpenLink());
            link->Connect();
        }
        car = std::make_unique<ConfCar>("car.vap", link.get(), clock);
        if (connect) {
            EXPECT_TRUE(car->ReadIdentification());
            EXPECT_TRUE(car->ReadAll());
        }
        settings = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaEditorTest"), dialogs, dir.path());
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.settings = settings.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        form = std::make_unique<TFormConfig>(ctx);
        form->SetTemporaryFolder(dir.filePath(QStringLiteral("tmp")));
        QDir(dir.path()).mkpath(QStringLiteral("tmp"));
        form->SetRecordingFolder(dir.path());
        form->LoadTexts();
        dialogs.messages.clear();
    }

    // Shows the window as the main window does; the ticks are the test's own.
    void Show(int page = TFormConfig::kTabCambio)
    {
        form->SelectPage(page);
        form->resize(800, 600);
        form->show();
        QApplication::processEvents();
        form->Timer1()->setInterval(1 << 30);
        form->Timer1()->start();
    }

    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            form->Timer1Timer();
    }

    template <class T>
    T* Find(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    TNumericEdit* Edit(const char* name) const { return Find<TNumericEdit>(name); }
    TKeyComboBox* Combo(const char* name) const { return Find<TKeyComboBox>(name); }
    QLabel* Strip(const char* name) const { return form->Strip()->Label(name); }

    // Types a value and confirms it with Enter.
    void Enter(TNumericEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Chooses a list item as a change made with the list closed does.
    void Choose(TKeyComboBox* combo, int index)
    {
        combo->setFocus();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    void TearDown() override
    {
        form.reset();
        settings.reset();
        car.reset();
    }

    QTemporaryDir dir;
    FakeClock clock;
    ScriptedDialogs dialogs;
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> simLink;
    std::unique_ptr<LiveScript> link;
    std::unique_ptr<ConfCar> car;
    std::unique_ptr<GlobalData> settings;
    AppContext ctx;
    std::unique_ptr<TFormConfig> form;
};

} // namespace vapora::test
