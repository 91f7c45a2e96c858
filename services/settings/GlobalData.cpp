#include "services/settings/GlobalData.h"

#include "services/ui/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

namespace vapora {
namespace {

const QString kValueComPort = QStringLiteral("ComPort");
const QString kValueMainPath = QStringLiteral("MainPath");
const QString kValueLanguage = QStringLiteral("Language");
const QString kValueLastWarning = QStringLiteral("LastWarning");
const QString kValueCoeffPressione = QStringLiteral("CoeffPressione");
const QString kValueCoeffPressioneCng = QStringLiteral("CoeffPressioneCng");
const QString kValueMapColours = QStringLiteral("MapColours");
// The same name the link library reads (linklib/wire/LinkChoice.h).
const QString kValueLink = QStringLiteral("Link");

constexpr int kDefaultComPort = 1;
constexpr int kDefaultLanguage = 0;
constexpr int kDefaultLastWarning = 0;
constexpr int kDefaultCoeffPressione = 18;
constexpr int kDefaultCoeffPressioneCng = 24;

QString ApplicationTitle()
{
    const QString display = QGuiApplication::applicationDisplayName();
    if (!display.isEmpty() && display != QCoreApplication::applicationName())
        return display;
    return QStringLiteral("Vapora");
}

// A value that is missing or not a whole number fails.
bool ReadInt(const QSettings& store, const QString& name, int* value)
{
    const QVariant v = store.value(name);
    if (!v.isValid())
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok)
        *value = n;
    return ok;
}

} // namespace

GlobalData::GlobalData(const QString& keyText, DialogService& dialogs, const QString& currentDir)
    : keyText_(keyText), keyPath_(QStringLiteral("\\Software\\") + keyText),
      comPort_(kDefaultComPort), mainPath_(currentDir.left(kMainPathMax)), language_(kDefaultLanguage),
      lastWarning_(kDefaultLastWarning), coeffPressione_(kDefaultCoeffPressione),
      coeffPressioneCng_(kDefaultCoeffPressioneCng)
{
    Read(dialogs);
}

GlobalData::~GlobalData() { Write(); }

std::unique_ptr<QSettings> GlobalData::OpenStore() const { return OpenStore(keyText_); }

std::unique_ptr<QSettings> GlobalData::OpenStore(const QString& keyText)
{
    // "Maker\Program" -> organisation and application, so that Windows uses
    // HKCU\Software\Maker\Program and other systems <config>/Maker/Program.conf.
    QString text = keyText;
    text.replace(u'/', u'\\');
    const qsizetype cut = text.indexOf(u'\\');
    const QString organisation = cut < 0 ? text : text.left(cut);
    const QString application = cut < 0 ? QString() : text.mid(cut + 1);
    auto store =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organisation, application);
    store->setFallbacksEnabled(false); // only the user's own key, never machine-wide values
    return store;
}

