#include "misc/NaturalOrder.h"

#include <cctype>

namespace Misc {

namespace {
bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Compares the digit runs starting at nFirst and nSecond by value and moves both past them.
// Runs of any length are compared without converting them, so long numbers cannot overflow.
int CompareNumbers(const std::string& strFirst, size_t& nFirst, const std::string& strSecond, size_t& nSecond)
{
    while (nFirst < strFirst.size() && strFirst[nFirst] == '0')
        ++nFirst;
    while (nSecond < strSecond.size() && strSecond[nSecond] == '0')
        ++nSecond;
    size_t nFirstEnd = nFirst;
    while (nFirstEnd < strFirst.size() && IsDigit(strFirst[nFirstEnd]))
        ++nFirstEnd;
    size_t nSecondEnd = nSecond;
    while (nSecondEnd < strSecond.size() && IsDigit(strSecond[nSecondEnd]))
        ++nSecondEnd;

    int nResult = 0;
    if (nFirstEnd - nFirst != nSecondEnd - nSecond)
        nResult = nFirstEnd - nFirst < nSecondEnd - nSecond ? -1 : 1;
    else
        nResult = strFirst.compare(nFirst, nFirstEnd - nFirst, strSecond, nSecond, nSecondEnd - nSecond);
    nFirst = nFirstEnd;
    nSecond = nSecondEnd;
    return nResult;
}

int CompareNaturally(const std::string& strFirst, const std::string& strSecond)
{
    size_t nFirst = 0;
    size_t nSecond = 0;
    while (nFirst < strFirst.size() && nSecond < strSecond.size()) {
        if (IsDigit(strFirst[nFirst]) && IsDigit(strSecond[nSecond])) {
            const int nResult = CompareNumbers(strFirst, nFirst, strSecond, nSecond);
            if (nResult != 0)
                return nResult;
            continue;
        }
        const int nFirstChar = std::tolower(static_cast<unsigned char>(strFirst[nFirst++]));
        const int nSecondChar = std::tolower(static_cast<unsigned char>(strSecond[nSecond++]));
        if (nFirstChar != nSecondChar)
            return nFirstChar < nSecondChar ? -1 : 1;
    }
    if (nFirst < strFirst.size())
        return 1;
    return nSecond < strSecond.size() ? -1 : 0;
}
} // namespace

bool NaturalLess(const std::string& strFirst, const std::string& strSecond)
{
    const int nResult = CompareNaturally(strFirst, strSecond);
    return nResult != 0 ? nResult < 0 : strFirst < strSecond;
}

} // namespace Misc
