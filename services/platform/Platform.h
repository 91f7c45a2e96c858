#pragma once
// The operating systems the program runs on.

#include <QString>

namespace vapora {

bool PlatformSupported();

// What an unsupported system is told.
inline QString UnsupportedPlatformText() { return QStringLiteral("Questo programma richiede Windows 95/98/NT"); }
inline QString UnsupportedPlatformTitle() { return QStringLiteral("Sistema operativo non compatibile"); }

} // namespace vapora
