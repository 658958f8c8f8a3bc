#include "data/DataCollector_Project.h"

#include "core/TessaraProject.h"
#include "data/DataSet.h"

namespace Data {

bool DataCollector_Project::CollectData()
{
    DataSet* pDataSet = GetDataSet();
    if (!pDataSet)
        return false;
    const Core::TessaraSettings& settings = m_project.GetSettings();
    using Settings = Core::TessaraSettings;

    if (settings.IsSet(Settings::Flag_Rows)) {
        for (size_t nRow = 0; nRow < settings.rows.size(); ++nRow) {
            const auto& row = settings.rows[nRow];
            for (size_t nColumn = 0; nColumn < row.size(); ++nColumn) {
                if (!pDataSet->AddInputFile(row[nColumn], static_cast<int>(nRow), static_cast<int>(nColumn), -1))
                    return false;
            }
        }
    }
    if (settings.IsSet(Settings::Flag_Region) && !pDataSet->SetRegionSize(settings.regionWidth, settings.regionHeight))
        return false;
    if (settings.IsSet(Settings::Flag_Overlap) && !pDataSet->SetOverlap(settings.overlap))
        return false;
    if (settings.IsSet(Settings::Flag_StackImages) && settings.stackImages && !pDataSet->SetStackImages(true))
        return false;
    if (settings.IsSet(Settings::Flag_AutoOrient) && settings.autoOrient && !pDataSet->SetAutoOrient(true))
        return false;
    const Misc::Color& transparency = settings.transparency;
    if (settings.IsSet(Settings::Flag_Transparency) &&
        !pDataSet->SetTransparentColor(transparency.GetRed(), transparency.GetGreen(), transparency.GetBlue()))
        return false;
    const Misc::Color& background = settings.background;
    if (settings.IsSet(Settings::Flag_Background) &&
        !pDataSet->SetBackgroundColor(background.GetRed(), background.GetGreen(), background.GetBlue()))
        return false;
    return true;
}

} // namespace Data
