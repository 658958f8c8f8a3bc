#pragma once

#include <string>

namespace Misc {

// Joins a directory and a name with exactly one separator; an empty side yields the other.
std::string CombinePath(const std::string& strFirst, const std::string& strSecond);

} // namespace Misc
