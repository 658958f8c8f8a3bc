#include "cmdline/CommandLineValue.h"

#include "cmdline/CommandLineSwitch.h"
#include "misc/TextCase.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace CmdLine {

namespace {
// Whole text, decimal, within 32 bits: values feed int fields, and a wider number must not wrap.
bool ParseInt(const std::string& strText, long& nResult)
{
    if (strText.empty())
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const long nValue = std::strtol(strText.c_str(), &pEnd, 10);
    if (*pEnd != '\0' || pEnd == strText.c_str() || errno == ERANGE || nValue < INT_MIN || nValue > INT_MAX)
        return false;
    nResult = nValue;
    return true;
}

bool ParseFloat(const std::string& strText, double& fResult)
{
    if (strText.empty())
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const double fValue = std::strtod(strText.c_str(), &pEnd);
    if (*pEnd != '\0' || pEnd == strText.c_str() || errno == ERANGE)
        return false;
    fResult = fValue;
    return true;
}

bool IsBoolText(const std::string& strLower)
{
    return strLower == "true" || strLower == "false" || strLower == "yes" || strLower == "no" || strLower == "1"
           || strLower == "0";
}
} // namespace

CommandLineValue::CommandLineValue(const CommandLineSwitch* pSwitch) : m_switch(pSwitch) {}

Value CommandLineValue::Get(int nIndex) const
{
    if (nIndex < 0 || nIndex >= Count())
        return Value();
    return m_values[static_cast<size_t>(nIndex)];
}

std::string CommandLineValue::GetString(int nIndex) const
{
    const Value value = Get(nIndex);
    const std::string* pText = std::get_if<std::string>(&value);
    return pText ? *pText : std::string();
}

long CommandLineValue::GetLong(int nIndex, long nDefault) const
{
    const Value value = Get(nIndex);
    const long* pNumber = std::get_if<long>(&value);
    return pNumber ? *pNumber : nDefault;
}

bool CommandLineValue::IsValid(const std::string& strText) const
{
    const int nMax = m_switch->GetMaxValues();
    if (nMax != -1 && Count() >= nMax)
        return false;

    long nNumber = 0;
    double fNumber = 0.0;
    switch (m_switch->GetValueType()) {
    case ValueType::None:
        return strText.empty();
    case ValueType::String:
        return true;
    case ValueType::Int:
        return ParseInt(strText, nNumber);
    case ValueType::Float:
        return ParseFloat(strText, fNumber);
    case ValueType::Bool:
        return IsBoolText(Misc::ToLowerAscii(strText));
    case ValueType::EnumString:
        return m_switch->GetEnumeration().HasName(strText);
    }
    return true;
}

bool CommandLineValue::Add(const std::string& strText)
{
    if (!IsValid(strText))
        return false;

    switch (m_switch->GetValueType()) {
    case ValueType::None:
        m_values.emplace_back(true);
        break;
    case ValueType::Int: {
        long nNumber = 0;
        ParseInt(strText, nNumber);
        m_values.emplace_back(nNumber);
        break;
    }
    case ValueType::Float: {
        double fNumber = 0.0;
        ParseFloat(strText, fNumber);
        m_values.emplace_back(fNumber);
        break;
    }
    case ValueType::Bool: {
        const std::string strLower = Misc::ToLowerAscii(strText);
        m_values.emplace_back(strLower == "true" || strLower == "yes" || strLower == "1");
        break;
    }
    case ValueType::String:
    case ValueType::EnumString:
        m_values.emplace_back(strText);
        break;
    }
    return true;
}

} // namespace CmdLine
