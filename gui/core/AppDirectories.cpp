#include "core/AppDirectories.h"

#include "core/TessaraCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Core {

namespace {
// Set by the build from the install layout: the data folder relative to the bin folder.
const char* const kInstalledDataDir = TESSARA_INSTALLED_DATADIR;
const char* const kUserFolderName = "tessara";

bool KeepsFilesBesideThisProgram()
{
    return AppDirectories::KeepsFilesBeside(QCoreApplication::applicationDirPath());
}

QString UserFolder(QStandardPaths::StandardLocation location)
{
    return QDir(QStandardPaths::writableLocation(location)).filePath(QString::fromLatin1(kUserFolderName));
}
} // namespace

bool AppDirectories::KeepsFilesBeside(const QString& strAppDir)
{
    const bool bInstalled = QFileInfo(QDir(strAppDir).filePath(QString::fromLatin1(kInstalledDataDir))).isDir();
    return !bInstalled && QFileInfo(strAppDir).isWritable();
}

QString AppDirectories::GetConfigDir()
{
    return KeepsFilesBesideThisProgram() ? TessaraCore::ResolveFilename(QStringLiteral("Config"))
                                         : UserFolder(QStandardPaths::GenericConfigLocation);
}

QString AppDirectories::GetTempDir()
{
    return KeepsFilesBesideThisProgram() ? TessaraCore::ResolveFilename(QStringLiteral("Temp"))
                                         : UserFolder(QStandardPaths::GenericCacheLocation);
}

QString AppDirectories::GetErrorLogFile()
{
    const QString strName = QStringLiteral("error.log");
    return KeepsFilesBesideThisProgram() ? TessaraCore::ResolveFilename(strName)
                                         : QDir(GetConfigDir()).filePath(strName);
}

} // namespace Core
