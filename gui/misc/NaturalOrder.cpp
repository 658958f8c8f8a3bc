#include "misc/NaturalOrder.h"

#include <algorithm>

namespace Utils {

namespace {
bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int DigitRunEnd(const QString& strText, int nPos)
{
    while (nPos < strText.size() && IsDigit(strText[nPos]))
        ++nPos;
    return nPos;
}

// Compares the digit runs at nFirst and nSecond by value, without converting them (no overflow),
// and moves both past them.
int CompareNumbers(const QString& strFirst, int& nFirst, const QString& strSecond, int& nSecond)
{
    while (nFirst < strFirst.size() && strFirst[nFirst] == QLatin1Char('0'))
        ++nFirst;
    while (nSecond < strSecond.size() && strSecond[nSecond] == QLatin1Char('0'))
        ++nSecond;
    const int nFirstEnd = DigitRunEnd(strFirst, nFirst);
    const int nSecondEnd = DigitRunEnd(strSecond, nSecond);
    int nResult = (nFirstEnd - nFirst) - (nSecondEnd - nSecond);
    if (nResult == 0)
        nResult = QStringView(strFirst)
                      .mid(nFirst, nFirstEnd - nFirst)
                      .compare(QStringView(strSecond).mid(nSecond, nSecondEnd - nSecond));
    nFirst = nFirstEnd;
    nSecond = nSecondEnd;
    return nResult;
}

int CompareNaturally(const QString& strFirst, const QString& strSecond)
{
    int nFirst = 0;
    int nSecond = 0;
    while (nFirst < strFirst.size() && nSecond < strSecond.size()) {
        if (IsDigit(strFirst[nFirst]) && IsDigit(strSecond[nSecond])) {
            const int nResult = CompareNumbers(strFirst, nFirst, strSecond, nSecond);
            if (nResult != 0)
                return nResult;
            continue;
        }
        const QChar cFirst = strFirst[nFirst++].toCaseFolded();
        const QChar cSecond = strSecond[nSecond++].toCaseFolded();
        if (cFirst != cSecond)
            return cFirst < cSecond ? -1 : 1;
    }
    return (strFirst.size() - nFirst > 0 ? 1 : 0) - (strSecond.size() - nSecond > 0 ? 1 : 0);
}
} // namespace

bool NaturalLess(const QString& strFirst, const QString& strSecond)
{
    const int nResult = CompareNaturally(strFirst, strSecond);
    return nResult != 0 ? nResult < 0 : strFirst < strSecond;
}

QStringList SortedNaturally(QStringList astrFiles)
{
    std::sort(astrFiles.begin(), astrFiles.end(), NaturalLess);
    return astrFiles;
}

} // namespace Utils
