#include "files/FormSupport.h"

#include "i18n/TDataModuleMur.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vapora::filesui {

int Scaled(double scale, int designPixels) { return static_cast<int>(std::lround(designPixels * scale)); }

void UseWindowFont(QWidget* window, double scale)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(Scaled(scale, 12));
    window->setFont(font);
}

Texts::Texts(TDataModuleMur* dictionary)
    : dictionary_(dictionary), active_(dictionary != nullptr && dictionary->Available())
{
    if (active_)
        dictionary_->BeginLookups();
}

Texts::~Texts()
{
    if (active_)
        dictionary_->EndLookups();
}

QString Texts::Get(const char* key, const QString& fallback, int maxLength)
{
    QString text = fallback;
    Has(key, text, maxLength);
    return text;
}

bool Texts::Has(const char* key, QString& text, int maxLength)
{
    return active_ && dictionary_->Lookup(QString::fromLatin1(key), text, maxLength);
}

void Texts::Control(QObject* control, int maxLength)
{
    if (active_)
        dictionary_->LookupControl(control, maxLength);
}

} // namespace vapora::filesui
