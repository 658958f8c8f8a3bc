// The -sources filter: the first line is the file-name pattern, the rest a file name to match.
#include "data/SourcesRegEx.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
    const size_t nBreak = strInput.find('\n');
    const std::string strPattern = strInput.substr(0, nBreak);
    const std::string strName = nBreak == std::string::npos ? std::string() : strInput.substr(nBreak + 1);

    Data::SourcesRegEx regEx;
    if (!regEx.SetFilter(strPattern))
        return 0;
    int nRow = 0, nColumn = 0, nIndex = 0;
    if (regEx.Match(strName, nRow, nColumn, nIndex) == Data::SourcesRegEx::MatchResult::Matched
        && (nRow < -1 || nColumn < -1 || nIndex < -1))
        __builtin_trap();
    return 0;
}
