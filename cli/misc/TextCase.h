#pragma once

#include <string>

namespace Misc {

// Names, switches and keywords are ASCII and matched ignoring letter case; these helpers are the one
// place that decides what "ignoring case" means.
std::string ToLowerAscii(std::string strText);
bool EqualsNoCase(const std::string& strFirst, const std::string& strSecond);

} // namespace Misc
