#include "data/DataSet.h"

#include "data/DataCollector.h"
#include "data/GridOrders.h"
#include "data/GridStartPositions.h"
#include "data/ImageCompressions.h"
#include "data/SourcesRegEx.h"
#include "misc/Format.h"
#include "misc/NaturalOrder.h"
#include "misc/Path.h"
#include "misc/TextCase.h"

#include "TessaraContract.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace Data {

namespace {
std::string CurrentDirectory()
{
    std::error_code error;
    return fs::current_path(error).string();
}

// Relative names are taken relative to strDirectory; "~" is an ordinary character here.
std::string ResolveAgainst(const std::string& strDirectory, const std::string& strName)
{
    return fs::path(strName).is_absolute() ? strName : Misc::CombinePath(strDirectory, strName);
}

bool IsEmptyCellWord(const std::string& strName)
{
    return Misc::EqualsNoCase(strName, Contract::kEmptyCellNone)
           || Misc::EqualsNoCase(strName, Contract::kEmptyCellKeep);
}

// Visible regular files of one directory, in natural order of their names, so that a filter without
// placeholders places tile2 before tile10, and the same way on every file system.
std::vector<std::string> ListVisibleFiles(const std::string& strDirectory)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(strDirectory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string strName = it->path().filename().string();
        std::error_code typeError;
        if (strName.empty() || strName[0] == '.' || !it->is_regular_file(typeError))
            continue;
        names.push_back(strName);
    }
    std::sort(names.begin(), names.end(), Misc::NaturalLess);
    return names;
}

bool IsInIndexRange(int nIndex, int nFirst, int nLast)
{
    return !(nFirst != -1 && nIndex < nFirst) && !(nLast != -1 && nIndex > nLast);
}
} // namespace

DataSet::DataSet()
{
    m_transparentColor.SetColor(0, 0, 0, 1.0f);
    m_backgroundColor.SetColor(0, 0, 0, 1.0f);
}

bool DataSet::SetOutputFile(const std::string& strName)
{
    if (strName.empty()) {
        SetLastError("Invalid output file (%s)", Misc::Printable(strName).c_str());
        return false;
    }
    m_outputFile = ResolveAgainst(CurrentDirectory(), strName);
    m_setFields |= FieldOutputFile;
    return true;
}

bool DataSet::SetSourceDirectory(const std::string& strName)
{
    if (strName.empty()) {
        SetLastError("Invalid source directory (%s)", Misc::Printable(strName).c_str());
        return false;
    }
    m_sourceDirectory = strName;
    m_setFields |= FieldSourceDirectory;
    return true;
}

bool DataSet::AddInputFile(const std::string& strName, int nRow, int nColumn, int nIndex)
{
    if (strName.empty()) {
        SetLastError("An invalid input file name was provided (%s)", Misc::Printable(strName).c_str());
        return false;
    }

    InputFile entry;
    entry.row = nRow;
    entry.column = nColumn;
    entry.index = nIndex;
    entry.empty = IsEmptyCellWord(strName);
    if (!entry.empty)
        entry.fileName = ResolveAgainst(IsSet(FieldSourceDirectory) ? m_sourceDirectory : CurrentDirectory(), strName);

    m_inputFiles.Add(entry);
    m_setFields |= FieldInputFiles;
    m_hasRowNumbers = m_hasRowNumbers || nRow != -1;
    m_hasColumnNumbers = m_hasColumnNumbers || nColumn != -1;
    m_hasIndexNumbers = m_hasIndexNumbers || nIndex != -1;
    return true;
}

bool DataSet::SetSources(const std::string& strFilter, int nFirst, int nLast)
{
    // Filters are relative to the working directory, never to the source directory.
    const fs::path filter(ResolveAgainst(CurrentDirectory(), strFilter));

    if (nFirst < -1 || nLast < -1 || (nFirst != -1 && nLast != -1 && nLast < nFirst)) {
        SetLastError("The index restrictions are invalid (%i - %i)", nFirst, nLast);
        return false;
    }

    const std::string strDirectory = filter.parent_path().string();
    const std::vector<std::string> files = ListVisibleFiles(strDirectory);
    if (files.empty()) {
        SetLastError("The source directory doesn't contain any files (%s)", Misc::Printable(strDirectory).c_str());
        return false;
    }

    // An empty pattern (a filter ending in a separator) would match every file: refuse it.
    const std::string strPattern = filter.filename().string();
    SourcesRegEx regEx;
    if (strPattern.empty() || !regEx.SetFilter(strPattern)) {
        SetLastError("The sources filter is invalid (%s)", Misc::Printable(strPattern).c_str());
        return false;
    }

    for (const std::string& strFile : files) {
        int nRow = -1;
        int nColumn = -1;
        int nIndex = -1;
        const SourcesRegEx::MatchResult result = regEx.Match(strFile, nRow, nColumn, nIndex);
        if (result == SourcesRegEx::MatchResult::Failed) {
            SetLastError("The sources filter could not be matched against %s (%s)", Misc::Printable(strFile).c_str(),
                         regEx.GetLastError().c_str());
            return false;
        }
        if (result == SourcesRegEx::MatchResult::NoMatch || !IsInIndexRange(nIndex, nFirst, nLast))
            continue;
        if (!AddInputFile(Misc::CombinePath(strDirectory, strFile), nRow, nColumn, nIndex))
            return false;
    }
    return true;
}

