#include "misc/TextCase.h"

#include <algorithm>
#include <cctype>

namespace Misc {

namespace {
char LowerChar(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
} // namespace

std::string ToLowerAscii(std::string strText)
{
    std::transform(strText.begin(), strText.end(), strText.begin(), LowerChar);
    return strText;
}

bool EqualsNoCase(const std::string& strFirst, const std::string& strSecond)
{
    return strFirst.size() == strSecond.size()
           && std::equal(strFirst.begin(), strFirst.end(), strSecond.begin(),
                         [](char a, char b) { return LowerChar(a) == LowerChar(b); });
}

} // namespace Misc
