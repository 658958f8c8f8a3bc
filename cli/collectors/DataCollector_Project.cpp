#include "collectors/DataCollector_Project.h"

#include "collectors/TessaraProject.h"
#include "data/DataSet.h"

namespace Collectors {

using Data::DataSet;

bool DataCollector_Project::CollectData()
{
    DataSet* pDataSet = GetDataSet();
    if (!pDataSet)
        return false;
    const Collectors::TessaraSettings& settings = m_project.GetSettings();
    using Settings = Collectors::TessaraSettings;

    if (settings.IsSet(Settings::FlagRows)) {
        for (size_t nRow = 0; nRow < settings.rows.size(); ++nRow) {
            const auto& row = settings.rows[nRow];
            for (size_t nColumn = 0; nColumn < row.size(); ++nColumn) {
                if (!pDataSet->AddInputFile(row[nColumn], static_cast<int>(nRow), static_cast<int>(nColumn), -1))
                    return false;
            }
        }
    }
    if (settings.IsSet(Settings::FlagRegion) && !pDataSet->SetRegionSize(settings.regionWidth, settings.regionHeight))
        return false;
    if (settings.IsSet(Settings::FlagOverlap) && !pDataSet->SetOverlap(settings.overlap))
        return false;
    if (settings.IsSet(Settings::FlagStackImages) && settings.stackImages && !pDataSet->SetStackImages(true))
        return false;
    if (settings.IsSet(Settings::FlagAutoOrient) && settings.autoOrient && !pDataSet->SetAutoOrient(true))
        return false;
    const Misc::Color& transparency = settings.transparency;
    if (settings.IsSet(Settings::FlagTransparency)
        && !pDataSet->SetTransparentColor(transparency.GetRed(), transparency.GetGreen(), transparency.GetBlue()))
        return false;
    const Misc::Color& background = settings.background;
    if (settings.IsSet(Settings::FlagBackground)
        && !pDataSet->SetBackgroundColor(background.GetRed(), background.GetGreen(), background.GetBlue()))
        return false;
    return true;
}

} // namespace Collectors
