#include "misc/NaturalOrder.h"

#include "TessaraNaturalOrder.h"

#include <cctype>

namespace Misc {

bool NaturalLess(const std::string& strFirst, const std::string& strSecond)
{
    const int nResult = Contract::CompareNaturally(strFirst.data(), strFirst.size(), strSecond.data(), strSecond.size(),
                                                   [](char c) { return std::tolower(static_cast<unsigned char>(c)); });
    return nResult != 0 ? nResult < 0 : strFirst < strSecond;
}

} // namespace Misc
