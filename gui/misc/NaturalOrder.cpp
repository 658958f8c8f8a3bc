#include "misc/NaturalOrder.h"

#include "TessaraNaturalOrder.h"

#include <algorithm>

namespace Misc {

bool NaturalLess(const QString& strFirst, const QString& strSecond)
{
    const int nResult =
        Contract::CompareNaturally(strFirst.utf16(), strFirst.size(), strSecond.utf16(), strSecond.size(),
                                   [](char16_t c) { return QChar(c).toCaseFolded().unicode(); });
    return nResult != 0 ? nResult < 0 : strFirst < strSecond;
}

QStringList SortedNaturally(QStringList astrFiles)
{
    std::sort(astrFiles.begin(), astrFiles.end(), NaturalLess);
    return astrFiles;
}

} // namespace Misc
