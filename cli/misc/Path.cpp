#include "misc/Path.h"

namespace Misc {

std::string CombinePath(const std::string& strFirst, const std::string& strSecond)
{
    if (strFirst.empty())
        return strSecond;
    if (strSecond.empty())
        return strFirst;
    if (strFirst.back() == '/')
        return strFirst + strSecond;
    return strFirst + '/' + strSecond;
}

} // namespace Misc
