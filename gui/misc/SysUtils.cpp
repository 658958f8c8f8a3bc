#include "misc/SysUtils.h"

#include <QDesktopServices>
#include <QUrl>

namespace Misc {

bool LaunchFile(const QString& strPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

} // namespace Misc
