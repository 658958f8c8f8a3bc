#include "cmdline/CommandLineParser.h"

#include "misc/TextCase.h"

#include <algorithm>
#include <cctype>

namespace CmdLine {

namespace {
std::string Trim(const std::string& strText)
{
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto itBegin = std::find_if_not(strText.begin(), strText.end(), isSpace);
    auto itEnd = std::find_if_not(strText.rbegin(), strText.rend(), isSpace).base();
    return itBegin < itEnd ? std::string(itBegin, itEnd) : std::string();
}

bool StartsWithDash(const std::string& strText)
{
    return !strText.empty() && strText[0] == '-';
}
} // namespace

void CommandLineParser::SetArguments(int argc, const char* const* argv)
{
    for (int nArg = 1; nArg < argc; ++nArg)
        m_arguments.push_back(argv[nArg] ? Trim(argv[nArg]) : std::string());
}

CommandLineSwitch* CommandLineParser::AddSwitch(const std::string& strName, ValueType valueType, unsigned int nFlags,
                                                int nMinValues, int nMaxValues, const Misc::StringEnum* pEnumeration,
                                                const std::string& strHelp)
{
    m_switches.push_back(std::make_unique<CommandLineSwitch>(this, strName, valueType, nFlags, nMinValues, nMaxValues,
                                                             pEnumeration, strHelp));
    return m_switches.back().get();
}

CommandLineSwitch* CommandLineParser::AddSwitch(const std::string& strName, const std::string& strHelp)
{
    return AddSwitch(strName, ValueType::None, Optional, 0, 0, nullptr, strHelp);
}

const CommandLineSwitch* CommandLineParser::FindSwitch(const std::string& strText) const
{
    std::string strName = Misc::ToLowerAscii(strText);
    if (StartsWithDash(strName))
        strName.erase(0, 1);
    auto it = std::find_if(m_switches.begin(), m_switches.end(),
                           [&](const auto& pSwitch) { return pSwitch->GetName() == strName; });
    return it == m_switches.end() ? nullptr : it->get();
}

bool CommandLineParser::Parse()
{
    for (size_t nPos = 0; nPos < m_arguments.size(); ++nPos) {
        const std::string& strToken = m_arguments[nPos];
        if (!StartsWithDash(strToken)) {
            SetLastError("Unexpected command-line token '%s'", strToken.c_str());
            return false;
        }
        const CommandLineSwitch* pSwitch = FindSwitch(strToken);
        if (!pSwitch) {
            SetLastError("Unknown command-line switch %s", strToken.c_str());
            return false;
        }
        if (m_values.Has(pSwitch) && !pSwitch->HasFlag(Multiple)) {
            SetLastError("Command-line switch %s can only be specified once", strToken.c_str());
            return false;
        }
        CommandLineValue* pOccurrence = m_values.Add(pSwitch);
        if (!CollectValues(pOccurrence, strToken, nPos))
            return false;
        if (pOccurrence->Count() < pSwitch->GetMinValues()) {
            SetLastError("Not enough parameters for command-line switch %s", strToken.c_str());
            return false;
        }
    }
    return true;
}

// Takes the arguments after nPos until the next switch name or the switch's maximum; "-5" names
// no switch and is therefore a value. nPos ends on the last consumed argument.
bool CommandLineParser::CollectValues(CommandLineValue* pOccurrence, const std::string& strToken, size_t& nPos)
{
    const CommandLineSwitch* pSwitch = pOccurrence->GetSwitch();
    if (pSwitch->GetValueType() == ValueType::None)
        return true;

    const int nMax = pSwitch->GetMaxValues();
    while (nPos + 1 < m_arguments.size() && (nMax == -1 || pOccurrence->Count() < nMax)) {
        const std::string& strCandidate = m_arguments[nPos + 1];
        if (StartsWithDash(strCandidate) && FindSwitch(strCandidate))
            break;
        ++nPos;
        if (!pOccurrence->Add(strCandidate)) {
            // Built by joining, not formatting: a "%" inside the value must stay literal.
            const std::string strMessage = "Invalid value '" + strCandidate + "' for command-line switch " + strToken;
            SetLastError("%s", strMessage.c_str());
            return false;
        }
    }
    return true;
}

bool CommandLineParser::Validate()
{
    for (const auto& pSwitch : m_switches) {
        if (!pSwitch->HasFlag(Optional) && !m_values.Has(pSwitch.get())) {
            SetLastError("The mandatory switch %s hasn't been specified", pSwitch->GetName().c_str());
            return false;
        }
    }
    return true;
}

std::string CommandLineParser::GetUsage() const
{
    std::string strUsage = "Usage: tesscli ";
    for (const auto& pSwitch : m_switches) {
        if (pSwitch->HasFlag(Hidden))
            continue;
        if (pSwitch->HasFlag(Optional))
            strUsage += "[-" + pSwitch->GetName() + "] ";
        else
            strUsage += "-" + pSwitch->GetName() + " ";
    }
    strUsage += "\n\n";
    for (const auto& pSwitch : m_switches) {
        if (pSwitch->HasFlag(Hidden))
            continue;
        strUsage += "-" + pSwitch->GetName();
        if (pSwitch->HasFlag(Multiple))
            strUsage += "*";
        strUsage += pSwitch->GetPlaceholders() + ":\n    " + pSwitch->GetHelp() + "\n\n";
    }
    strUsage += "* denotes switches that can be passed multiple times\n";
    return strUsage;
}

} // namespace CmdLine
