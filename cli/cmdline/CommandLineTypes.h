#pragma once

#include <string>
#include <variant>

namespace CmdLine {

// What the values of a switch must look like; the numbers are the stored codes.
enum class ValueType : int {
    None = 0,       // no values; an occurrence stores nothing
    String = 1,     // any text
    Int = 2,        // decimal integer in the signed 32-bit range, stored as long
    Float = 3,      // floating-point number, stored as double
    Bool = 4,       // true/false/yes/no/1/0 in any letter case, stored as bool
    EnumString = 5, // a name of the switch's enumeration in any letter case, stored as typed
};

enum SwitchFlag : unsigned int {
    Optional = 0x0001, // without it the switch is mandatory
    Multiple = 0x0002, // may occur more than once; marked with "*" in the usage
    Hidden = 0x8000,   // parsed normally but left out of the usage
};

// One typed value of an occurrence. A default-constructed Value holds the empty string, which is
// also what every out-of-range query returns.
using Value = std::variant<std::string, long, double, bool>;

} // namespace CmdLine
