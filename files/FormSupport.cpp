#include "files/FormSupport.h"

#include "services/i18n/TDataModuleMur.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vapora::filesui {

void UseWindowFont(QWidget* window, double scale) { vapora::UseWindowFont(window, scale, 12); }

} // namespace vapora::filesui
