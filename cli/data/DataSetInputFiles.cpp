#include "data/DataSetInputFiles.h"

#include "data/GridOrders.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace Data {

namespace {
using Data::GridOrders;

int RoundUpDivide(int nCount, int nDivisor)
{
    return (nCount + nDivisor - 1) / nDivisor;
}

// Entry nPosition of a flat list, filled line by line (rows, or columns for the column orders);
// a snake order runs every other line backwards. Unknown orders fill row by row.
void PlaceInOrder(InputFile& entry, int nPosition, int nColumns, int nRows, int nOrder)
{
    const bool bByColumn = nOrder == GridOrders::OrderColFirst || nOrder == GridOrders::OrderColSnake;
    const bool bSnake = nOrder == GridOrders::OrderRowSnake || nOrder == GridOrders::OrderColSnake;
    const int nLineLength = bByColumn ? nRows : nColumns;
    const int nLine = nPosition / nLineLength;
    int nAlong = nPosition % nLineLength;
    if (bSnake && nLine % 2 == 1)
        nAlong = nLineLength - 1 - nAlong;
    (bByColumn ? entry.column : entry.row) = nLine;
    (bByColumn ? entry.row : entry.column) = nAlong;
}
} // namespace

void DataSetInputFiles::PreSort(bool bHasRows, bool bHasColumns, bool bHasIndexes)
{
    if (bHasRows && bHasColumns)
        return;
    if (!bHasRows && !bHasColumns && !bHasIndexes)
        return;

    // The explicit number first (when there is one), the index to order entries that share it.
    auto key = [&](const InputFile& entry) {
        const int nPrimary = bHasRows ? entry.row : bHasColumns ? entry.column : entry.index;
        const int nSecondary = (bHasRows || bHasColumns) && bHasIndexes ? entry.index : 0;
        return std::make_pair(nPrimary, nSecondary);
    };
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [&](const InputFile& a, const InputFile& b) { return key(a) < key(b); });
}

bool DataSetInputFiles::Arrange(int nColumns, int nRows, bool bHasRows, bool bHasColumns, bool bHasIndexes, int nOrder)
{
    PreSort(bHasRows, bHasColumns, bHasIndexes);
    const int nCount = static_cast<int>(m_entries.size());

    if (!bHasRows && !bHasColumns) {
        if (nColumns == 0 && nRows == 0) {
            SetLastError("The grid size could not be calculated automatically");
            return false;
        }
        if (nColumns == 0)
            nColumns = RoundUpDivide(nCount, nRows);
        else if (nRows == 0)
            nRows = RoundUpDivide(nCount, nColumns);
    }

    // Position within a run of consecutive entries sharing the explicit number.
    int nRunPosition = 0;
    for (int i = 0; i < nCount; ++i) {
        InputFile& entry = m_entries[i];
        if (bHasRows != bHasColumns) {
            const InputFile* pPrevious = i > 0 ? &m_entries[i - 1] : nullptr;
            const bool bSameRun =
                pPrevious && (bHasRows ? pPrevious->row == entry.row : pPrevious->column == entry.column);
            nRunPosition = bSameRun ? nRunPosition + 1 : 0;
            (bHasRows ? entry.column : entry.row) = nRunPosition;
        } else if (!bHasRows) {
            PlaceInOrder(entry, i, nColumns, nRows, nOrder);
        }
        entry.index = -1;
    }

    std::stable_sort(m_entries.begin(), m_entries.end(), [](const InputFile& a, const InputFile& b) {
        return std::tie(a.row, a.column) < std::tie(b.row, b.column);
    });
    // Positions of a flat list are dense already, except where a snake order leaves the start of
    // its last, reversed line empty; packing would move those files to the wrong side.
    if (bHasRows || bHasColumns)
        Renumber();
    return true;
}

void DataSetInputFiles::Renumber()
{
    int nRow = -1;
    int nColumn = 0;
    int nPreviousRow = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        InputFile& entry = m_entries[i];
        if (i == 0 || entry.row != nPreviousRow) {
            ++nRow;
            nColumn = 0;
        }
        nPreviousRow = entry.row;
        entry.row = nRow;
        entry.column = nColumn++;
    }
}

std::pair<int, int> DataSetInputFiles::GetGridDimensions() const
{
    std::set<int> columns;
    std::set<int> rows;
    for (const InputFile& entry : m_entries) {
        if (entry.column != -1)
            columns.insert(entry.column);
        if (entry.row != -1)
            rows.insert(entry.row);
    }
    return {static_cast<int>(columns.size()), static_cast<int>(rows.size())};
}

} // namespace Data
