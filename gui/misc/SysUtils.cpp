#include "misc/SysUtils.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace Misc {
namespace {
bool HasDesktopApplicationFor(const QString& strPath)
{
    // xdg-open is started detached and reports a missing application only on its own stderr, so
    // the desktop's choice is asked for first; a desktop without xdg-utils has none to offer.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(strPath).name()});
    return query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0
           && !query.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

bool LaunchFile(const QString& strPath)
{
    return HasDesktopApplicationFor(strPath) && QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

} // namespace Misc
