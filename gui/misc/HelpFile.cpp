#include "misc/HelpFile.h"

#include "misc/AppDirectories.h"
#include "misc/SysUtils.h"

#include <QFileInfo>

namespace Misc {

QString Help_GetManualFile()
{
    return AppDirectories::ResolveFilename(QStringLiteral("Tessara.pdf"));
}

bool Help_IsAvailable()
{
    return QFileInfo::exists(Help_GetManualFile());
}

void Help_OpenManual()
{
    if (Help_IsAvailable())
        Misc::LaunchFile(Help_GetManualFile());
}

} // namespace Misc
