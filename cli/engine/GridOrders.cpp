#include "engine/GridOrders.h"

namespace Engine {

GridOrders::GridOrders()
{
    AddEntry("Row-First", Order_RowFirst);
    AddEntry("Col-First", Order_ColFirst);
    AddEntry("Row-Snake", Order_RowSnake);
    AddEntry("Col-Snake", Order_ColSnake);
}

const GridOrders& GridOrders::Instance()
{
    static const GridOrders s_table;
    return s_table;
}

} // namespace Engine
