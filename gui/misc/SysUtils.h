#pragma once

#include <QString>

namespace Misc {

// Opens a local file or folder with the desktop's default application; false when the desktop has
// none for it or it could not be started.
bool LaunchFile(const QString& strPath);

} // namespace Misc
