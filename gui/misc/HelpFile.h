#pragma once

#include <QString>

namespace Misc {

// The user guide's first page (HTML, with its pictures beside it), shipped with the programs.
QString Help_GetManualFile();
bool Help_IsAvailable();

} // namespace Misc
