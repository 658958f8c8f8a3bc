#pragma once

#include <cstddef>

namespace Contract {

// Orders names as people read them, the same in both programs (tesscli's matched sources, the
// editor's dropped files): runs of digits by their value (tile2 before tile10), any other code
// unit after fold (letter case ignored). Digit runs of any length are compared without converting
// them, so long numbers cannot overflow. Returns <0, 0 or >0; callers break ties by plain order
// so that the order is total (tile01 and tile1, A and a).
template <typename Char, typename Fold>
int CompareNaturally(const Char* pFirst, size_t nFirstSize, const Char* pSecond, size_t nSecondSize, Fold fold)
{
    auto isDigit = [](Char c) { return c >= Char('0') && c <= Char('9'); };
    size_t nFirst = 0;
    size_t nSecond = 0;
    while (nFirst < nFirstSize && nSecond < nSecondSize) {
        if (!isDigit(pFirst[nFirst]) || !isDigit(pSecond[nSecond])) {
            const auto first = fold(pFirst[nFirst++]);
            const auto second = fold(pSecond[nSecond++]);
            if (first != second)
                return first < second ? -1 : 1;
            continue;
        }
        while (nFirst < nFirstSize && pFirst[nFirst] == Char('0'))
            ++nFirst;
        while (nSecond < nSecondSize && pSecond[nSecond] == Char('0'))
            ++nSecond;
        size_t nFirstEnd = nFirst;
        while (nFirstEnd < nFirstSize && isDigit(pFirst[nFirstEnd]))
            ++nFirstEnd;
        size_t nSecondEnd = nSecond;
        while (nSecondEnd < nSecondSize && isDigit(pSecond[nSecondEnd]))
            ++nSecondEnd;
        if (nFirstEnd - nFirst != nSecondEnd - nSecond)
            return nFirstEnd - nFirst < nSecondEnd - nSecond ? -1 : 1;
        for (; nFirst < nFirstEnd; ++nFirst, ++nSecond)
            if (pFirst[nFirst] != pSecond[nSecond])
                return pFirst[nFirst] < pSecond[nSecond] ? -1 : 1;
    }
    if (nFirst < nFirstSize)
        return 1;
    return nSecond < nSecondSize ? -1 : 0;
}

} // namespace Contract
