#include "misc/Color.h"

#include <algorithm>
#include <cstdio>

namespace Misc {

namespace {
unsigned int ReadHexPair(const std::string& strDigits, size_t nPos)
{
    if (nPos >= strDigits.size())
        return 0;
    unsigned int nValue = 0;
    if (std::sscanf(strDigits.substr(nPos, 2).c_str(), "%x", &nValue) != 1)
        return 0;
    // "%x" takes a sign, so "-1" would read as 0xFFFFFFFF; that is no component either.
    return nValue <= 255 ? nValue : 0;
}
} // namespace

Color::Color(const std::string& strText)
{
    std::string strDigits = strText;
    strDigits.erase(std::remove(strDigits.begin(), strDigits.end(), '#'), strDigits.end());
    m_red = ReadHexPair(strDigits, 0);
    m_green = ReadHexPair(strDigits, 2);
    m_blue = ReadHexPair(strDigits, 4);
    m_alpha = 1.0f;
    m_valid = true;
}

bool Color::SetColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue, float fAlpha)
{
    if (nRed > 255 || nGreen > 255 || nBlue > 255)
        return false;
    if (!(fAlpha >= 0.0f && fAlpha <= 1.0f))
        return false;
    m_red = nRed;
    m_green = nGreen;
    m_blue = nBlue;
    m_alpha = fAlpha;
    m_valid = true;
    return true;
}

} // namespace Misc
