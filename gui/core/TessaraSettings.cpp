#include "core/TessaraSettings.h"

#include "misc/Guard.h"
#include "model/ImageCellEngine.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

namespace Core {

TessaraSettings::TessaraSettings()
{
    ClearSettings();
}

void TessaraSettings::ClearSettings()
{
    GUARD_RUN([&] {
        rows.clear();
        tray.clear();
        overlap = -1;
        regionWidth = -1;
        regionHeight = -1;
        background = QColor();
        transparency = QColor();
        stackImages = false;
        autoOrient = false;
        flags = 0;
    });
}

int TessaraSettings::GetImageCount() const
{
    const QList<int> perRow = GetImagesPerRow();
    return std::accumulate(perRow.begin(), perRow.end(), 0);
}

QList<int> TessaraSettings::GetImagesPerRow() const
{
    QList<int> perRow;
    for (const QStringList& astrRow : rows)
        perRow.append(int(std::count_if(astrRow.begin(), astrRow.end(), [](const QString& strEntry) {
            return !Model::ImageCellEngine::IsEmptyCellWord(strEntry);
        })));
    return perRow;
}

bool TessaraSettings::VerifySettings(QString& strError) const
{
    return GUARD_RUN([&] { return CheckSettings(strError); });
}

bool TessaraSettings::CheckSettings(QString& strError) const
{
    auto fail = [&strError](const char* pMessage) {
        strError = QCoreApplication::translate("TessaraSettings", pMessage);
        return false;
    };

    strError.clear();
    if (!IsSet(FlagRows))
        return fail("No input rows have been specified");
    if (IsSet(FlagOverlap)) {
        if (IsSet(FlagRegion))
            return fail("Overlap and region cannot be used at the same time");
        if (overlap < 1)
            return fail("The overlap is too small");
    } else if (IsSet(FlagRegion) && (regionWidth < 5 || regionHeight < 5))
        return fail("The region is too small");
    if (IsSet(FlagBackground) && !background.isValid())
        return fail("The background color is invalid");
    if (IsSet(FlagTransparency) && !transparency.isValid())
        return fail("The transparency key color is invalid");
    return true;
}

} // namespace Core
