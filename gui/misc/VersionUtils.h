#pragma once

#include <QString>

namespace Misc {

// "2.0.0.100" with bFull, "2.0.0" without.
QString GetVersionString(bool bFull);
// The release's build date as both programs show it ("28.07.2010"), not the day this copy was compiled.
QString GetBuildDateText();

} // namespace Misc
