#pragma once

#include <QString>

namespace Misc {

// Opens a local file or folder with the desktop's default application.
bool LaunchFile(const QString& strPath);

} // namespace Misc
