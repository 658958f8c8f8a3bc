#include "misc/HelpFile.h"

#include "misc/AppDirectories.h"

#include <QFileInfo>

namespace Misc {

QString Help_GetManualFile()
{
    return AppDirectories::ResolveDataFile(QStringLiteral("Help/index.html"));
}

bool Help_IsAvailable()
{
    return QFileInfo::exists(Help_GetManualFile());
}

} // namespace Misc
