#include "data/GridOrders.h"

namespace Data {

GridOrders::GridOrders()
{
    AddEntry("Row-First", OrderRowFirst);
    AddEntry("Col-First", OrderColFirst);
    AddEntry("Row-Snake", OrderRowSnake);
    AddEntry("Col-Snake", OrderColSnake);
}

const GridOrders& GridOrders::Instance()
{
    static const GridOrders s_table;
    return s_table;
}

} // namespace Data
