#pragma once

#include "misc/Object.h"

#include <memory>
#include <string>

struct pcre2_real_code_8;

namespace Data {

// Turns a file-name filter with the placeholders {row}, {col} and {index} and the wildcards
// "*" and "?" into a regular expression, and reads the numbers back out of matching names.
class SourcesRegEx : public Object
{
public:
    SourcesRegEx();
    ~SourcesRegEx() override;

    enum class MatchResult {
        NoMatch,
        Matched,
        Failed
    };

    bool SetFilter(const std::string& strPattern);
    // Unanchored search; the numbers are -1 when their placeholder is absent. Failed (with the
    // last error text set) when the search gave up, for instance at the engine's match limit:
    // that name may well match, so it must not be taken as one that does not.
    MatchResult Match(const std::string& strFileName, int& nRow, int& nColumn, int& nIndex);

private:
    struct CodeDeleter
    {
        void operator()(pcre2_real_code_8* pCode) const;
    };

    std::unique_ptr<pcre2_real_code_8, CodeDeleter> m_regEx;
    int m_rowGroup = -1;
    int m_columnGroup = -1;
    int m_indexGroup = -1;
};

} // namespace Data
