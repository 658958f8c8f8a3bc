#include "misc/AppDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Misc {

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

QString AppDirectories::ResolveFilename(const QString& strFileName)
{
    return QFileInfo(QDir(QCoreApplication::applicationDirPath()), strFileName).filePath();
}

QString AppDirectories::ResolveFilename(const QString& strFileName, const QString& strSubDirectory)
{
    return ResolveFilename(QDir(strSubDirectory).filePath(strFileName));
}

QString AppDirectories::ResolveDataFile(const QString& strFileName)
{
    const QString strBeside = ResolveFilename(strFileName);
    return QFileInfo::exists(strBeside) ? strBeside
                                        : ResolveFilename(strFileName, QString::fromUtf8(kInstalledDataDir));
}

QString AppDirectories::GetConfigDir()
{
    return KeepsFilesBesideThisProgram() ? ResolveFilename(QStringLiteral("Config"))
                                         : UserFolder(QStandardPaths::GenericConfigLocation);
}

QString AppDirectories::GetTempDir()
{
    return KeepsFilesBesideThisProgram() ? ResolveFilename(QStringLiteral("Temp"))
                                         : UserFolder(QStandardPaths::GenericCacheLocation);
}

QString AppDirectories::GetErrorLogFile()
{
    const QString strName = QStringLiteral("error.log");
    return KeepsFilesBesideThisProgram() ? ResolveFilename(strName) : QDir(GetConfigDir()).filePath(strName);
}

} // namespace Misc
