#pragma once
// The program's start and end: one copy only, the platform check, the link
// library and its object, the record, the settings and the long-lived
// windows, then the event loop and the tear-down in reverse dependency order.

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "services/platform/LinkLibrary.h"

#include <QString>
#include <QStringList>

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
    QString libraryPath; // empty: "SerNoxDL" beside the program, else where the package puts it
    QString settingsKey = QStringLiteral("Murazzoni\\Vapora");
    QString recordFile = QStringLiteral("default.mur");
    QStringList files;      // to open after the start (absolute paths), or to hand to the running copy
    QString templateFolder; // empty: the installed template, if any (<program>/../share/vapora)
    QString userFolder;     // empty: the user's main folder ($XDG_DATA_HOME/Vapora)
};

class Program {
public:
    enum class Outcome {
        Started,        // every object and window exists; Exec runs the program
        SecondCopy,     // another copy runs and was asked to come forward
        Unsupported,    // not a supported operating system
        NoLibrary,      // the link library did not load
        NoLinkObject,   // the library gave no link object
        NoMainFolder,   // the user's main folder could not be made
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
    // Works in the current folder when it is a main folder; else, when a template
    // is installed, in the user's main folder made or refreshed from it. False,
    // after a message, when that folder cannot be used.
    bool PrepareMainFolder();
    // A text for the time before the main window opens the dictionary: from the
    // dictionary in folder, in the stored language; fallback without one.
    QString EarlyText(const QString& folder, const char* key, const QString& fallback);

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
