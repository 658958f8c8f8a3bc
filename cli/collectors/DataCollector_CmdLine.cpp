#include "collectors/DataCollector_CmdLine.h"

#include "cmdline/CommandLineValue.h"
#include "cmdline/TessaraCmdLine.h"
#include "data/DataSet.h"
#include "data/GridOrders.h"
#include "data/GridStartPositions.h"
#include "data/ImageCompressions.h"

namespace Collectors {

using Data::DataSet;

namespace {
using CmdLine::CommandLineSwitch;

std::string TextOf(const CommandLineSwitch* pSwitch, int nValue)
{
    return pSwitch->GetFirstOccurrence()->GetString(nValue);
}

int NumberOf(const CommandLineSwitch* pSwitch, int nValue)
{
    return static_cast<int>(pSwitch->GetFirstOccurrence()->GetLong(nValue));
}

// Names unknown to the table give 0, which the data set's setter then judges.
int EnumValueOf(const CommandLineSwitch* pSwitch, const Misc::StringEnum& table)
{
    return table.GetValue(TextOf(pSwitch, 0), 0);
}

// Each occurrence is one more row (or column); its values run along it.
bool AddFileLines(DataSet& dataSet, const CommandLineSwitch* pSwitch, bool bOccurrenceIsRow)
{
    const auto occurrences = pSwitch->GetAllOccurrences();
    for (size_t nLine = 0; nLine < occurrences.size(); ++nLine) {
        for (int nPosition = 0; nPosition < occurrences[nLine]->Count(); ++nPosition) {
            const int nRow = bOccurrenceIsRow ? static_cast<int>(nLine) : nPosition;
            const int nColumn = bOccurrenceIsRow ? nPosition : static_cast<int>(nLine);
            if (!dataSet.AddInputFile(occurrences[nLine]->GetString(nPosition), nRow, nColumn, -1))
                return false;
        }
    }
    return true;
}
} // namespace

bool DataCollector_CmdLine::CollectData()
{
    DataSet* pDataSet = GetDataSet();
    return pDataSet && CollectFiles(*pDataSet) && CollectGrid(*pDataSet) && CollectImageOptions(*pDataSet)
           && CollectOutputOptions(*pDataSet);
}

// The source directory is set before the rows and columns so that their relative names resolve
// against it.
bool DataCollector_CmdLine::CollectFiles(DataSet& dataSet) const
{
    const CommandLineSwitch* pOut = m_cmdLine.GetOutSwitch();
    if (pOut->IsSet() && !dataSet.SetOutputFile(TextOf(pOut, 0)))
        return false;
    const CommandLineSwitch* pSourceDir = m_cmdLine.GetSourceDirSwitch();
    if (pSourceDir->IsSet() && !dataSet.SetSourceDirectory(TextOf(pSourceDir, 0)))
        return false;
    if (!AddFileLines(dataSet, m_cmdLine.GetRowSwitch(), true)
        || !AddFileLines(dataSet, m_cmdLine.GetColSwitch(), false))
        return false;

    const CommandLineSwitch* pSources = m_cmdLine.GetSourcesSwitch();
    if (pSources->IsSet()) {
        const CommandLineSwitch* pIndex = m_cmdLine.GetIndexSwitch();
        const bool bHasIndex = pIndex->IsSet();
        const int nFirst = bHasIndex ? NumberOf(pIndex, 0) : -1;
        const int nLast = bHasIndex && pIndex->GetFirstOccurrence()->Count() > 1 ? NumberOf(pIndex, 1) : -1;
        if (!dataSet.SetSources(TextOf(pSources, 0), nFirst, nLast))
            return false;
    }
    return true;
}

bool DataCollector_CmdLine::CollectGrid(DataSet& dataSet) const
{
    // The switch takes rows first, the setter columns first.
    const CommandLineSwitch* pGrid = m_cmdLine.GetGridSwitch();
    if (pGrid->IsSet() && !dataSet.SetGridSize(NumberOf(pGrid, 1), NumberOf(pGrid, 0)))
        return false;
    const CommandLineSwitch* pStartPos = m_cmdLine.GetStartPosSwitch();
    if (pStartPos->IsSet()
        && !dataSet.SetGridStartPosition(EnumValueOf(pStartPos, Data::GridStartPositions::Instance())))
        return false;
    const CommandLineSwitch* pOrder = m_cmdLine.GetOrderSwitch();
    return !pOrder->IsSet() || dataSet.SetGridOrder(EnumValueOf(pOrder, Data::GridOrders::Instance()));
}

bool DataCollector_CmdLine::CollectImageOptions(DataSet& dataSet) const
{
    const CommandLineSwitch* pRegion = m_cmdLine.GetRegionSizeSwitch();
    if (pRegion->IsSet() && !dataSet.SetRegionSize(NumberOf(pRegion, 0), NumberOf(pRegion, 1)))
        return false;
    const CommandLineSwitch* pOverlap = m_cmdLine.GetOverlapSwitch();
    if (pOverlap->IsSet() && !dataSet.SetOverlap(NumberOf(pOverlap, 0)))
        return false;
    if (m_cmdLine.GetStackSwitch()->IsSet() && !dataSet.SetStackImages(true))
        return false;
    if (m_cmdLine.GetAutoOrientSwitch()->IsSet() && !dataSet.SetAutoOrient(true))
        return false;
    // Negative components wrap to huge unsigned values, which the colour setters refuse.
    const CommandLineSwitch* pTransparent = m_cmdLine.GetTransparentSwitch();
    if (pTransparent->IsSet()
        && !dataSet.SetTransparentColor(NumberOf(pTransparent, 0), NumberOf(pTransparent, 1),
                                        NumberOf(pTransparent, 2)))
        return false;
    const CommandLineSwitch* pBgColor = m_cmdLine.GetBgColorSwitch();
    return !pBgColor->IsSet()
           || dataSet.SetBackgroundColor(NumberOf(pBgColor, 0), NumberOf(pBgColor, 1), NumberOf(pBgColor, 2));
}

bool DataCollector_CmdLine::CollectOutputOptions(DataSet& dataSet) const
{
    const CommandLineSwitch* pCompression = m_cmdLine.GetCompressionSwitch();
    if (pCompression->IsSet()
        && !dataSet.SetCompression(EnumValueOf(pCompression, Data::ImageCompressions::Instance())))
        return false;
    const CommandLineSwitch* pQuality = m_cmdLine.GetQualitySwitch();
    if (pQuality->IsSet() && !dataSet.SetQuality(NumberOf(pQuality, 0)))
        return false;
    for (const auto* pOccurrence : m_cmdLine.GetAttributeSwitch()->GetAllOccurrences()) {
        if (!dataSet.AddAttribute(pOccurrence->GetString(0), pOccurrence->GetString(1)))
            return false;
    }
    for (const auto* pOccurrence : m_cmdLine.GetExtraDataSwitch()->GetAllOccurrences()) {
        if (!dataSet.AddExtraData(pOccurrence->GetString(0), pOccurrence->GetString(1), pOccurrence->GetString(2)))
            return false;
    }
    return true;
}

} // namespace Collectors
