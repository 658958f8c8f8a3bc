#include "misc/HelpFile.h"

#include "core/TessaraCore.h"
#include "misc/SysUtils.h"

#include <QFileInfo>

namespace Misc {

QString Help_GetManualFile()
{
    return Core::TessaraCore::ResolveFilename(QStringLiteral("Tessara.pdf"));
}

bool Help_IsAvailable()
{
    return QFileInfo::exists(Help_GetManualFile());
}

void Help_OpenManual()
{
    if (Help_IsAvailable())
        SysUtils::LaunchFile(Help_GetManualFile());
}

} // namespace Misc
