#pragma once

#include "misc/StringEnum.h"

namespace Data {

// The corner in which the first input file lands.
class GridStartPositions : public Misc::StringEnum
{
public:
    GridStartPositions();
    // The one shared table of the run.
    static const GridStartPositions& Instance();
};

} // namespace Data
