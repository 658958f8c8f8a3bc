#pragma once

#include <QSize>
#include <QString>

namespace Misc {

// Fits size into a square of nMaxDimension, keeping the aspect ratio; smaller sizes stay.
QSize GetAdjustedImageSize(const QSize& size, int nMaxDimension);
// File-dialog filter of the formats the editor reads (bForSaving false) or writes.
QString GetCommonImageFormatFilter(bool bForSaving);

} // namespace Misc
