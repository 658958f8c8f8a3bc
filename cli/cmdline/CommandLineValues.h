#pragma once

#include "cmdline/CommandLineValue.h"
#include "misc/Object.h"

#include <memory>
#include <vector>

namespace CmdLine {

class CommandLineSwitch;

// All occurrences recorded by one parse, in command-line order; a switch given twice has two.
class CommandLineValues : public Object
{
public:
    bool Has(const CommandLineSwitch* pSwitch) const;
    // First occurrence of the switch, or null.
    const CommandLineValue* GetFirst(const CommandLineSwitch* pSwitch) const;
    // Every occurrence of the switch in command-line order; empty when it did not occur.
    std::vector<const CommandLineValue*> GetAll(const CommandLineSwitch* pSwitch) const;
    // Appends a new, empty occurrence of the switch and returns it.
    CommandLineValue* Add(const CommandLineSwitch* pSwitch);
    int Count() const { return static_cast<int>(m_occurrences.size()); }

private:
    std::vector<std::unique_ptr<CommandLineValue>> m_occurrences;
};

} // namespace CmdLine
