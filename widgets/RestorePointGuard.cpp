#include "widgets/RestorePointGuard.h"

#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "services/AppContext.h"
#include "services/i18n/WindowTexts.h"
#include "services/platform/FilePaths.h"
#include "services/ui/DialogService.h"
#include "widgets/FileMessages.h"

#include <QDir>

namespace vapora {

namespace {

bool UnitConnected(const AppContext& ctx) { return ctx.link != nullptr && ctx.link->IsConnected() != 0; }

} // namespace

QString RestoreFolder(const AppContext& context)
{
    if (context.mainFolder.isEmpty())
        return {};
    return QDir(context.mainFolder).filePath(QStringLiteral("Storico"));
}

QString RestoreFailureText(const AppContext& context, FileError error)
{
    WindowTexts texts(context.dictionary);
    const QString headline =
        texts.Get("MessRipristinoNonSalvato",
                  QString::fromUtf8("Non è stato possibile salvare il punto di ripristino nella cartella %1."))
            .arg(QDir::toNativeSeparators(RestoreFolder(context)));
    return FileFailureMessage(texts, headline, error);
}

bool KeepBeforeOverwrite(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason)
{
    if (context.car == nullptr || !UnitConnected(context) || context.mainFolder.isEmpty())
        return true;
    restore::Store store(FsPath(context.mainFolder));
    const restore::TakeResult taken = store.Take(*context.car, reason);
    if (taken.status != restore::TakeStatus::Failed)
        return true;
    // The question is asked once the operation's own windows are gone from the
    // screen; "no" is the default, and then the unit keeps what it has.
    WindowTexts texts(context.dictionary);
    const QString question = RestoreFailureText(context, taken.error) + QStringLiteral("\n\n") +
                             texts.Get("MessRipristinoProseguire",
                                       QString::fromUtf8("Continuare senza una copia della configurazione della "
                                                         "centralina?"));
    if (context.dialogs == nullptr)
        return false;
    return context.dialogs->Message(owner, title, question, MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) ==
           MsgResult::Yes;
}

bool KeepBeforeFileLoad(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason,
                        const std::string& localPath, int scope)
{
    if (context.car == nullptr || !UnitConnected(context))
        return true;
    ConfCar probe(std::string(), nullptr);
    if (!probe.LoadFromFile(localPath, scope))
        return true;
    return KeepBeforeOverwrite(context, owner, title, reason);
}

restore::TakeStatus KeepAfterRead(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason,
                                  bool tell)
{
    if (context.car == nullptr || context.mainFolder.isEmpty())
        return restore::TakeStatus::Unchanged;
    restore::Store store(FsPath(context.mainFolder));
    const restore::TakeResult taken = store.Take(*context.car, reason);
    if (taken.status == restore::TakeStatus::Failed && tell && context.dialogs != nullptr)
        context.dialogs->Message(owner, title, RestoreFailureText(context, taken.error), MsgIcon::Warning);
    return taken.status;
}

int ThinRestorePoints(const AppContext& context)
{
    if (context.mainFolder.isEmpty())
        return 0;
    // Nothing to thin is no reason to make the folder.
    if (!QDir(RestoreFolder(context)).exists())
        return 0;
    restore::Store store(FsPath(context.mainFolder));
    return store.Thin();
}

} // namespace vapora
