#pragma once

#include <QString>

namespace VersionUtils
{

// "2.0.0.100" with bFull, "2.0.0" without.
QString GetVersionString(bool bFull);

}  // namespace VersionUtils
