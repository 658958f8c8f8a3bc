#pragma once

#include <QByteArray>
#include <QString>

namespace Misc {

// True for a regular file or a link to one. Opening a FIFO or a device blocks or never ends, so
// the editor reads nothing else.
bool IsRegularFile(const QString& strFile);

// True when strFile exists but is something other than a regular file (folder, FIFO, device).
bool IsSpecialFile(const QString& strFile);

// Replaces strFile with data, or leaves it untouched when any step fails. QSaveFile::commit()
// alone swaps in a short or empty file when a write or the final flush hit a full disk.
bool WriteFileSafely(const QString& strFile, const QByteArray& data);

} // namespace Misc
