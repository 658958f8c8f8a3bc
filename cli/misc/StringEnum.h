#pragma once

#include <map>
#include <string>

namespace Misc {

// Names and integer values; names are looked up ignoring letter case. Scans run in byte-wise name
// order, so the first name found for a value is the byte-wise smallest.
class StringEnum
{
public:
    virtual ~StringEnum() = default;

    int GetValue(const std::string& strName, int nDefault) const;
    bool HasName(const std::string& strName) const;
    bool HasValue(int nValue) const;
    std::string GetName(int nValue) const;

    const std::map<std::string, int>& GetEntries() const { return m_entries; }

protected:
    void AddEntry(const std::string& strName, int nValue);

private:
    std::map<std::string, int>::const_iterator FindName(const std::string& strName) const;

    std::map<std::string, int> m_entries;
};

} // namespace Misc
