#pragma once

#include "data/InputFile.h"
#include "misc/Object.h"

#include <utility>
#include <vector>

namespace Data {

// The input entries of a data set; Arrange gives each its final row and column.
class DataSetInputFiles : public Object
{
public:
    void Add(const InputFile& inputFile) { m_entries.push_back(inputFile); }
    const std::vector<InputFile>& GetEntries() const { return m_entries; }
    size_t GetCount() const { return m_entries.size(); }

    bool Arrange(int nColumns, int nRows, bool bHasRows, bool bHasColumns, bool bHasIndexes, int nOrder);
    // (distinct columns, distinct rows), ignoring -1.
    std::pair<int, int> GetGridDimensions() const;

private:
    // Orders entries by their explicit row or column (then index), or by index alone.
    void PreSort(bool bHasRows, bool bHasColumns, bool bHasIndexes);
    // Rows 0, 1, ... in order of appearance, each packed from column 0.
    void Renumber();

    std::vector<InputFile> m_entries;
};

} // namespace Data
