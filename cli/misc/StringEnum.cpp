#include "misc/StringEnum.h"

#include <algorithm>
#include <cctype>

namespace Misc {

namespace {
bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}
} // namespace

void StringEnum::AddEntry(const std::string& strName, int nValue)
{
    m_entries[strName] = nValue;
}

std::map<std::string, int>::const_iterator StringEnum::FindName(const std::string& strName) const
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const auto& entry) { return EqualsNoCase(entry.first, strName); });
}

int StringEnum::GetValue(const std::string& strName, int nDefault) const
{
    auto it = FindName(strName);
    return it == m_entries.end() ? nDefault : it->second;
}

bool StringEnum::HasName(const std::string& strName) const
{
    return FindName(strName) != m_entries.end();
}

bool StringEnum::HasValue(int nValue) const
{
    return !GetName(nValue).empty();
}

std::string StringEnum::GetName(int nValue) const
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const auto& entry) { return entry.second == nValue; });
    return it == m_entries.end() ? std::string() : it->first;
}

} // namespace Misc
