#include "misc/StringEnum.h"

#include "misc/TextCase.h"

#include <algorithm>

namespace Misc {

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
    auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const auto& entry) { return entry.second == nValue; });
    return it == m_entries.end() ? std::string() : it->first;
}

} // namespace Misc
