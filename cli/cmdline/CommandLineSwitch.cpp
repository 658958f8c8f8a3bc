#include "cmdline/CommandLineSwitch.h"

#include "cmdline/CommandLineParser.h"

namespace CmdLine {

namespace {
std::string ExpandLineMarks(const std::string& strHelp)
{
    std::string strExpanded;
    for (char c : strHelp) {
        if (c == '$')
            strExpanded += "\n    ";
        else
            strExpanded += c;
    }
    return strExpanded;
}

const char* GetTypeName(ValueType valueType)
{
    switch (valueType) {
    case ValueType::Int:
        return "int";
    case ValueType::Float:
        return "float";
    case ValueType::Bool:
        return "bool";
    case ValueType::None:
    case ValueType::String:
    case ValueType::EnumString:
        break;
    }
    return "string";
}
} // namespace

CommandLineSwitch::CommandLineSwitch(const CommandLineParser* pOwner, const std::string& strName, ValueType valueType,
                                     unsigned int nFlags, int nMinValues, int nMaxValues,
                                     const Misc::StringEnum* pEnumeration, const std::string& strHelp)
    : m_owner(pOwner), m_name(strName), m_valueType(valueType), m_flags(nFlags), m_minValues(nMinValues),
      m_maxValues(nMaxValues), m_enumeration(pEnumeration ? *pEnumeration : Misc::StringEnum()),
      m_help(ExpandLineMarks(strHelp))
{}

std::string CommandLineSwitch::GetPlaceholders() const
{
    if (m_valueType == ValueType::None)
        return std::string();

    const std::string strTypeName = GetTypeName(m_valueType);
    const int nPlaces = m_maxValues == -1 ? 3 : m_maxValues;
    std::string strPlaces;
    for (int nPlace = 0; nPlace < nPlaces; ++nPlace)
        strPlaces += nPlace < m_minValues ? " <" + strTypeName + ">" : " [" + strTypeName + "]";
    if (m_maxValues == -1)
        strPlaces += " [...]";
    return strPlaces;
}

bool CommandLineSwitch::IsSet() const
{
    return m_owner->GetValues().Has(this);
}

const CommandLineValue* CommandLineSwitch::GetFirstOccurrence() const
{
    return m_owner->GetValues().GetFirst(this);
}

std::vector<const CommandLineValue*> CommandLineSwitch::GetAllOccurrences() const
{
    return m_owner->GetValues().GetAll(this);
}

} // namespace CmdLine
