#pragma once

#include "misc/Object.h"

#include <memory>
#include <vector>

namespace Misc {

// A table of rows of cells holding values of T. Rows and cells are owned; every cell tells its
// matrix when it is destroyed, so a matrix of pointers can own what its cells point to.
template <typename T>
class Matrix : public Object
{
public:
    class Cell
    {
    public:
        Cell(Matrix* pOwner, const T& value) : m_pOwner(pOwner), m_value(value) {}
        Cell(const Cell&) = delete;
        Cell& operator=(const Cell&) = delete;
        virtual ~Cell() { m_pOwner->OnCellDestroyed(this); }

        const T& GetValue() const { return m_value; }
        void SetValue(const T& value) { m_value = value; }

    private:
        Matrix* m_pOwner;
        T m_value;
    };

    class Row
    {
    public:
        Row(Matrix* pOwner, int nColumns) : m_pOwner(pOwner) { Resize(nColumns); }
        Row(const Row&) = delete;
        Row& operator=(const Row&) = delete;
        // Cells go in order, first to last.
        virtual ~Row()
        {
            for (auto& pCell : m_cells)
                pCell.reset();
        }

        int GetCellCount() const { return static_cast<int>(m_cells.size()); }
        Cell* GetCell(int nColumn) const { return m_cells[nColumn].get(); }

        void Resize(int nColumns)
        {
            while (GetCellCount() < nColumns)
                m_cells.push_back(std::make_unique<Cell>(m_pOwner, m_pOwner->m_defaultValue));
            while (GetCellCount() > nColumns)
                m_cells.pop_back();
        }

    private:
        Matrix* m_pOwner;
        std::vector<std::unique_ptr<Cell>> m_cells;
    };

    explicit Matrix(const T& defaultValue = T()) : m_defaultValue(defaultValue) {}
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    // Derived classes must Clear() in their own destructor: by the time this one runs, their
    // OnCellDestroyed is no longer reachable.
    ~Matrix() override { Clear(); }

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return m_rows.empty() ? 0 : m_rows.front()->GetCellCount(); }

    void Resize(int nRows, int nColumns)
    {
        while (GetRowCount() < nRows)
            m_rows.push_back(std::make_unique<Row>(this, nColumns));
        while (GetRowCount() > nRows)
            m_rows.pop_back();
        for (auto& pRow : m_rows)
            pRow->Resize(nColumns);
    }

    // Rows go last to first, each destroying its cells in order.
    void Clear()
    {
        while (!m_rows.empty())
            m_rows.pop_back();
    }

    Cell* GetCell(int nRow, int nColumn) const
    {
        if (nRow < 0 || nRow >= GetRowCount() || nColumn < 0)
            return nullptr;
        const Row& row = *m_rows[nRow];
        return nColumn < row.GetCellCount() ? row.GetCell(nColumn) : nullptr;
    }

protected:
    virtual void OnCellDestroyed(Cell* pCell) {}

private:
    T m_defaultValue;
    std::vector<std::unique_ptr<Row>> m_rows;
};

} // namespace Misc
