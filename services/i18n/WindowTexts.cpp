#include "services/i18n/WindowTexts.h"

#include "services/i18n/TDataModuleMur.h"

#include <QObject>

namespace vapora {

WindowTexts::WindowTexts(TDataModuleMur* dictionary)
    : dictionary_(dictionary), active_(dictionary != nullptr && dictionary->Available())
{
    if (active_)
        dictionary_->BeginLookups();
}

WindowTexts::~WindowTexts()
{
    if (active_)
        dictionary_->EndLookups();
}

QString WindowTexts::Get(const char* key, const QString& fallback, int maxLength)
{
    QString text = fallback;
    Has(key, text, maxLength);
    return text;
}

bool WindowTexts::Has(const char* key, QString& text, int maxLength)
{
    return active_ && dictionary_->Lookup(QString::fromLatin1(key), text, maxLength);
}

void WindowTexts::Control(QObject* control, int maxLength)
{
    if (active_)
        dictionary_->LookupControl(control, maxLength);
}

void WindowTexts::ControlFrom(QObject* control, const char* key, int maxLength)
{
    if (!active_)
        return;
    const QString name = control->objectName();
    control->setObjectName(QString::fromLatin1(key));
    dictionary_->LookupControl(control, maxLength);
    control->setObjectName(name);
}

} // namespace vapora
