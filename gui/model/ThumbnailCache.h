#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace Model {
// The thumbnail cache that file managers and image viewers share (freedesktop.org): PNGs of at most
// 256 pixels a side in $XDG_CACHE_HOME/thumbnails/large, named after the MD5 of the file's URI,
// carrying the URI and the file's modification time, so that a changed file is drawn anew. Safe on
// any thread.
class ThumbnailCache
{
public:
    static constexpr int LargeSize = 256;

    struct Entry
    {
        QImage image;
        // The full image's size, as shown (turned upright when the image was).
        QSize imageSize;
        // The EXIF orientation the image carries; the stored thumbnail is always upright.
        int transformation = 0;
    };

    static QString GetCacheFolder();
    static QByteArray GetUri(const QString& strFile);
    static QString GetCacheFile(const QString& strFile);
    // A thumbnail stored for strFile as it is now: false when there is none, it names another file
    // or the file has changed since.
    static bool Read(const QString& strFile, Entry& entry);
    // Stores an upright thumbnail atomically, readable by its owner only.
    static bool Write(const QString& strFile, const Entry& entry);
};
} // namespace Model
