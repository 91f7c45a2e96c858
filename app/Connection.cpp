#include "Connection.h"
#include "widgets/RestorePointGuard.h"

#include "services/AppContext.h"
#include "MainPanels.h"
#include "services/MessageTable.h"
#include "TFormSceltaCarb.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/OutcomeTexts.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "model/PlatformFiles.h"
#include "model/TransferOutcome.h"
#include "model/UnitRules.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "services/i18n/WindowTexts.h"
#include "services/platform/FilePaths.h"
#include "widgets/TFormAttesa.h"
#include "wire/LinkSetting.h"
#include "wire/SerialPorts.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <filesystem>
#include <memory>

namespace vapora {
namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString(); }

// The reset file of a fuel word, found without regard to case as on the
// installations the files come from; the plain name when there is none.
QString ResetFilePath(const QString& mainFolder, const QString& fuelWord)
{
    const QString wanted = QStringLiteral("Reset") + fuelWord + QStringLiteral(".vap");
    const std::filesystem::path found =
        FindIgnoringCase(vapora::LocalPath(LocalPath(GlobalData::CalibrationFolder(mainFolder))),
                         vapora::LocalPath(LocalPath(wanted)));
    return QDir::fromNativeSeparators(QFile::decodeName(QByteArray::fromStdString(LocalText(found))));
}

// Shows the hourglass for the lifetime of the object.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

Connection::Connection(AppContext& context, MainPanels& panels, QWidget* owner)
    : ctx_(context), panels_(panels), owner_(owner)
{
}

// ---- connect and disconnect ----

void Connection::Connect(bool interactive, bool reload, restore::Reason readReason)
{
    connecting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{connecting_};
    SerialLink& link = *ctx_.link;
    ConfCar& car = *ctx_.car;
    const MessageTable& texts = *ctx_.messages;

    portProblem_ = PortProblem();
    if (!portProblem_.isEmpty()) {
        if (interactive)
            ShowError(texts.Text(QStringLiteral("MessErrConn")) + QStringLiteral("\n\n") + portProblem_);
        return;
    }
    if (!link.OpenLink()) {
        if (interactive)
            ShowError(texts.Text(QStringLiteral("MessErrConn")));
        return;
    }
    link.Connect();

    if (!car.ReadIdentification()) {
        if (interactive)
            ShowError(texts.Text(QStringLiteral("MessErrVersioneCpu")));
        link.Disconnect();
        return;
    }

    // Family and compatibility refusals are shown also at the silent start: the
    // no-connection text would not tell the user why.
    if (!unitrules::IsSupportedFamily(car.IdUnita)) {
        link.Disconnect();
        ShowError(texts.Text(QStringLiteral("MessCpuErrata")));
        return;
    }

    const unitrules::CompatibilityWords words = unitrules::ReadCompatibilityWords(car);
    const int today = Today();
    const int lastWarning = ctx_.settings != nullptr ? ctx_.settings->GetValue(GlobalData::kLastWarning) : 0;
    switch (CheckCompatibility(words.a, words.b, today, lastWarning)) {
    case Compatibility::Refuse:
        link.Disconnect();
        ShowError(texts.InterfaceOld());
        return;
    case Compatibility::Warn:
        if (ctx_.settings != nullptr)
            ctx_.settings->SetValue(GlobalData::kLastWarning, today);
        ctx_.dialogs->Message(owner_, Title(), texts.InterfaceWarning(), MsgIcon::Warning);
        break;
    case Compatibility::Accept:
        break;
    }

    std::unique_ptr<TFormAttesa> wait;
    if (interactive) {
        wait = std::make_unique<TFormAttesa>(owner_);
        wait->setWindowTitle(texts.Text(QStringLiteral("FinestraCaricaDati")));
        wait->SetMessage(texts.Text(QStringLiteral("MessInitCpu")));
        wait->SetProgressSuffix(QLatin1Char(' ') + texts.Text(QStringLiteral("MessCompletato")) + QLatin1Char(' '));
        wait->ShowAndPaint();
    }

    // A unit that never reports ready is read anyway: the reads tell the rest.
    car.WaitUnitReady(unitrules::kReadyTimeoutMs);

    if (wait) {
        wait->SetMessage(texts.Text(QStringLiteral("LabelCaricaDati")));
        wait->PaintNow();
    }

    if (reload && !car.ReadAll() && car.LastTransfer().linkLost) {
        // A read cut short is no configuration of the unit: say how far it got, and no
        // fuel choice (without a unit it would load a reset file over what was read).
        if (wait)
            wait->close();
        OutcomeTexts::Show(*ctx_.dialogs, owner_, Title(), OutcomeTexts(ctx_.dictionary).AfterTransfer(car));
        return;
    }

    panels_.SetPanelText(2, VersionPanelText(texts.Text(QStringLiteral("MessVersioneSw")), car.SoftwareVersion(),
                                             car.IdUnita[2],
                                             GlobalData::ProgramFolder(ctx_.mainFolder) + QStringLiteral("/Vapora.txt")));
    ShowFuelPanel();

    if (wait) {
        wait->close();
        wait.reset();
    }
    if (reload && car.LastTransfer().Complete())
        KeepReadPoint(readReason, interactive);

    // Nor is a read the unit refused in part: no fuel choice unless a read again comes whole.
    if (reload && !OfferReadAfterRefusal(readReason))
        return;
    ChooseFuel();
}

