#pragma once

#include "cmdline/CommandLineTypes.h"
#include "misc/Object.h"
#include "misc/StringEnum.h"

#include <string>
#include <vector>

namespace CmdLine {

class CommandLineParser;
class CommandLineValue;

// One registered switch: its description, and queries of what the owner's last parse recorded for it.
class CommandLineSwitch : public Object
{
public:
    // strName without the leading "-"; every "$" in strHelp becomes a line break indented by
    // four blanks. pEnumeration may be null; it is copied, never kept.
    CommandLineSwitch(const CommandLineParser* pOwner, const std::string& strName, ValueType valueType,
                      unsigned int nFlags, int nMinValues, int nMaxValues, const Misc::StringEnum* pEnumeration,
                      const std::string& strHelp);

    const std::string& GetName() const { return m_name; }
    ValueType GetValueType() const { return m_valueType; }
    bool HasFlag(SwitchFlag flag) const { return (m_flags & flag) != 0; }
    int GetMinValues() const { return m_minValues; }
    // -1 means unlimited.
    int GetMaxValues() const { return m_maxValues; }
    const Misc::StringEnum& GetEnumeration() const { return m_enumeration; }
    const std::string& GetHelp() const { return m_help; }

    // The value placeholders of the usage, e.g. " <int> [int]" or " <string> [string] [string] [...]".
    std::string GetPlaceholders() const;

    bool IsSet() const;
    const CommandLineValue* GetFirstOccurrence() const;
    std::vector<const CommandLineValue*> GetAllOccurrences() const;

private:
    const CommandLineParser* m_owner;
    std::string m_name;
    ValueType m_valueType;
    unsigned int m_flags;
    int m_minValues;
    int m_maxValues;
    Misc::StringEnum m_enumeration;
    std::string m_help;
};

} // namespace CmdLine