void GlobalData::Read(DialogService& dialogs)
{
    const std::unique_ptr<QSettings> store = OpenStore();
    if (store->status() != QSettings::NoError)
        return; // unreadable store: the defaults stay

    const bool essentials = [&] {
        if (!ReadInt(*store, kValueComPort, &comPort_))
            return false;
        // A missing path leaves the current directory; an empty one stays empty.
        const QVariant path = store->value(kValueMainPath);
        if (path.isValid())
            mainPath_ = path.toString().left(kMainPathMax);
        return ReadInt(*store, kValueLanguage, &language_);
    }();
    if (!essentials) {
        dialogs.Message(nullptr, ApplicationTitle(),
                        QStringLiteral("Il programma non è in grado di rilevare alcune impostazioni essenziali.\n"
                                       "Queste verranno ora resettate: controllarne la correttezza.\n"
                                       "In caso di ulteriori problemi ripetere l'installazione del software."),
                        MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
        return;
    }
    if (!ReadInt(*store, kValueLastWarning, &lastWarning_))
        lastWarning_ = kDefaultLastWarning;
    if (!ReadInt(*store, kValueCoeffPressione, &coeffPressione_))
        coeffPressione_ = kDefaultCoeffPressione;
    if (!ReadInt(*store, kValueCoeffPressioneCng, &coeffPressioneCng_))
        coeffPressioneCng_ = kDefaultCoeffPressioneCng;
    if (!ReadInt(*store, kValueMapColours, &mapColours_))
        mapColours_ = 0;
}

void GlobalData::Write()
{
    const std::unique_ptr<QSettings> store = OpenStore();
    if (store->status() != QSettings::NoError)
        return;
    store->setValue(kValueMainPath, mainPath_);
    store->setValue(kValueComPort, comPort_);
    store->setValue(kValueLanguage, language_);
    store->setValue(kValueLastWarning, lastWarning_);
    store->setValue(kValueCoeffPressione, coeffPressione_);
    store->setValue(kValueCoeffPressioneCng, coeffPressioneCng_);
    store->setValue(kValueMapColours, mapColours_);
    store->sync(); // a store that cannot be written loses the changes silently
}

QString GlobalData::LinkChoice() const
{
    const std::unique_ptr<QSettings> store = OpenStore();
    return store->value(kValueLink).toString().trimmed();
}

bool GlobalData::SetLinkChoice(const QString& text)
{
    const std::unique_ptr<QSettings> store = OpenStore();
    store->setValue(kValueLink, text.trimmed());
    store->sync();
    return store->status() == QSettings::NoError;
}

QString GlobalData::SettingsFile() const
{
#if defined(Q_OS_WIN)
    return {};
#else
    return OpenStore()->fileName();
#endif
}

int GlobalData::StoredLanguage(const QString& keyText)
{
    const std::unique_ptr<QSettings> store = OpenStore(keyText);
    int language = kDefaultLanguage;
    ReadInt(*store, kValueLanguage, &language);
    return language;
}

int GlobalData::GetValue(int id) const
{
    switch (id) {
    case kComPort: return comPort_;
    case kLanguage: return language_;
    case kLastWarning: return lastWarning_;
    case kCoeffPressione: return coeffPressione_;
    case kCoeffPressioneCng: return coeffPressioneCng_;
    case kMapColours: return mapColours_;
    default: return 0;
    }
}

bool GlobalData::SetValue(int id, int value)
{
    switch (id) {
    case kComPort: comPort_ = value; return true;
    case kLanguage: language_ = value; return true;
    case kLastWarning: lastWarning_ = value; return true;
    case kCoeffPressione: coeffPressione_ = value; return true;
    case kCoeffPressioneCng: coeffPressioneCng_ = value; return true;
    case kMapColours: mapColours_ = value != 0 ? 1 : 0; return true;
    default: return false;
    }
}

QString GlobalData::ConfigFolder(const QString& main) { return QDir(main).filePath(QStringLiteral("Configurazioni")); }

QString GlobalData::MethaneFolder(const QString& main)
{
    return QDir(main).filePath(QStringLiteral("Configurazioni/Metano"));
}

QString GlobalData::ProgramFolder(const QString& main) { return QDir(main).filePath(QStringLiteral("Programmazione")); }

QString GlobalData::RecordingFolder(const QString& main) { return QDir(main).filePath(QStringLiteral("Acquisizioni")); }

QString GlobalData::CalibrationFolder(const QString& main)
{
    return QDir(main).filePath(QStringLiteral("Calibrazione"));
}

QString GlobalData::ResetFile(const QString& main, const QString& fuelWord)
{
    // The reset and fuel commands spell the fuel differently ("Lpg", "lpg");
    // both must find the one installed file, also on case-sensitive systems.
    const QDir folder(CalibrationFolder(main));
    const QString name = QStringLiteral("Reset") + fuelWord + QStringLiteral(".vap");
    if (!folder.exists(name)) {
        const QStringList present = folder.entryList(QDir::Files | QDir::Hidden);
        for (const QString& entry : present)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return folder.filePath(entry);
    }
    return folder.filePath(name);
}

QString GlobalData::WaitAnimation(const QString& main)
{
    return QDir(main).filePath(QStringLiteral("Immagini/Attesa.avi"));
}

QString GlobalData::DictionaryFile(const QString& main) { return QDir(main).filePath(QStringLiteral("DizVapora.dbf")); }

} // namespace vapora
