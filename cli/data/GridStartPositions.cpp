#include "data/GridStartPositions.h"

namespace Data {

GridStartPositions::GridStartPositions()
{
    AddEntry("Top-Left", 0);
    AddEntry("Top-Right", 1);
    AddEntry("Bottom-Left", 2);
    AddEntry("Bottom-Right", 3);
}

const GridStartPositions& GridStartPositions::Instance()
{
    static const GridStartPositions s_table;
    return s_table;
}

} // namespace Data