void Connection::Disconnect() { ctx_.link->Disconnect(); }

sernox::wire::ResolvedLink Connection::LinkInForce() const
{
    const QString settingsFile = ctx_.settings != nullptr ? ctx_.settings->SettingsFile() : QString();
    return sernox::wire::ResolveLinkSetting(ctx_.libraryFolder.isEmpty() ? std::filesystem::path() : FsPath(ctx_.libraryFolder),
                                            settingsFile.isEmpty() ? std::filesystem::path() : FsPath(settingsFile));
}

QString Connection::PortProblem() const
{
    using sernox::wire::LinkSetting;
    const LinkSetting setting = sernox::wire::ParseLinkSetting(LinkInForce().text);
    WindowTexts texts(ctx_.dictionary);
    if (setting.kind == LinkSetting::Kind::None)
        return texts.Get("MessPortaNonScelta",
                         QString::fromUtf8("Nessuna porta seriale scelta: sceglierla dal menu Impostazioni > Porta "
                                           "Seriale."));
    if (setting.kind != LinkSetting::Kind::Serial)
        return {};
    const QString port = QString::fromStdString(setting.port);
    const sernox::wire::PortCheck check = sernox::wire::CheckSerialPort(setting.port);
    switch (check.state) {
    case sernox::wire::PortCheck::State::Usable:
        return {};
    case sernox::wire::PortCheck::State::Missing:
        return texts
            .Get("MessPortaMancante",
                 QString::fromUtf8("La porta seriale %1 non esiste: controllare che l'adattatore sia collegato, "
                                   "oppure sceglierne un'altra dal menu Impostazioni > Porta Seriale."))
            .arg(port);
    case sernox::wire::PortCheck::State::NoAccess:
        break;
    }
    const QString user = check.user.empty() ? QStringLiteral("$USER") : QString::fromStdString(check.user);
    const QString group = check.group.empty() ? QStringLiteral("dialout") : QString::fromStdString(check.group);
    if (check.loginPending)
        return texts
            .Get("MessPortaAttesaGruppo",
                 QString::fromUtf8("L'utente %2 fa parte del gruppo %3, ma questa sessione è iniziata prima: "
                                   "uscire dalla sessione e rientrare per aprire la porta seriale %1."))
            .arg(port, user, group);
    return texts
        .Get("MessPortaNegata",
             QString::fromUtf8("L'utente %2 non può aprire la porta seriale %1: deve far parte del gruppo %3.\n"
                               "Per aggiungerlo, in un terminale: sudo adduser %2 %3\n"
                               "poi uscire dalla sessione e rientrare."))
        .arg(port, user, group);
}

Connection::Compatibility Connection::CheckCompatibility(int wordA, int wordB, int today, int lastWarning)
{
    return unitrules::CheckCompatibility(wordA, wordB, today, lastWarning);
}

