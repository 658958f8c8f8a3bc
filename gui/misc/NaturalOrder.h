#pragma once

#include <QString>
#include <QStringList>

namespace Misc {

// Orders file names as people read them, as tesscli does (see TessaraNaturalOrder.h); names still
// equal then (tile01 and tile1) fall back to plain code-unit order, so that the order is total.
bool NaturalLess(const QString& strFirst, const QString& strSecond);

// The files in natural order, as the grid and the tray are filled from them.
QStringList SortedNaturally(QStringList astrFiles);

} // namespace Misc
