#include "RunCalibration.h"

#include "services/AppContext.h"
#include "TFormCalibrazione.h"
#include "TFormSceltaCal.h"
#include "services/ui/DialogService.h"

#include <QDir>

namespace vapora {

void RunCalibration(AppContext& ctx, QWidget* parent)
{
    TFormSceltaCal choice(ctx.dictionary, parent);
    if (ctx.dialogs->Exec(&choice) != QDialog::Accepted)
        return;
    TFormCalibrazione calibration(ctx, choice.IdleOnly(), QDir(ctx.mainFolder).filePath(QStringLiteral("Calibrazione")),
                                  parent);
    if (!calibration.ModalResultPreset())
        ctx.dialogs->Exec(&calibration);
}

} // namespace vapora
