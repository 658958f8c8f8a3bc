#include "model/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

namespace Model {
namespace {
const QString UriKey = QStringLiteral("Thumb::URI");
const QString MTimeKey = QStringLiteral("Thumb::MTime");
const QString SizeKey = QStringLiteral("Thumb::Size");
const QString WidthKey = QStringLiteral("Thumb::Image::Width");
const QString HeightKey = QStringLiteral("Thumb::Image::Height");
// Not in the standard keys, which others pass over: whether the original still needs turning.
const QString TransformationKey = QStringLiteral("X-Tessara::Transformation");

QString ModificationTime(const QFileInfo& info)
{
    return QString::number(info.lastModified().toSecsSinceEpoch());
}
} // namespace

QString ThumbnailCache::GetCacheFolder()
{
    // A relative XDG_CACHE_HOME is invalid and ignored.
    QString strBase = qEnvironmentVariable("XDG_CACHE_HOME");
    if (strBase.isEmpty() || QDir::isRelativePath(strBase))
        strBase = QDir::home().filePath(QStringLiteral(".cache"));
    return QDir(strBase).filePath(QStringLiteral("thumbnails/large"));
}

QByteArray ThumbnailCache::GetUri(const QString& strFile)
{
    return QUrl::fromLocalFile(QFileInfo(strFile).absoluteFilePath()).toEncoded();
}

QString ThumbnailCache::GetCacheFile(const QString& strFile)
{
    const QByteArray md5 = QCryptographicHash::hash(GetUri(strFile), QCryptographicHash::Md5).toHex();
    return QDir(GetCacheFolder()).filePath(QString::fromLatin1(md5) + QStringLiteral(".png"));
}

bool ThumbnailCache::Read(const QString& strFile, Entry& entry)
{
    // The image's own text, not the reader's: the reader splits keys at their first colon.
    QImage image;
    if (!QImageReader(GetCacheFile(strFile), "png").read(&image)
        || image.text(UriKey) != QString::fromLatin1(GetUri(strFile))
        || image.text(MTimeKey) != ModificationTime(QFileInfo(strFile)))
        return false;
    const QSize imageSize(image.text(WidthKey).toInt(), image.text(HeightKey).toInt());
    if (imageSize.isEmpty())
        return false;
    entry.image = image;
    entry.imageSize = imageSize;
    entry.transformation = image.text(TransformationKey).toInt();
    return true;
}

bool ThumbnailCache::Write(const QString& strFile, const Entry& entry)
{
    const QFileInfo info(strFile);
    const QString strFolder = GetCacheFolder();
    // The folders are private to their owner.
    if (!QDir().mkpath(strFolder))
        return false;
    QFile::setPermissions(strFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QImage image = entry.image;
    image.setText(UriKey, QString::fromLatin1(GetUri(strFile)));
    image.setText(MTimeKey, ModificationTime(info));
    image.setText(SizeKey, QString::number(info.size()));
    image.setText(WidthKey, QString::number(entry.imageSize.width()));
    image.setText(HeightKey, QString::number(entry.imageSize.height()));
    image.setText(TransformationKey, QString::number(entry.transformation));
    image.setText(QStringLiteral("Software"), QStringLiteral("Tessara"));
    // Written beside its final name and renamed over it, so a reader never sees half a file;
    // a temporary file is made readable by its owner only.
    QTemporaryFile file(QDir(strFolder).filePath(QStringLiteral("tessara-XXXXXX.png")));
    if (!file.open())
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.flush())
        return false;
    const QString strTarget = GetCacheFile(strFile);
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(strTarget).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}
} // namespace Model
