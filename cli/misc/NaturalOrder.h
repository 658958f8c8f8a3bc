#pragma once

#include <string>

namespace Misc {

// Orders names as people read them, as the editor does (see TessaraNaturalOrder.h), ASCII letters
// without regard to case; names that are still equal (tile01 and tile1, A and a) fall back to
// byte order, so that the order is total and the same on every run.
bool NaturalLess(const std::string& strFirst, const std::string& strSecond);

} // namespace Misc