bool DataSet::SetGridSize(int nColumns, int nRows)
{
    if (nColumns < 0 || nRows < 0) {
        SetLastError("The grid sizes may not be below 0 (%ix%i)", nRows, nColumns);
        return false;
    }
    if (nColumns == 0 && nRows == 0) {
        SetLastError("The grid size may not be 0x0");
        return false;
    }
    if (nColumns == 1 && nRows == 1) {
        SetLastError("The grid size may not be 1x1");
        return false;
    }
    m_gridColumns = nColumns;
    m_gridRows = nRows;
    m_setFields |= FieldGridSize;
    return true;
}

bool DataSet::SetGridStartPosition(int nValue)
{
    return SetNamedValue(Data::GridStartPositions::Instance(), "The grid start position is invalid", nValue,
                         m_gridStartPosition, FieldGridStartPosition);
}

bool DataSet::SetGridOrder(int nValue)
{
    return SetNamedValue(Data::GridOrders::Instance(), "The grid order is invalid", nValue, m_gridOrder,
                         FieldGridOrder);
}

bool DataSet::SetRegionSize(int nWidth, int nHeight)
{
    if (nWidth < 5 || nHeight < 5) {
        SetLastError("The region sizes may not be below 5 (%ix%i)", nWidth, nHeight);
        return false;
    }
    m_regionWidth = nWidth;
    m_regionHeight = nHeight;
    m_setFields |= FieldRegionSize;
    return true;
}

bool DataSet::SetOverlap(int nPixels)
{
    if (nPixels < 1) {
        SetLastError("The overlap value is invalid (%i)", nPixels);
        return false;
    }
    m_overlap = nPixels;
    m_setFields |= FieldOverlap;
    return true;
}

bool DataSet::SetStackImages(bool bOn)
{
    m_stackImages = bOn;
    m_setFields |= FieldStackImages;
    return true;
}

bool DataSet::SetAutoOrient(bool bOn)
{
    m_autoOrient = bOn;
    m_setFields |= FieldAutoOrient;
    return true;
}

bool DataSet::SetNamedValue(const Misc::StringEnum& names, const char* pInvalidMessage, int nValue, int& nMember,
                            Field field)
{
    if (!names.HasValue(nValue)) {
        SetLastError("%s (%i)", pInvalidMessage, nValue);
        return false;
    }
    nMember = nValue;
    m_setFields |= field;
    return true;
}

bool DataSet::SetColor(Misc::Color& color, Field field, unsigned int nRed, unsigned int nGreen, unsigned int nBlue)
{
    Misc::Color candidate;
    if (!candidate.SetColor(nRed, nGreen, nBlue, 1.0f))
        return false;
    color = candidate;
    m_setFields |= field;
    return true;
}

bool DataSet::SetTransparentColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue)
{
    if (!SetColor(m_transparentColor, FieldTransparentColor, nRed, nGreen, nBlue)) {
        SetLastError("The transparent color is invalid");
        return false;
    }
    return true;
}

bool DataSet::SetBackgroundColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue)
{
    if (!SetColor(m_backgroundColor, FieldBackgroundColor, nRed, nGreen, nBlue)) {
        SetLastError("The background color is invalid");
        return false;
    }
    return true;
}

bool DataSet::SetCompression(int nValue)
{
    return SetNamedValue(Data::ImageCompressions::Instance(), "The compression type is invalid", nValue, m_compression,
                         FieldCompression);
}

bool DataSet::SetQuality(int nValue)
{
    // Compared unsigned so that negative values fail too.
    if (static_cast<unsigned int>(nValue) > 100) {
        SetLastError("The image quality value is invalid (%i)", nValue);
        return false;
    }
    m_quality = static_cast<unsigned int>(nValue);
    m_setFields |= FieldQuality;
    return true;
}

bool DataSet::AddAttribute(const std::string& strName, const std::string& strValue)
{
    if (strName.empty() || strValue.empty()) {
        SetLastError("The attribute (%s) is invalid", Misc::Printable(strName).c_str());
        return false;
    }
    m_attributes.emplace_back(strName, strValue);
    m_setFields |= FieldAttributes;
    return true;
}

