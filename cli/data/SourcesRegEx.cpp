#include "data/SourcesRegEx.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace Data {

namespace {
const char* const kRowPlaceholder = "{row}";
const char* const kColumnPlaceholder = "{col}";
const char* const kIndexPlaceholder = "{index}";

size_t CountOccurrences(const std::string& strText, const std::string& strWhat)
{
    size_t nCount = 0;
    for (size_t nPos = strText.find(strWhat); nPos != std::string::npos; nPos = strText.find(strWhat, nPos + 1))
        ++nCount;
    return nCount;
}

void ReplaceAll(std::string& strText, const std::string& strWhat, const std::string& strWith)
{
    for (size_t nPos = strText.find(strWhat); nPos != std::string::npos;
         nPos = strText.find(strWhat, nPos + strWith.size()))
        strText.replace(nPos, strWhat.size(), strWith);
}

void EscapeEach(std::string& strText, const std::string& strCharacters)
{
    for (char character : strCharacters)
        ReplaceAll(strText, std::string(1, character), std::string("\\") + character);
}

// Digits only ever reach here through (\d+); a number too long for int saturates instead of wrapping.
int ToNumber(const std::string& strDigits)
{
    const long long nValue = std::strtoll(strDigits.c_str(), nullptr, 10);
    return nValue > INT_MAX ? INT_MAX : static_cast<int>(nValue);
}

// A run of n optional wildcards, ".?" n times, makes the matcher try 2^n ways to split the name;
// ".{0,n}" accepts the same names in n + 1 tries. An escaped "\." starts no run.
std::string CollapseOptionalRuns(const std::string& strExpression)
{
    std::string strCollapsed;
    size_t nBackslashes = 0;
    for (size_t nPos = 0; nPos < strExpression.size();) {
        size_t nRun = 0;
        while (nBackslashes % 2 == 0 && strExpression.compare(nPos + 2 * nRun, 2, ".?") == 0)
            ++nRun;
        if (nRun > 1) {
            strCollapsed += ".{0," + std::to_string(nRun) + "}";
            nPos += 2 * nRun;
            nBackslashes = 0;
            continue;
        }
        nBackslashes = strExpression[nPos] == '\\' ? nBackslashes + 1 : 0;
        strCollapsed += strExpression[nPos++];
    }
    return strCollapsed;
}

// Escapes what would otherwise be regular-expression syntax in file names, turns the wildcards and
// placeholders into their expression forms; "^", "$", "|" and backslashes keep their expression meaning.
std::string ToExpression(const std::string& strPattern)
{
    std::string strExpression = strPattern;
    EscapeEach(strExpression, "[].+-=()");
    ReplaceAll(strExpression, "*", ".*");
    ReplaceAll(strExpression, "?", ".?");
    for (const char* placeholder : {kRowPlaceholder, kColumnPlaceholder, kIndexPlaceholder})
        ReplaceAll(strExpression, placeholder, "(\\d+)");
    EscapeEach(strExpression, "{}");
    return CollapseOptionalRuns(strExpression);
}
// PCRE2's own limit of ten million steps lets one hostile filter spend many seconds on each name;
// real filters need a few hundred.
pcre2_match_context* LimitedMatchContext()
{
    static const std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> context = [] {
        std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> created(
            pcre2_match_context_create(nullptr), &pcre2_match_context_free);
        if (created)
            pcre2_set_match_limit(created.get(), 1000000);
        return created;
    }();
    return context.get();
}
} // namespace

void SourcesRegEx::CodeDeleter::operator()(pcre2_real_code_8* pCode) const
{
    pcre2_code_free(pCode);
}

SourcesRegEx::SourcesRegEx() = default;
SourcesRegEx::~SourcesRegEx() = default;

bool SourcesRegEx::SetFilter(const std::string& strPattern)
{
    m_regEx.reset();
    m_rowGroup = m_columnGroup = m_indexGroup = -1;

    struct Placeholder
    {
        size_t position;
        int* group;
    };
    std::vector<Placeholder> present;
    for (auto [text, group] : {std::pair{kRowPlaceholder, &m_rowGroup}, std::pair{kColumnPlaceholder, &m_columnGroup},
                               std::pair{kIndexPlaceholder, &m_indexGroup}}) {
        const size_t nCount = CountOccurrences(strPattern, text);
        if (nCount > 1) {
            SetLastError("The placeholder %s occurs more than once", text);
            return false;
        }
        if (nCount == 1)
            present.push_back({strPattern.find(text), group});
    }
    std::sort(present.begin(), present.end(),
              [](const Placeholder& a, const Placeholder& b) { return a.position < b.position; });
    for (size_t nRank = 0; nRank < present.size(); ++nRank)
        *present[nRank].group = static_cast<int>(nRank);

    const std::string strExpression = ToExpression(strPattern);
    int nErrorCode = 0;
    PCRE2_SIZE nErrorOffset = 0;
    m_regEx.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(strExpression.c_str()), strExpression.size(), 0,
                                &nErrorCode, &nErrorOffset, nullptr));
    if (!m_regEx) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(nErrorCode, message, sizeof(message));
        SetLastError("%s", reinterpret_cast<const char*>(message));
        m_rowGroup = m_columnGroup = m_indexGroup = -1;
        return false;
    }
    return true;
}

SourcesRegEx::MatchResult SourcesRegEx::Match(const std::string& strFileName, int& nRow, int& nColumn, int& nIndex)
{
    nRow = nColumn = nIndex = -1;
    if (!m_regEx)
        return MatchResult::NoMatch;

    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> matchData(
        pcre2_match_data_create_from_pattern(m_regEx.get(), nullptr), &pcre2_match_data_free);
    if (!matchData) {
        SetLastError("Not enough memory to match %s", strFileName.c_str());
        return MatchResult::Failed;
    }
    const int nResult = pcre2_match(m_regEx.get(), reinterpret_cast<PCRE2_SPTR>(strFileName.c_str()),
                                    strFileName.size(), 0, 0, matchData.get(), LimitedMatchContext());
    if (nResult == PCRE2_ERROR_NOMATCH)
        return MatchResult::NoMatch;
    if (nResult < 0) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(nResult, message, sizeof(message));
        SetLastError("%s", reinterpret_cast<const char*>(message));
        return MatchResult::Failed;
    }

    const PCRE2_SIZE* pOffsets = pcre2_get_ovector_pointer(matchData.get());
    auto readGroup = [&](int nRank, int& nNumber) {
        if (nRank < 0)
            return;
        const PCRE2_SIZE nStart = pOffsets[2 * (nRank + 1)];
        const PCRE2_SIZE nEnd = pOffsets[2 * (nRank + 1) + 1];
        if (nStart != PCRE2_UNSET)
            nNumber = ToNumber(strFileName.substr(nStart, nEnd - nStart));
    };
    readGroup(m_rowGroup, nRow);
    readGroup(m_columnGroup, nColumn);
    readGroup(m_indexGroup, nIndex);
    return MatchResult::Matched;
}

} // namespace Data
