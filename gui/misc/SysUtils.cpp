#include "misc/SysUtils.h"

#include <QDesktopServices>
#include <QUrl>

namespace SysUtils {

bool LaunchFile(const QString& strPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

} // namespace SysUtils
