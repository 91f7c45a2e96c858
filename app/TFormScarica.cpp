#include "TFormScarica.h"

#include "AppContext.h"

namespace vapora {

TFormScarica::TFormScarica(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context)
{
    setObjectName(QStringLiteral("FormScarica"));
    setWindowTitle(QStringLiteral("Programmazione centralina Vapora"));
}

} // namespace vapora
