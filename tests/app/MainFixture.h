#pragma once
// A working folder with a two-language dictionary, settings in a temporary
// place, and the objects the main window works with.

#include "services/AppContext.h"
#include "services/MessageTable.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/DictionarySource.h"
#include "services/settings/GlobalData.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vapora::test {

// Every key the main window and the configuration window read, Italian as
// built in, English as "EN " + the Italian text unless given.
inline QList<QStringList> MainDictionaryRows()
{
    QList<QStringList> rows;
    QStringList keys;
    auto add = [&](const QString& key, const QString& italian, const QString& english) {
        if (keys.contains(key))
            return;
        keys.append(key);
        rows.append({key, italian, english});
    };
    add(QStringLiteral("MenuLingua"), QStringLiteral("Italiano"), QStringLiteral("English"));
    const char* const names[][3] = {
        {"LabelMenu", "MENU' PRINCIPALE", "MAIN MENU"},
        {"LabelConfig", "CONFIGURAZIONE VETTURA", "CAR SETUP"},
        {"LabelVisualizza", "VISUALIZZAZIONE PARAMETRI", "LIVE VALUES"},
        {"LabelCalibrazione", "CALIBRAZIONE CARBURAZIONE", "MIXTURE CALIBRATION"},
        {"LabelDiagnosi", "DIAGNOSI", "DIAGNOSIS DIAGNOSIS DIAGNOSIS DIAGNOSIS"}, // 39 characters: cut to 30
        {"LabelFile", "GESTIONE FILE", "FILES"},
        {"LabelRiprogramma", "PROGRAMMAZIONE CENTRALINA", "UNIT FIRMWARE"},
        {"LabelTermina", "ESCI", "EXIT"},
        {"MenuFile", "&File", "&File"},
        {"MenuCpu", "&Connessione", "&Connection"},
        {"MenuConnetti", "&Connetti", "&Connect"},
        {"MenuDisconnetti", "&Disconnetti", "&Disconnect"},
        {"MenuConfig", "&Impostazioni", "&Settings"},
        {"MenuAiuto", "&Aiuto", "&Help"},
        {"MenuAbout", "&Informazioni su...", "&About..."},
        {"ActionApri", "&Apri", "&Open"},
        {"ActionSalva", "&Salva", "&Save"},
        {"ActionStampa", "Stam&pa", "&Print"},
        {"ActionProgramma", "&Programma centralina", "&Program unit"},
        {"ActionEsci", "&Esci", "E&xit"},
        {"ActionConnetti", "&Connetti", "&Connect"},
        {"ActionDisconnetti", "&Disconnetti", "&Disconnect"},
        {"ActionResetCpu", "&Reset centralina", "&Reset unit"},
        {"FinestraPrincipale", "Vapora Murazzoni", "Vapora Murazzoni EN"},
        {"LabelConnInCorso", "Connessione in corso...", "Connecting..."},
        {"FinestraApriFile", "Apri file", "Open file"},
        {"FinestraSalvaFile", "Salva file", "Save file"},
        {"FinestraConfig", "Configurazione veicolo", "Vehicle setup"},
        {"FinestraSceltaCarb", "Scegli il tipo di carburante", "Choose the fuel"},
        {"MessVersioneSw", "Versione software", "Software version"},
        // the fuel choice that follows every start
        {"LabelCarbConnesso", "Tipo di carburante della centralina", "Fuel of the unit"},
        {"LabelCarbSconnesso", "Tipo di carburante", "Fuel"},
        {"LabelWarningCarb1", "ATTENZIONE:", "WARNING:"},
        {"LabelWarningCarb2", "cambio carburante", "fuel change"},
        {"LabelProgCarb", "Carburante scelto", "Chosen fuel"},
        {"ButtonOk", "&OK", "&OK"},
        {"ButtonAnnulla", "&Annulla", "&Cancel"},
    };
    for (const auto& n : names)
        add(QString::fromLatin1(n[0]), QString::fromLatin1(n[1]), QString::fromLatin1(n[2]));
    const MessageTable builtIn;
    for (const QString& key : builtIn.Keys())
        add(key, builtIn.Text(key), QStringLiteral("EN ") + builtIn.Text(key));
    // The other windows' keys (the configuration window loads its texts with the
    // main window's) come from the shipped tables of each window area.
    const QDir parts(QStringLiteral(VAPORA_DATA_DIR "/dictionary.d"));
    for (const QString& file : parts.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        DictionarySource source;
        if (ReadDictionarySource(parts.filePath(file), &source))
            for (const QStringList& row : source.rows)
                add(row.value(0), row.value(1), row.value(2));
    }
    return rows;
}

// Current directory, settings location and dictionary for one test.
class WorkFolder {
public:
    explicit WorkFolder(bool withDictionary = true) : previous_(QDir::currentPath())
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.filePath(QStringLiteral("config")));
        // The rows first: __FILE__ may be relative to the folder the test started in.
        const QList<QStringList> rows = withDictionary ? MainDictionaryRows() : QList<QStringList>();
        QDir::setCurrent(dir_.path());
        if (withDictionary) {
            QString error;
            const bool written = WriteDictionary(dir_.filePath(QStringLiteral("DizVapora.dbf")),
                                                 {QStringLiteral("IDENTIF"), QStringLiteral("ITALIANO"),
                                                  QStringLiteral("ENGLISH")},
                                                 rows, &error);
            EXPECT_TRUE(written) << error.toStdString();
        }
    }
    ~WorkFolder() { QDir::setCurrent(previous_); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace vapora::test
