#pragma once

#include "data/DataSetInputFiles.h"
#include "misc/Color.h"
#include "misc/Object.h"
#include "misc/StringEnum.h"

#include <string>
#include <utility>
#include <vector>

namespace Data {

class DataCollector;

struct ExtraData
{
    std::string format;
    std::string key;
    std::string value;
};

// Everything one tesscli run needs. Setters validate; the set fields record which ones succeeded,
// and the engine decides from them, not from the values, whether an option was given. (The
// project file's own flags, Contract::SettingsFlags, are another set with other values.)
class DataSet : public Object
{
public:
    enum Field : unsigned int {
        FieldOutputFile = 0x0001,
        FieldSourceDirectory = 0x0002,
        FieldInputFiles = 0x0004,
        FieldGridSize = 0x0008,
        FieldGridStartPosition = 0x0010,
        FieldGridOrder = 0x0020,
        FieldRegionSize = 0x0040,
        FieldOverlap = 0x0080,
        FieldStackImages = 0x0100,
        FieldTransparentColor = 0x0200,
        FieldBackgroundColor = 0x0400,
        FieldCompression = 0x0800,
        FieldQuality = 0x1000,
        FieldAttributes = 0x2000,
        FieldExtraData = 0x4000,
        FieldAutoOrient = 0x8000,
    };

    DataSet();

    bool SetOutputFile(const std::string& strName);
    bool SetSourceDirectory(const std::string& strName);
    bool AddInputFile(const std::string& strName, int nRow, int nColumn, int nIndex);
    bool SetSources(const std::string& strFilter, int nFirst, int nLast);
    bool SetGridSize(int nColumns, int nRows);
    bool SetGridStartPosition(int nValue);
    bool SetGridOrder(int nValue);
    bool SetRegionSize(int nWidth, int nHeight);
    bool SetOverlap(int nPixels);
    bool SetStackImages(bool bOn);
    // Turn each image upright from its EXIF orientation before anything is cut from it.
    bool SetAutoOrient(bool bOn);
    bool SetTransparentColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue);
    bool SetBackgroundColor(unsigned int nRed, unsigned int nGreen, unsigned int nBlue);
    bool SetCompression(int nValue);
    bool SetQuality(int nValue);
    bool AddAttribute(const std::string& strName, const std::string& strValue);
    bool AddExtraData(const std::string& strFormat, const std::string& strKey, const std::string& strValue);

    bool Collect(DataCollector* pCollector);
    bool IsComplete();
    bool ArrangeInputFiles();
    // First entry at (row, column), or null.
    const InputFile* FindInputFile(int nRow, int nColumn) const;
    // The grid the engine builds after ArrangeInputFiles, (columns, rows): a given dimension when
    // above 0, else the arranged one.
    std::pair<int, int> GetGridExtent() const;
    // Input files (not empty cells) whose arranged position lies outside that grid.
    std::vector<const InputFile*> GetFilesWithoutCell() const;
    std::string GetSummary() const;

    unsigned int GetSetFields() const { return m_setFields; }
    bool IsSet(Field field) const { return (m_setFields & field) != 0; }
    const std::string& GetOutputFile() const { return m_outputFile; }
    const DataSetInputFiles& GetInputFiles() const { return m_inputFiles; }
    int GetGridColumns() const { return m_gridColumns; }
    int GetGridRows() const { return m_gridRows; }
    int GetGridStartPosition() const { return m_gridStartPosition; }
    int GetRegionWidth() const { return m_regionWidth; }
    int GetRegionHeight() const { return m_regionHeight; }
    int GetOverlap() const { return m_overlap; }
    bool GetStackImages() const { return m_stackImages; }
    bool GetAutoOrient() const { return m_autoOrient; }
    const Misc::Color& GetTransparentColor() const { return m_transparentColor; }
    const Misc::Color& GetBackgroundColor() const { return m_backgroundColor; }
    int GetCompression() const { return m_compression; }
    unsigned int GetQuality() const { return m_quality; }
    const std::vector<std::pair<std::string, std::string>>& GetAttributes() const { return m_attributes; }
    const std::vector<ExtraData>& GetExtraData() const { return m_extraData; }

private:
    // A value of one of the name tables (start position, order, compression).
    bool SetNamedValue(const Misc::StringEnum& names, const char* pInvalidMessage, int nValue, int& nMember,
                       Field field);
    // Stores a fully opaque colour when the components are in range; leaves everything as is otherwise.
    bool SetColor(Misc::Color& color, Field field, unsigned int nRed, unsigned int nGreen, unsigned int nBlue);

    unsigned int m_setFields = 0;
    std::string m_outputFile;
    std::string m_sourceDirectory;
    DataSetInputFiles m_inputFiles;
    int m_gridColumns = 0;
    int m_gridRows = 0;
    int m_gridStartPosition = 0;
    int m_gridOrder = 0;
    int m_regionWidth = 0;
    int m_regionHeight = 0;
    int m_overlap = 0;
    bool m_stackImages = false;
    bool m_autoOrient = false;
    Misc::Color m_transparentColor;
    Misc::Color m_backgroundColor;
    int m_compression = 1;
    unsigned int m_quality = 0;
    std::vector<std::pair<std::string, std::string>> m_attributes;
    std::vector<ExtraData> m_extraData;
    bool m_hasRowNumbers = false;
    bool m_hasColumnNumbers = false;
    bool m_hasIndexNumbers = false;
};

} // namespace Data