QString Connection::VersionPanelText(const QString& label, int version, int modelCode, const QString& versionFile)
{
    const QString code = QString::number(modelCode);
    QString suffix = QLatin1Char('.') + code;
    QFile file(versionFile);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            // The file comes from Windows installations: Windows-1252, CR LF.
            const QByteArray bytes = file.readLine();
            QString line = FromCp1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
            while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            if (line.left(eq).compare(code, Qt::CaseInsensitive) == 0) {
                suffix = QStringLiteral(" - ") + line.mid(eq + 1);
                break;
            }
        }
    }
    return label + QStringLiteral(": ") + QString::number(version) + suffix;
}

int Connection::Today()
{
    return static_cast<int>(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
}

// ---- reset and fuel choice ----

void Connection::ResetUnit()
{
    if (ctx_.link->IsConnected() == 0)
        return;
    const MessageTable& texts = *ctx_.messages;
    ConfCar& car = *ctx_.car;

    const QString file = ResetFilePath(ctx_.mainFolder, car.GetStatusFlag(ConfCar::kMethane) ? QStringLiteral("Cng")
                                                                                          : QStringLiteral("Lpg"));
    const bool haveFile = QFileInfo(file).isFile();
    if (!haveFile && Ask(texts.Text(QStringLiteral("MessNoFileReset")), MsgIcon::Warning, MsgResult::Yes) != MsgResult::Yes)
        return;
    if (Ask(texts.Text(QStringLiteral("MessConfermaReset")), MsgIcon::Question, MsgResult::Yes) != MsgResult::Yes)
        return;
    if (!KeepBeforeOverwrite(ctx_, owner_, Title(), restore::Reason::Reset))
        return;

    TFormAttesa wait(owner_);
    wait.setWindowTitle(texts.Text(QStringLiteral("FinestraScaricaDati")));
    wait.SetMessage(texts.Text(QStringLiteral("LabelReset")));
    wait.SetProgressSuffix(QLatin1Char(' ') + texts.Text(QStringLiteral("MessCompletato")) + QLatin1Char(' '));
    wait.ShowAndPaint();
    bool loaded = true;
    {
        BusyCursor busy;
        // No file: the record's built-in defaults go to the unit.
        loaded = car.ResetUnit(haveFile ? LocalPath(file) : std::string());
    }
    wait.close();
    if (loaded) {
        const OutcomeTexts outcome(ctx_.dictionary);
        OutcomeTexts::Show(*ctx_.dialogs, owner_, Title(),
                           haveFile ? outcome.AfterLoad(car, true) : outcome.AfterTransfer(car));
    }
}

void Connection::ReadAgain()
{
    if (ctx_.link->IsConnected() == 0)
        return;
    ReadWithWaitWindow();
    OfferReadAfterRefusal();
}

void Connection::KeepReadPoint(restore::Reason readReason, bool tell)
{
    KeepAfterRead(ctx_, owner_, Title(), readReason, tell);
}

void Connection::ReadWithWaitWindow(restore::Reason readReason)
{
    const MessageTable& texts = *ctx_.messages;
    TFormAttesa wait(owner_);
    wait.setWindowTitle(texts.Text(QStringLiteral("FinestraCaricaDati")));
    wait.SetMessage(texts.Text(QStringLiteral("LabelCaricaDati")));
    wait.SetProgressSuffix(QLatin1Char(' ') + texts.Text(QStringLiteral("MessCompletato")) + QLatin1Char(' '));
    wait.ShowAndPaint();
    {
        BusyCursor busy;
        ctx_.car->ReadAll();
    }
    wait.close();
    ShowFuelPanel();
    if (ctx_.car->LastTransfer().Complete())
        KeepReadPoint(readReason, true);
}

bool Connection::OfferReadAfterRefusal(restore::Reason readReason)
{
    const OutcomeTexts outcome(ctx_.dictionary);
    while (true) {
        const TransferOutcome& last = ctx_.car->LastTransfer();
        if (last.Complete())
            return true;
        if (last.linkLost || ctx_.link->IsConnected() == 0) {
            OutcomeTexts::Show(*ctx_.dialogs, owner_, Title(), outcome.AfterTransfer(*ctx_.car));
            return false;
        }
        const QString text = outcome.AfterTransfer(*ctx_.car) + QStringLiteral("\n\n") + outcome.ReadAgainNowQuestion();
        if (Ask(text, MsgIcon::Warning, MsgResult::Yes) != MsgResult::Yes)
            return false;
        ReadWithWaitWindow(readReason);
    }
}

void Connection::ChooseFuel()
{
    const MessageTable& texts = *ctx_.messages;
    ConfCar& car = *ctx_.car;

    panels_.RepaintStatusBar();
    const bool connected = ctx_.link->IsConnected() != 0;
    const int current = car.GetStatusFlag(ConfCar::kMethane) ? TFormSceltaCarb::kMethane : TFormSceltaCarb::kLpg;

    int result = QDialog::Rejected;
    int chosen = current;
    {
        TFormSceltaCarb window(ctx_.dictionary, connected, current, owner_);
        result = ctx_.dialogs->Exec(&window);
        chosen = window.Chosen();
    }

    // Without a unit the window cannot be cancelled: closing it in any way confirms.
    if (result == QDialog::Accepted || !connected) {
        if (chosen != current || !connected) {
            if (connected && ctx_.dialogs->Message(owner_, Title(), texts.Text(QStringLiteral("MessConfermaCarb")),
                                                   MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
                return;
            if (!LoadResetFile(chosen == TFormSceltaCarb::kMethane, connected))
                return;
        }
        car.SetStatusFlag(ConfCar::kMethane, chosen == TFormSceltaCarb::kMethane);
    }
    ShowFuelPanel();
}

bool Connection::LoadResetFile(bool methane, bool connected)
{
    const MessageTable& texts = *ctx_.messages;
    ConfCar& car = *ctx_.car;
    const QString contact = QLatin1Char('\n') + texts.Text(QStringLiteral("MessContatto"));

    const QString file = ResetFilePath(ctx_.mainFolder, methane ? QStringLiteral("cng") : QStringLiteral("lpg"));
    if (!QFileInfo(file).isFile()) {
        ShowError(texts.Text(QStringLiteral("MessNoCambioCarb")) + contact);
        return false;
    }
    bool fileMethane = false;
    const bool official = ConfCar::ReadFileFlags(LocalPath(file), &fileMethane);
    if (!official || fileMethane != methane) {
        ShowError(texts.Text(QStringLiteral("MessFileCorrotto")) + contact);
        return false;
    }
    // The reset file replaces the whole configuration of a connected unit.
    if (connected && !KeepBeforeOverwrite(ctx_, owner_, Title(), restore::Reason::FuelChange))
        return false;

    TFormAttesa wait(owner_);
    wait.setWindowTitle(texts.Text(QStringLiteral("FinestraCaricaDati")));
    wait.SetMessage(texts.Text(QStringLiteral("LabelCaricaDati")));
    wait.SetProgressSuffix(texts.Text(QStringLiteral("MessCompletato")));
    wait.ShowAndPaint();
    car.LoadFromFile(LocalPath(file), 0);
    if (connected) {
        wait.SetAnimationFile(GlobalData::WaitAnimation(ctx_.mainFolder));
        wait.setWindowTitle(texts.Text(QStringLiteral("FinestraScaricaDati")));
        wait.SetMessage(texts.Text(QStringLiteral("LabelScaricaDati")));
        wait.PaintNow();
        car.WriteAll();
    }
    wait.close();
    OutcomeTexts::Show(*ctx_.dialogs, owner_, Title(), OutcomeTexts(ctx_.dictionary).AfterLoad(car, connected));
    return true;
}

// ---- helpers ----

QString Connection::Title() const { return owner_ != nullptr ? owner_->windowTitle() : ctx_.applicationTitle; }

void Connection::ShowError(const QString& text)
{
    ctx_.dialogs->Message(owner_, Title(), text, MsgIcon::Error);
}

MsgResult Connection::Ask(const QString& text, MsgIcon icon, MsgResult defaultButton)
{
    return ctx_.dialogs->Message(owner_, Title(), text, icon, MsgButtons::YesNo, defaultButton);
}

void Connection::ShowFuelPanel()
{
    const MessageTable& texts = *ctx_.messages;
    panels_.SetPanelText(3, ctx_.car->GetStatusFlag(ConfCar::kMethane) ? texts.Text(QStringLiteral("LabelMetano"))
                                                                        : texts.Text(QStringLiteral("LabelGpl")));
}

} // namespace vapora
