#include "Firmware.h"

#include "services/AppContext.h"
#include "Connection.h"
#include "services/MessageTable.h"
#include "TFormScarica.h"
#include "services/platform/FilePaths.h"
#include "files/FormSupport.h"
#include "link/SerialLink.h"
#include "model/FileCodec.h"
#include "model/UnitRules.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "services/i18n/WindowTexts.h"
#include "model/ConfCar.h"
#include "widgets/RestorePointGuard.h"
#include "widgets/TFormAttesa.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vapora {

namespace {

constexpr int kMaxAttempts = unitrules::kFirmwareAttempts;
constexpr int32_t kBatteryLow = unitrules::kProgramBatteryLow;

// The decoded image is a working file of this command only: hidden, and
// removed at the end whatever happens.
#ifdef Q_OS_WIN
const QString kDecodedPrefix = QStringLiteral("_dp");
#else
const QString kDecodedPrefix = QStringLiteral("._dp");
#endif

QString DecodedCopy(const QString& encoded)
{
    QTemporaryFile file(QDir::temp().filePath(kDecodedPrefix + QStringLiteral("XXXXXX")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = file.fileName();
    file.close();
    // A file that cannot be decoded leaves the empty copy: the unit refuses it
    // like any bad image.
    CryptFile(FsPath(encoded), FsPath(path), true, false);
#ifdef Q_OS_WIN
    SetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), FILE_ATTRIBUTE_HIDDEN);
#endif
    return path;
}

void RemoveWorkingFile(const QString& path)
{
    if (path.isEmpty())
        return;
#ifdef Q_OS_WIN
    SetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), FILE_ATTRIBUTE_NORMAL);
#endif
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path);
}

// Reads the connected unit's whole configuration again; true when it all came.
bool ReadBeforeProgramming(AppContext& ctx, QWidget* owner)
{
    if (ctx.car == nullptr || ctx.link == nullptr || ctx.link->IsConnected() == 0)
        return false;
    const MessageTable& texts = *ctx.messages;
    TFormAttesa wait(owner);
    wait.setWindowTitle(texts.Text(QStringLiteral("FinestraCaricaDati")));
    wait.SetMessage(texts.Text(QStringLiteral("LabelCaricaDati")));
    wait.SetProgressSuffix(QLatin1Char(' ') + texts.Text(QStringLiteral("MessCompletato")) + QLatin1Char(' '));
    wait.ShowAndPaint();
    filesui::BusyCursor busy;
    return ctx.car->ReadAll();
}

} // namespace

void ProgramFirmware(AppContext& ctx, TFormScarica& fileWindow, Connection& connection, QWidget* owner)
{
    if (fileWindow.Run() != QDialog::Accepted)
        return;
    const MessageTable& texts = *ctx.messages;
    SerialLink& link = *ctx.link;
    const QString title = owner != nullptr ? owner->windowTitle() : ctx.applicationTitle;

    // New software may bring new defaults: keep what the unit holds first, when it
    // answers a read. One that does not (broken software) is programmed all the same.
    const bool answered = ReadBeforeProgramming(ctx, owner);
    if (answered && !KeepBeforeOverwrite(ctx, owner, title, restore::Reason::BeforeProgramming))
        return;
    const QString withoutPoint =
        answered ? QString()
                 : WindowTexts(ctx.dictionary)
                       .Get("MessProgSenzaRipristino",
                            QString::fromUtf8("La centralina non ha risposto alla lettura della configurazione: "
                                              "è stata programmata senza un punto di ripristino."));

    if (owner != nullptr)
        owner->repaint();
    int32_t result = 0;
    {
        filesui::BusyCursor busy;
        TFormAttesa wait(owner);
        wait.SetAnimationFile(GlobalData::WaitAnimation(ctx.mainFolder));
        const QString caption = texts.Text(QStringLiteral("FinestraRiprogramma"));
        wait.setWindowTitle(caption);
        wait.SetMessage(texts.Text(QStringLiteral("LabelRiprogInCorso")));
        wait.SetProgressSuffix(texts.Text(QStringLiteral("MessCompletato")));
        wait.ShowAndPaint();
        wait.activateWindow(); // the link's progress goes to it

        if (link.IsConnected() != 0) {
            connection.Disconnect();
            QCoreApplication::processEvents();
        }

        const QString decoded = fileWindow.ChosenEncoded() ? DecodedCopy(fileWindow.ChosenFile()) : QString();
        const std::string image = LocalFilePath(fileWindow.ChosenEncoded() ? decoded : fileWindow.ChosenFile());
        link.BeginProgramming();
        int attempt = 1;
        result = link.ProgramFirmware(image.c_str(), 2, 0, 1);
        while (result != 0 && attempt < kMaxAttempts) {
            const QString question =
                result == kBatteryLow ? texts.Text(QStringLiteral("MessBattLow")) : texts.FailedProgramming();
            if (ctx.dialogs->Message(&wait, wait.windowTitle(), question, MsgIcon::Error, MsgButtons::YesNo,
                                     MsgResult::Yes) != MsgResult::Yes)
                break;
            ++attempt;
            wait.setWindowTitle(caption + QStringLiteral(" - ") + texts.Text(QStringLiteral("MessTentativo")) +
                                QLatin1Char(' ') + QString::number(attempt));
            wait.PaintNow();
            result = link.ProgramFirmware(image.c_str(), 2, 0, 1);
        }
        link.EndProgramming();
        RemoveWorkingFile(decoded);
        wait.close();
    }

    if (result != 0) {
        ctx.dialogs->Message(owner, title, texts.Text(QStringLiteral("MessProgKO")), MsgIcon::Error);
        return;
    }
    if (!withoutPoint.isEmpty())
        ctx.dialogs->Message(owner, title, withoutPoint, MsgIcon::Information);
    if (owner != nullptr)
        owner->repaint();
    connection.Connect(true, true, restore::Reason::AfterProgramming);
}

} // namespace vapora
