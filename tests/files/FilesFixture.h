#pragma once
// A main folder in a temporary place with the system temporary folder inside
// it, the simulated unit behind a link that records programming, the record
// and the objects the file windows and commands work with.

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "LinkObject.h"
#include "app/MainPanels.h"
#include "services/MessageTable.h"
#include "model/ConfCar.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace vapora::test {

// Passes everything to the simulated unit; remembers what each programming
// attempt was given and which window showed progress at that moment.
class RecordingLink final : public SerialLink {
public:
    struct ProgramCall {
        std::string path;
        bool fileExisted = false;
        std::string content;
        QString waitCaption;
    };
    sernox::LinkObject inner;
    std::vector<ProgramCall> programCalls;
    int begins = 0;
    int ends = 0;

    explicit RecordingLink(std::unique_ptr<sernox::SimUnit> unit) : inner(std::move(unit)) {}

    void Init(int32_t m) override { inner.Init(m); }
    void Configure(int32_t o) override { inner.Configure(o); }
    void AttachScreen(LinkScreen* s) override { inner.AttachScreen(s); }
    int32_t IsConnected() override { return inner.IsConnected(); }
    void Connect() override { inner.Connect(); }
    void Disconnect() override { inner.Disconnect(); }
    uint8_t GetStatusFlags() override { return inner.GetStatusFlags(); }
    void EndProgramming() override { ++ends, inner.EndProgramming(); }
    void BeginProgramming() override { ++begins, inner.BeginProgramming(); }
    bool ReadParam(int32_t id, int32_t* d) override { return inner.ReadParam(id, d); }
    bool ReadParamRow(int32_t id, int32_t* d, int32_t r) override { return inner.ReadParamRow(id, d, r); }
    bool ReadLive(int32_t b, uint8_t* buf, int32_t* n) override { return inner.ReadLive(b, buf, n); }
    bool WriteParam(int32_t id, const int32_t* s) override { return inner.WriteParam(id, s); }
    bool WriteValue(int32_t id, int32_t v) override { return inner.WriteValue(id, v); }
    bool WriteElement(int32_t id, int32_t i, int32_t v) override { return inner.WriteElement(id, i, v); }
    bool WriteCell(int32_t id, int32_t r, int32_t c, int32_t v) override { return inner.WriteCell(id, r, c, v); }
    bool WriteParamRow(int32_t id, const int32_t* s, int32_t r) override { return inner.WriteParamRow(id, s, r); }
    bool Identify(uint8_t* b) override { return inner.Identify(b); }
    bool OpenLink() override { return inner.OpenLink(); }
    int32_t ProgramFirmware(const char* p, int32_t a, int32_t b, int32_t c) override
    {
        ProgramCall call;
        call.path = p;
        call.fileExisted = std::filesystem::is_regular_file(p);
        std::ifstream in(p, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        call.content = bytes.str();
        QWidget* target = ProgressTarget::Current();
        call.waitCaption = target != nullptr ? target->windowTitle() : QString();
        programCalls.push_back(call);
        return inner.ProgramFirmware(p, a, b, c);
    }
};

struct StubPanels final : MainPanels {
    QString texts[4];
    void SetPanelText(int panel, const QString& text) override { texts[panel] = text; }
    QString PanelText(int panel) const override { return texts[panel]; }
    void RepaintStatusBar() override {}
};

class FilesTest : public ::testing::Test {
protected:
    static constexpr int kRifLambda = 5; // a parameter a file carries in its "Lambda" section

    QString previousDir = QDir::currentPath();
    QByteArray previousTmp = qgetenv("TMPDIR");
    QTemporaryDir dir;
    FakeClock clock;
    ScriptedDialogs dialogs;
    MessageTable messages;
    StubPanels panels;
    AppScreen screen;
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<RecordingLink> link;
    std::unique_ptr<ConfCar> car;
    QWidget owner;
    AppContext ctx;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("tmp"));
        qputenv("TMPDIR", QFile::encodeName(Path("tmp")));
        QDir::setCurrent(dir.path());
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<RecordingLink>(std::move(sim));
        link->AttachScreen(&screen);
        car = std::make_unique<ConfCar>("default.mur", link.get(), clock);
        car->SetProgressSink([](int32_t amount, bool add) { SendProgress(amount, add); });
        owner.setWindowTitle(QStringLiteral("Vapora Murazzoni"));
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        ctx.messages = &messages;
        ctx.mainFolder = dir.path();
    }

    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        if (previousTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previousTmp);
    }

    QString Path(const QString& relative) const { return QDir(dir.path()).filePath(relative); }

    void ConnectUnit()
    {
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
        unit->ResetCounts();
    }

    // A configuration file in its plain form, which the program reads like an encoded one.
    void WriteConfig(const QString& relative, bool official, bool methane, int rifLambda = 40,
                     const QString& extraGenerale = {}) const
    {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("DVMF\r\n[Generale]\r\nNomeConfigurazione=%1\r\nMurFile=%2\r\nCarburante=%3\r\n%4"
                               "[Lambda]\r\nRifLambda=%5\r\n")
                    .arg(QFileInfo(path).fileName())
                    .arg(official ? 1 : 0)
                    .arg(methane ? 1 : 0)
                    .arg(extraGenerale)
                    .arg(rifLambda)
                    .toLatin1());
    }

    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static void SetTime(const QString& path, const QDateTime& when)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    QStringList TemporaryFiles() const
    {
        return QDir(Path("tmp")).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace vapora::test
