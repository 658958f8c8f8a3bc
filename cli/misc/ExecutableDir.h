#pragma once

#include <string>

namespace Misc {

// The directory of the running executable, canonical and without a trailing separator, found
// through the process's own exe link. Empty when it cannot be determined. The link is a parameter
// only so that the lookup can be exercised on other links.
std::string GetExecutableDir(const std::string& strExeLink = "/proc/self/exe");

} // namespace Misc
