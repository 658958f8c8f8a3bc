#include "engine/GridOrders.h"

namespace Engine {

GridOrders::GridOrders()
{
    AddEntry("Row-First", 0);
    AddEntry("Col-First", 1);
}

const GridOrders& GridOrders::Instance()
{
    static const GridOrders s_table;
    return s_table;
}

} // namespace Engine
