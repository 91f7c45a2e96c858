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

} // namespace

void ProgramFirmware(AppContext& ctx, TFormScarica& fileWindow, Connection& connection, QWidget* owner)
{
    if (fileWindow.Run() != QDialog::Accepted)
        return;
    const MessageTable& texts = *ctx.messages;
    SerialLink& link = *ctx.link;

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
        ctx.dialogs->Message(owner, owner != nullptr ? owner->windowTitle() : ctx.applicationTitle,
                             texts.Text(QStringLiteral("MessProgKO")), MsgIcon::Error);
        return;
    }
    if (owner != nullptr)
        owner->repaint();
    connection.Connect(true, true);
}

} // namespace vapora
