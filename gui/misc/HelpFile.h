#pragma once

#include <QString>

namespace Misc {

QString Help_GetManualFile();
bool Help_IsAvailable();
// Opens the manual with the desktop's viewer; does nothing when it is missing.
void Help_OpenManual();

} // namespace Misc
