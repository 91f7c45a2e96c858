#include "editor/TFormConfig.h"

#include "AppContext.h"
#include "i18n/TDataModuleMur.h"

namespace vapora {

TFormConfig::TFormConfig(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context)
{
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QStringLiteral("Configurazione veicolo"));
}

void TFormConfig::LoadTexts()
{
    if (ctx_.dictionary == nullptr || !ctx_.dictionary->Available())
        return;
    QString caption = windowTitle();
    ctx_.dictionary->BeginLookups();
    if (ctx_.dictionary->Lookup(QStringLiteral("FinestraConfig"), caption))
        setWindowTitle(caption);
    ctx_.dictionary->EndLookups();
}

} // namespace vapora
