#pragma once
// The main window's file commands: open a configuration file (and send it to
// a connected unit), save the configuration, and show a decoded copy of a
// file in the text editor.

#include "model/RestorePoints.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace vapora {

struct AppContext;
class MainPanels;
class TextEditorLauncher;

// The main window's configuration file dialogs, as they are when a command runs.
struct ConfigFileDialogs {
    QString openFolder;
    QString saveFolder;
    QString openTitle;
    QString saveTitle;
};

class FileCommands {
public:
    FileCommands(AppContext& context, MainPanels& panels, QWidget* owner, TextEditorLauncher& editor,
                 std::function<ConfigFileDialogs()> dialogs);

    void Open();
    // Open without the dialog: the file given on the command line or by another copy.
    void OpenFile(const QString& file);
    // Loads a file into the record and, with a unit connected, into the unit, after a
    // restore point of what the unit held. A non-empty configName is the name the
    // configuration takes instead of the one the file carries. True when the file was loaded.
    bool LoadFile(const QString& file, restore::Reason reason, const std::string& configName = {});
    void Save();
    void OpenInEditor();

    static QString Filter() { return QStringLiteral("Murazzoni Vapora (*.vap)"); }
    // The configuration name a file name gives: no folder, last 4 characters off.
    static QString ConfigNameOf(const QString& path);
    // Folder + "Decrypted/Dec" + n + "." + name, the first n from 1 that is free.
    static QString DecodedCopyName(const QString& path);

private:
    QString Title() const;
    QString Text(const char* key) const;
    void ShowFuelPanel();
    void ShowError(const QString& text);

    AppContext& ctx_;
    MainPanels& panels_;
    QWidget* owner_;
    TextEditorLauncher& editor_;
    std::function<ConfigFileDialogs()> dialogs_;
};

} // namespace vapora
