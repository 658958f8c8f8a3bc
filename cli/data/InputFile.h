#pragma once

#include <string>

namespace Data {

// One input image of the run; -1 marks a number that is not known (yet).
struct InputFile
{
    std::string fileName; // empty for an empty cell
    int row = -1;
    int column = -1;
    int index = -1;
    bool empty = false;
};

} // namespace Data
