#pragma once

#include "misc/StringEnum.h"

namespace Engine {

// How a flat list of input files fills the grid.
class GridOrders : public Misc::StringEnum
{
public:
    GridOrders();
    // The one shared table of the run.
    static const GridOrders& Instance();
};

} // namespace Engine
