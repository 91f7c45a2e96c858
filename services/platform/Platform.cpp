#include "services/platform/Platform.h"

#include <QtGlobal>

namespace vapora {

bool PlatformSupported()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return false;
#endif
}

} // namespace vapora
