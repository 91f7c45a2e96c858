#pragma once
// The program's few settings, kept under the current user's
// "Software\<key text>" (the registry on Windows, the native settings file
// elsewhere). Read once at construction, written back once at destruction.

#include <QString>

#include <memory>

class QSettings;

namespace vapora {

class DialogService;

class GlobalData {
public:
    static constexpr int kComPort = 10;
    static constexpr int kLanguage = 11;
    static constexpr int kLastWarning = 16;
    static constexpr int kCoeffPressione = 17;
    static constexpr int kCoeffPressioneCng = 18;
    static constexpr int kMapColours = 20; // map cells coloured by value: 0 off, 1 on
    static constexpr int kMainPathMax = 149;

    // keyText is "Murazzoni\\Vapora" for the program. currentDir is the
    // default main path. The reset message goes through dialogs.
    GlobalData(const QString& keyText, DialogService& dialogs, const QString& currentDir);
    ~GlobalData(); // writes every setting back
    GlobalData(const GlobalData&) = delete;
    GlobalData& operator=(const GlobalData&) = delete;

    // 0 for an unknown identifier.
    int GetValue(int id) const;
    // False, and nothing stored, for an unknown identifier.
    bool SetValue(int id, int value);

    const QString& MainPath() const { return mainPath_; }

    // The user's choice of unit, in the link setting's syntax ("serial:/dev/ttyUSB0",
    // "sim"); empty when none was made. Read from and written to the store at once,
    // not at destruction: the link library and the tool read it from there.
    QString LinkChoice() const;
    bool SetLinkChoice(const QString& text);
    // The store's file, as the link library finds it; empty where the store is
    // not a file (the Windows registry).
    QString SettingsFile() const;
    // The language index the store holds, read without the rest (and without the
    // reset message); 0 when it has none.
    static int StoredLanguage(const QString& keyText);
    // The key path as the program names it: "\\Software\\" + key text.
    const QString& KeyPath() const { return keyPath_; }

    // Folder tree under a main folder (the process's current directory when the
    // main window shows).
    static QString ConfigFolder(const QString& main);        // Configurazioni
    static QString MethaneFolder(const QString& main);       // Configurazioni/Metano
    static QString ProgramFolder(const QString& main);       // Programmazione
    static QString RecordingFolder(const QString& main);     // Acquisizioni
    static QString CalibrationFolder(const QString& main);   // Calibrazione
    static QString ResetFile(const QString& main, const QString& fuelWord); // Calibrazione/Reset<fuel>.vap
    static QString WaitAnimation(const QString& main);       // Immagini/Attesa.avi
    static QString DictionaryFile(const QString& main);      // DizVapora.dbf

private:
    std::unique_ptr<QSettings> OpenStore() const;
    static std::unique_ptr<QSettings> OpenStore(const QString& keyText);
    void Read(DialogService& dialogs);
    void Write();

    QString keyText_;
    QString keyPath_;
    int comPort_ = 1;
    QString mainPath_;
    int language_ = 0;
    int lastWarning_ = 0;
    int coeffPressione_ = 18;
    int coeffPressioneCng_ = 24;
    int mapColours_ = 0;
};

} // namespace vapora
