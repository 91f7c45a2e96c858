#include "FileCommands.h"

#include "services/AppContext.h"
#include "MainPanels.h"
#include "services/MessageTable.h"
#include "widgets/FileMessages.h"
#include "services/platform/FilePaths.h"
#include "files/FormSupport.h"
#include "files/TFormSaveOption.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/OutcomeTexts.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "services/platform/OpenInEditor.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "widgets/RestorePointGuard.h"
#include "widgets/TFormAttesa.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>

namespace vapora {

using namespace filesui;

FileCommands::FileCommands(AppContext& context, MainPanels& panels, QWidget* owner, TextEditorLauncher& editor,
                           std::function<ConfigFileDialogs()> dialogs)
    : ctx_(context), panels_(panels), owner_(owner), editor_(editor), dialogs_(std::move(dialogs))
{
}

QString FileCommands::Title() const { return owner_ != nullptr ? owner_->windowTitle() : ctx_.applicationTitle; }

QString FileCommands::Text(const char* key) const { return ctx_.messages->Text(QString::fromLatin1(key)); }

void FileCommands::ShowError(const QString& text) { ctx_.dialogs->Message(owner_, Title(), text, MsgIcon::Error); }

void FileCommands::ShowFuelPanel()
{
    panels_.SetPanelText(3, Text(ctx_.car->GetStatusFlag(ConfCar::kMethane) ? "LabelMetano" : "LabelGpl"));
    panels_.RepaintStatusBar();
}

QString FileCommands::ConfigNameOf(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

QString FileCommands::DecodedCopyName(const QString& path)
{
    const QFileInfo source(path);
    const QDir folder(source.dir().filePath(QStringLiteral("Decrypted")));
    for (int n = 1;; ++n) {
        const QString candidate = folder.filePath(QStringLiteral("Dec%1.%2").arg(n).arg(source.fileName()));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

void FileCommands::Open()
{
    const ConfigFileDialogs d = dialogs_();
    const QString file = ctx_.dialogs->OpenFileName(owner_, d.openTitle, d.openFolder, Filter());
    if (file.isEmpty())
        return;
    OpenFile(file);
}

void FileCommands::OpenFile(const QString& file) { LoadFile(file, restore::Reason::FileLoad); }

bool FileCommands::LoadFile(const QString& file, restore::Reason reason, const std::string& configName)
{
    ConfCar& car = *ctx_.car;
    const bool connected = ctx_.link != nullptr && ctx_.link->IsConnected() != 0;
    // The record holds what the unit holds until the load replaces it.
    if (connected && !KeepBeforeFileLoad(ctx_, owner_, Title(), reason, LocalFilePath(file), 0))
        return false;

    TFormAttesa wait(owner_);
    wait.setWindowTitle(Text("FinestraCaricaDati"));
    wait.SetMessage(Text("LabelCaricaDati"));
    wait.SetProgressSuffix(Text("MessCompletato"));
    wait.ShowAndPaint();
    bool loaded = false;
    {
        BusyCursor busy;
        loaded = car.LoadFromFile(LocalFilePath(file), 0);
    }
    if (!loaded) {
        // Nothing of an unreadable file goes to the unit.
        wait.close();
        Texts texts(ctx_.dictionary);
        ShowError(FileFailureMessage(
            texts, texts.Get("MessNoFoundFile", QStringLiteral("ATTENZIONE: problemi nell'apertura del file.")),
            car.LastFileError()));
        return false;
    }
    if (!configName.empty())
        car.SetConfigName(configName);
    bool wrote = false;
    if (connected) {
        wait.SetAnimationFile(GlobalData::WaitAnimation(ctx_.mainFolder));
        wait.setWindowTitle(Text("FinestraScaricaDati"));
        wait.SetMessage(Text("LabelScaricaDati"));
        wait.PaintNow();
        BusyCursor busy;
        car.WriteAll();
        wrote = true;
    }
    ShowFuelPanel();
    wait.close();
    OutcomeTexts::Show(*ctx_.dialogs, owner_, Title(), OutcomeTexts(ctx_.dictionary).AfterLoad(car, wrote));
    return true;
}

void FileCommands::Save()
{
    const ConfigFileDialogs d = dialogs_();
    const QString file = ctx_.dialogs->SaveFileName(owner_, d.saveTitle, d.saveFolder, Filter());
    if (file.isEmpty())
        return;
    ConfCar& car = *ctx_.car;

    bool official = false;
    bool forCalibration = false;
    {
        TFormSaveOption options(ctx_.dictionary, owner_);
        options.SetDisplacement(static_cast<int>(car.GetParam(ids::kCilindrata)));
        options.SetMethane(car.GetStatusFlag(ConfCar::kMethane));
        if (ctx_.dialogs->Exec(&options) != QDialog::Accepted)
            return;
        official = options.Official();
        forCalibration = options.ForCalibration();
        car.SetStatusFlag(ConfCar::kMethane, options.Methane());
        ShowFuelPanel();
        car.SetParam(ids::kCilindrata, options.Displacement());
    }
    if (owner_ != nullptr)
        owner_->repaint();

    car.SetConfigName(ToCp1252(ConfigNameOf(file)));
    car.SetStatusFlag(ConfCar::kOfficial, official);
    bool saved = false;
    {
        BusyCursor busy;
        saved = car.SaveToFile(LocalFilePath(file), forCalibration ? 1 : 0);
    }
    if (!saved) {
        Texts texts(ctx_.dictionary);
        ShowError(FileFailureMessage(texts, texts.Get("MessErroreSalva", QStringLiteral("Impossibile salvare il file.")),
                                     car.LastFileError()));
    }
}

void FileCommands::OpenInEditor()
{
    const ConfigFileDialogs d = dialogs_();
    const QString file = ctx_.dialogs->OpenFileName(owner_, d.openTitle, d.openFolder, Filter());
    if (file.isEmpty())
        return;
    QDir().mkpath(QFileInfo(file).dir().filePath(QStringLiteral("Decrypted")));
    const QString target = DecodedCopyName(file);
    if (!CryptFile(FsPath(file), FsPath(target), true, true)) {
        ShowError(QStringLiteral("Impossibile decriptare il file"));
        return;
    }
    if (!editor_.Open(target)) {
        // The copy is written all the same: say where it is.
        Texts texts(ctx_.dictionary);
        ShowError(texts.Get("MessNoEditor", QStringLiteral("Impossibile avviare un editor di testo. La copia "
                                                                   "decriptata si trova in: %1"))
                      .arg(QDir::toNativeSeparators(target)));
    }
}

} // namespace vapora
