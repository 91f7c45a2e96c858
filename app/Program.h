#pragma once
// The program's start and end: one copy only, the platform check, the link
// library and its object, the record, the settings and the long-lived
// windows, then the event loop and the tear-down in reverse dependency order.

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "services/platform/LinkLibrary.h"

#include <QString>

#include <memory>

namespace vapora {

class Clock;
class ConfCar;
class DialogService;
class GlobalData;
class SingleInstance;
class TDataModuleMur;
class TFormConfig;
class TFormMain;
class TFormScarica;

struct ProgramOptions {
    QString instanceName = QStringLiteral("MURMutex");
    QString libraryPath;                                  // empty: "SerNoxDL" beside the program
    QString settingsKey = QStringLiteral("Murazzoni\\Vapora");
    QString recordFile = QStringLiteral("default.mur");
};

class Program {
public:
    enum class Outcome {
        Started,        // every object and window exists; Exec runs the program
        SecondCopy,     // another copy runs and was asked to come forward
        Unsupported,    // not a supported operating system
        NoLibrary,      // the link library did not load
        NoLinkObject,   // the library gave no link object
    };

    Program(DialogService& dialogs, Clock& clock, ProgramOptions options = {});
    ~Program(); // TearDown

    // Everything up to the event loop. Anything but Started means the
    // program ends (exit code 0) without a window of its own.
    Outcome Start();
    // Shows the main window and runs the event loop; the main window ends the
    // loop when it closes or when it cannot start (no dictionary).
    int Exec();
    // Windows first, then the record, the link object, the settings (which
    // write themselves back) and the library.
    void TearDown();

    AppContext& Context() { return ctx_; }
    TFormMain* MainForm() const { return main_.get(); }
    TDataModuleMur* DataModule() const { return dataModule_.get(); }
    TFormScarica* ScaricaForm() const { return scarica_.get(); }
    TFormConfig* ConfigForm() const { return config_.get(); }
    SingleInstance* Instance() const { return instance_.get(); }
    LinkLibrary& Library() { return library_; }

private:
    DialogService& dialogs_;
    Clock& clock_;
    ProgramOptions options_;
    AppContext ctx_;
    AppScreen screen_;
    std::unique_ptr<SingleInstance> instance_;
    LinkLibrary library_;
    std::unique_ptr<ConfCar> car_;
    std::unique_ptr<GlobalData> settings_;
    std::unique_ptr<TFormMain> main_;
    std::unique_ptr<TDataModuleMur> dataModule_;
    std::unique_ptr<TFormScarica> scarica_;
    std::unique_ptr<TFormConfig> config_;
};

} // namespace vapora
