#include "cmdline/CommandLineValues.h"

#include <algorithm>

namespace CmdLine {

bool CommandLineValues::Has(const CommandLineSwitch* pSwitch) const
{
    return GetFirst(pSwitch) != nullptr;
}

const CommandLineValue* CommandLineValues::GetFirst(const CommandLineSwitch* pSwitch) const
{
    auto it = std::find_if(m_occurrences.begin(), m_occurrences.end(),
                           [&](const auto& pOccurrence) { return pOccurrence->GetSwitch() == pSwitch; });
    return it == m_occurrences.end() ? nullptr : it->get();
}

std::vector<const CommandLineValue*> CommandLineValues::GetAll(const CommandLineSwitch* pSwitch) const
{
    std::vector<const CommandLineValue*> occurrences;
    for (const auto& pOccurrence : m_occurrences) {
        if (pOccurrence->GetSwitch() == pSwitch)
            occurrences.push_back(pOccurrence.get());
    }
    return occurrences;
}

CommandLineValue* CommandLineValues::Add(const CommandLineSwitch* pSwitch)
{
    m_occurrences.push_back(std::make_unique<CommandLineValue>(pSwitch));
    return m_occurrences.back().get();
}

} // namespace CmdLine
