#include "misc/FileUtils.h"

#include <QFileInfo>
#include <QSaveFile>

namespace Misc {

bool IsRegularFile(const QString& strFile)
{
    return QFileInfo(strFile).isFile();
}

bool IsSpecialFile(const QString& strFile)
{
    const QFileInfo info(strFile);
    return info.exists() && !info.isFile();
}

bool WriteFileSafely(const QString& strFile, const QByteArray& data)
{
    // An uncommitted QSaveFile removes its temporary file and leaves the target alone.
    QSaveFile file(strFile);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush() && file.commit();
}

} // namespace Misc
