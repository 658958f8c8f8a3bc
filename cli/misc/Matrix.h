#pragma once

#include "misc/Object.h"

#include <map>
#include <memory>
#include <utility>

namespace Misc {

// A table of rows and columns whose occupied positions hold cells with values of T. Only
// occupied positions cost memory, so a grid of a few files stays cheap however many positions
// it has. Cells are owned; every cell tells its matrix when it is destroyed, so a matrix of
// pointers can own what its cells point to.
template <typename T>
class Matrix : public Object
{
public:
    class Cell
    {
    public:
        Cell(Matrix* pOwner, const T& value) : m_owner(pOwner), m_value(value) {}
        Cell(const Cell&) = delete;
        Cell& operator=(const Cell&) = delete;
        virtual ~Cell() { m_owner->OnCellDestroyed(this); }

        const T& GetValue() const { return m_value; }
        void SetValue(const T& value) { m_value = value; }

    private:
        Matrix* m_owner;
        T m_value;
    };

    Matrix() = default;
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    // Derived classes must Clear() in their own destructor: by the time this one runs, their
    // OnCellDestroyed is no longer reachable.
    ~Matrix() override { Clear(); }

    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_columns; }

    // Cells outside the new bounds are destroyed.
    void Resize(int nRows, int nColumns)
    {
        for (auto it = m_cells.begin(); it != m_cells.end();)
            it = it->first.first >= nRows || it->first.second >= nColumns ? m_cells.erase(it) : std::next(it);
        m_rows = nRows;
        m_columns = nColumns;
    }

    // Cells are destroyed rows first, each row's in order.
    void Clear()
    {
        while (!m_cells.empty())
            m_cells.erase(m_cells.begin());
        m_rows = 0;
        m_columns = 0;
    }

    // The cell at an occupied position, else null.
    Cell* GetCell(int nRow, int nColumn) const
    {
        const auto it = m_cells.find({nRow, nColumn});
        return it == m_cells.end() ? nullptr : it->second.get();
    }

    // Occupies the position (false when it lies outside the matrix) or changes its value.
    bool SetValue(int nRow, int nColumn, const T& value)
    {
        if (nRow < 0 || nRow >= m_rows || nColumn < 0 || nColumn >= m_columns)
            return false;
        auto& pCell = m_cells[{nRow, nColumn}];
        if (pCell)
            pCell->SetValue(value);
        else
            pCell = std::make_unique<Cell>(this, value);
        return true;
    }

    // Occupied cells, rows outer and columns inner: visit(row, column, cell).
    template <typename Visit>
    void ForEachOccupied(Visit visit) const
    {
        for (const auto& [position, pCell] : m_cells)
            visit(position.first, position.second, *pCell);
    }

protected:
    virtual void OnCellDestroyed(Cell* pCell) {}

private:
    int m_rows = 0;
    int m_columns = 0;
    std::map<std::pair<int, int>, std::unique_ptr<Cell>> m_cells;
};

} // namespace Misc
