#pragma once

#include "data/InputFile.h"

#include <string>
#include <vector>

namespace Engine {
class ImageGrid;
}

namespace Core {

// Texts that show the user where the input files land, before anything is composed.

// "a.png, b.png, ..." of the files' names (without directory); at most nMax names when nMax > 0.
std::string JoinFileNames(const std::vector<const Data::InputFile*>& files, int nMax);

// The warning line about input files that a grid of nRows x nColumns leaves out; empty when
// every file has a cell.
std::string DescribeFilesWithoutCell(const std::vector<const Data::InputFile*>& files, int nRows, int nColumns);

// One line per grid row, indented by nIndent blanks: each cell's file name or "(empty)", the
// columns aligned.
std::string DescribeCellMap(const Engine::ImageGrid& grid, int nIndent);

} // namespace Core
