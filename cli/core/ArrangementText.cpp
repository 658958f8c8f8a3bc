#include "core/ArrangementText.h"

#include "engine/ImageGrid.h"
#include "misc/Format.h"

#include <algorithm>
#include <filesystem>

namespace Core {

namespace {
const int kWarningNames = 3;
const char* const kEmptyCell = "(empty)";

std::string NameOf(const std::string& strFile)
{
    return Misc::Printable(std::filesystem::path(strFile).filename().string());
}
} // namespace

std::string JoinFileNames(const std::vector<const Data::InputFile*>& files, int nMax)
{
    std::string strNames;
    const size_t nShown = nMax > 0 ? std::min(files.size(), static_cast<size_t>(nMax)) : files.size();
    for (size_t i = 0; i < nShown; ++i)
        strNames += (i > 0 ? ", " : "") + NameOf(files[i]->fileName);
    if (nShown < files.size())
        strNames += ", ...";
    return strNames;
}

std::string DescribeFilesWithoutCell(const std::vector<const Data::InputFile*>& files, int nRows, int nColumns)
{
    if (files.empty())
        return "";
    return Misc::Format("    Warning: %i input file(s) get no cell in the grid of %i row(s), %i column(s): %s\n",
                        static_cast<int>(files.size()), nRows, nColumns, JoinFileNames(files, kWarningNames).c_str());
}

std::string DescribeCellMap(const Engine::ImageGrid& grid, int nIndent)
{
    const int nRows = grid.GetRowCount();
    const int nColumns = grid.GetColumnCount();
    std::vector<std::vector<std::string>> names(nRows, std::vector<std::string>(nColumns, kEmptyCell));
    std::vector<size_t> widths(nColumns, 0);
    for (int nRow = 0; nRow < nRows; ++nRow) {
        for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
            if (const Engine::ImageGridCell* pCell = grid.GetImageCell(nRow, nColumn))
                names[nRow][nColumn] = NameOf(pCell->GetFile());
            widths[nColumn] = std::max(widths[nColumn], names[nRow][nColumn].size());
        }
    }

    std::string strMap;
    for (const auto& row : names) {
        std::string strLine(static_cast<size_t>(nIndent), ' ');
        for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
            strLine += row[nColumn];
            if (nColumn + 1 < nColumns)
                strLine += std::string(widths[nColumn] - row[nColumn].size() + 2, ' ');
        }
        strMap += strLine + "\n";
    }
    return strMap;
}

} // namespace Core
