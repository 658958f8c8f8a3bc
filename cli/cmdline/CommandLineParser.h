#pragma once

#include "cmdline/CommandLineSwitch.h"
#include "cmdline/CommandLineValues.h"
#include "misc/Object.h"

#include <memory>
#include <string>
#include <vector>

namespace CmdLine {

// A table of switches that turns program arguments into recorded, typed occurrences, checks them
// and renders the usage. Failures return false and leave the message in GetLastError; nothing is
// printed here.
class CommandLineParser : public Object
{
public:
    CommandLineParser() = default;
    CommandLineParser(const CommandLineParser&) = delete;
    CommandLineParser& operator=(const CommandLineParser&) = delete;

    // Appends argv[1..argc-1], each trimmed of surrounding white space; a null entry counts as empty.
    void SetArguments(int argc, const char* const* argv);
    const std::vector<std::string>& GetArguments() const { return m_arguments; }

    // The switch stays owned by the parser; keep the returned handle for queries.
    CommandLineSwitch* AddSwitch(const std::string& strName, ValueType valueType, unsigned int nFlags, int nMinValues,
                                 int nMaxValues, const Misc::StringEnum* pEnumeration, const std::string& strHelp);
    // An optional flag switch without values.
    CommandLineSwitch* AddSwitch(const std::string& strName, const std::string& strHelp);

    // The switch named by strText ignoring letter case, with at most one leading "-" removed; or null.
    const CommandLineSwitch* FindSwitch(const std::string& strText) const;

    // True when every argument was consumed. Occurrences recorded before a failure stay recorded.
    bool Parse();
    // Base rule: every switch without Optional occurred.
    virtual bool Validate();

    std::string GetUsage() const;

    const CommandLineValues& GetValues() const { return m_values; }
    int GetOccurrenceCount() const { return m_values.Count(); }

private:
    bool CollectValues(CommandLineValue* pOccurrence, const std::string& strToken, size_t& nPos);

    std::vector<std::unique_ptr<CommandLineSwitch>> m_switches;
    CommandLineValues m_values;
    std::vector<std::string> m_arguments;
};

} // namespace CmdLine
