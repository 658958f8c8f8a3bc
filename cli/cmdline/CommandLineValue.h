#pragma once

#include "cmdline/CommandLineTypes.h"
#include "misc/Object.h"

#include <string>
#include <vector>

namespace CmdLine {

class CommandLineSwitch;

// One occurrence of a switch on the command line with its checked, typed values in the order given.
class CommandLineValue : public Object
{
public:
    explicit CommandLineValue(const CommandLineSwitch* pSwitch);

    const CommandLineSwitch* GetSwitch() const { return m_switch; }

    // The value at nIndex; out of range (negative included) yields the empty string.
    Value Get(int nIndex) const;
    int Count() const { return static_cast<int>(m_values.size()); }

    // Typed shortcuts for readers that know the switch's value type: the text of a String or
    // EnumString value, the number of an Int value. A value of another type, or an index out of
    // range, yields the empty text or nDefault.
    std::string GetString(int nIndex) const;
    long GetLong(int nIndex, long nDefault = 0) const;

    // Whether strText is acceptable as the next value of this occurrence.
    bool IsValid(const std::string& strText) const;
    // Appends the typed value of strText; false (nothing stored) when IsValid refuses it.
    bool Add(const std::string& strText);

private:
    const CommandLineSwitch* m_switch;
    std::vector<Value> m_values;
};

} // namespace CmdLine
