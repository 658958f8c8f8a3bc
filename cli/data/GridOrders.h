#pragma once

#include "misc/StringEnum.h"

namespace Data {

// How a flat list of input files fills the grid: row by row or column by column, each line in the
// same direction (-First) or every other line reversed, as serpentine scanning stages move (-Snake).
class GridOrders : public Misc::StringEnum
{
public:
    enum Order : int {
        OrderRowFirst = 0,
        OrderColFirst = 1,
        OrderRowSnake = 2,
        OrderColSnake = 3,
    };

    GridOrders();
    // The one shared table of the run.
    static const GridOrders& Instance();
};

} // namespace Data