bool DataSet::AddExtraData(const std::string& strFormat, const std::string& strKey, const std::string& strValue)
{
    if (strFormat.empty() || strKey.empty() || strValue.empty()) {
        SetLastError("The extra data token (%s) is invalid", strKey.c_str());
        return false;
    }
    m_extraData.push_back({strFormat, strKey, strValue});
    m_setFields |= FieldExtraData;
    return true;
}

bool DataSet::Collect(DataCollector* pCollector)
{
    if (!pCollector) {
        SetLastError("No data collector was provided");
        return false;
    }
    pCollector->BindDataSet(this);
    return pCollector->CollectData();
}

bool DataSet::IsComplete()
{
    if (!IsSet(FieldOutputFile) || m_outputFile.empty()) {
        SetLastError("No output file has been specified");
        return false;
    }
    if (!IsSet(FieldInputFiles) || m_inputFiles.GetCount() == 0) {
        SetLastError("No or not enough input files have been specified");
        return false;
    }
    if (m_hasRowNumbers || m_hasColumnNumbers)
        return true;
    if (IsSet(FieldGridSize) && (m_gridColumns != 0 || m_gridRows != 0))
        return true;
    SetLastError("The grid size could not be calculated automatically");
    return false;
}

bool DataSet::ArrangeInputFiles()
{
    if (!m_inputFiles.Arrange(m_gridColumns, m_gridRows, m_hasRowNumbers, m_hasColumnNumbers, m_hasIndexNumbers,
                              m_gridOrder)) {
        SetLastError("%s", m_inputFiles.GetLastError().c_str());
        return false;
    }
    return true;
}

const InputFile* DataSet::FindInputFile(int nRow, int nColumn) const
{
    const auto& entries = m_inputFiles.GetEntries();
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const InputFile& entry) { return entry.row == nRow && entry.column == nColumn; });
    return it == entries.end() ? nullptr : &*it;
}

std::pair<int, int> DataSet::GetGridExtent() const
{
    const auto [nArrangedColumns, nArrangedRows] = m_inputFiles.GetGridDimensions();
    const bool bSized = IsSet(FieldGridSize);
    return {bSized && m_gridColumns > 0 ? m_gridColumns : nArrangedColumns,
            bSized && m_gridRows > 0 ? m_gridRows : nArrangedRows};
}

std::vector<const InputFile*> DataSet::GetFilesWithoutCell() const
{
    const auto [nColumns, nRows] = GetGridExtent();
    std::vector<const InputFile*> files;
    for (const InputFile& entry : m_inputFiles.GetEntries())
        if (!entry.empty && (entry.row >= nRows || entry.column >= nColumns))
            files.push_back(&entry);
    return files;
}

std::string DataSet::GetSummary() const
{
    using Misc::Format;
    std::string strSummary = Format("    Current directory: %s\n", Misc::Printable(CurrentDirectory()).c_str());
    if (IsSet(FieldOutputFile))
        strSummary += Format("    Output file: %s\n", Misc::Printable(m_outputFile).c_str());
    if (IsSet(FieldSourceDirectory))
        strSummary += Format("    Source directory: %s\n", Misc::Printable(m_sourceDirectory).c_str());
    if (IsSet(FieldInputFiles))
        strSummary += Format("    Number of input files: %i\n", static_cast<int>(m_inputFiles.GetCount()));
    if (IsSet(FieldGridSize))
        strSummary += Format("    Grid size: %ix%i\n", m_gridRows, m_gridColumns);
    if (IsSet(FieldGridStartPosition))
        strSummary += Format("    Grid start position: %s\n",
                             Data::GridStartPositions::Instance().GetName(m_gridStartPosition).c_str());
    if (IsSet(FieldGridOrder))
        strSummary += Format("    Grid order: %s\n", Data::GridOrders::Instance().GetName(m_gridOrder).c_str());
    if (IsSet(FieldRegionSize))
        strSummary += Format("    Region size: %ix%i pixels\n", m_regionWidth, m_regionHeight);
    if (IsSet(FieldStackImages))
        strSummary += "    Stacking enabled: Yes\n";
    if (IsSet(FieldAutoOrient) && m_autoOrient)
        strSummary += "    Auto-orientation enabled: Yes\n";
    if (IsSet(FieldTransparentColor))
        strSummary += Format("    Transparent color: R:%i G:%i B:%i\n", m_transparentColor.GetRed(),
                             m_transparentColor.GetGreen(), m_transparentColor.GetBlue());
    if (IsSet(FieldBackgroundColor))
        strSummary += Format("    Background color: R:%i G:%i B:%i\n", m_backgroundColor.GetRed(),
                             m_backgroundColor.GetGreen(), m_backgroundColor.GetBlue());
    if (IsSet(FieldCompression))
        strSummary +=
            Format("    Compression type: %s\n", Data::ImageCompressions::Instance().GetName(m_compression).c_str());
    if (IsSet(FieldQuality))
        strSummary += Format("    Image quality: %i\n", static_cast<int>(m_quality));
    return strSummary;
}

} // namespace Data
