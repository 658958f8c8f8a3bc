#include "misc/VersionUtils.h"

namespace Misc {

QString GetVersionString(bool bFull)
{
    if (bFull)
        return QStringLiteral("%1.%2.%3.%4").arg(2).arg(0).arg(0).arg(100);
    return QStringLiteral("%1.%2.%3").arg(2).arg(0).arg(0);
}

QString GetBuildDateText()
{
    return QStringLiteral("28.07.2010");
}

} // namespace Misc
