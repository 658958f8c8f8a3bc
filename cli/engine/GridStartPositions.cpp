#include "engine/GridStartPositions.h"

namespace Engine {

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

} // namespace Engine
