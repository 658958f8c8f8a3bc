#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

namespace Model {
// One input image of the editor: its file, a small thumbnail for the tables, the full image size
// and where it sits in the grid. Owned by ImageCellEngine; the tables only point at it. A cell may
// be made before its thumbnail is read (ThumbnailLoader reads it in the background); thumbnails
// live in a memory budget shared by all cells, so a large grid keeps only the recently shown ones
// and reads the others again from the thumbnail cache when they come into view.
class ImageCell : public QObject
{
    Q_OBJECT

public:
    enum class LoadState {
        Pending,
        Loaded,
        Failed
    };

    // Turns strSource into the PNG strTarget, upright from its EXIF orientation when bAutoOrient;
    // true on success. Reads the formats Qt has no plug-in for.
    using Converter = std::function<bool(const QString& strSource, const QString& strTarget, bool bAutoOrient)>;
    // Set once by the application; without one such formats are not read.
    static void SetConverter(Converter fnConvert);

    ImageCell();
    ~ImageCell() override;

    bool AssignImage(const QString& strFileName);
    // Takes the file without reading it: false, and nothing taken, when it is no regular file.
    bool AssignFile(const QString& strFileName);
    void UnassignImage();
    bool LoadImage();
    bool ReloadImage();
    void UnloadImage();

    // Process-local identity, never reused during a run: drag data names cells by it.
    qint64 GetId() const { return m_id; }
    const QString& GetFilename() const { return m_fileName; }
    // Null while not read, or pushed out of the memory budget since; only valid until the next
    // thumbnail arrives.
    const QImage* GetThumbnail() const;
    // Kept when the thumbnail itself is pushed out, so the tables keep their layout; invalid
    // until the first one was read.
    QSize GetThumbnailSize() const { return m_thumbnailSize; }
    QSize GetImageSize() const { return QSize(m_imageWidth, m_imageHeight); }
    LoadState GetLoadState() const { return m_loadState; }
    // Whether the picture must be read (again) to be shown.
    bool NeedsThumbnail() const { return m_loadState != LoadState::Failed && !GetThumbnail(); }
    // From ThumbnailLoader: the result of reading this cell's file.
    void SetThumbnail(const QImage& thumbnail, const QSize& imageSize);
    void SetLoadFailed();
    bool GetAutoOrient() const { return m_autoOrient; }

    // Reads strFile's thumbnail, from the shared thumbnail cache while the file is unchanged, else
    // from the file (scaled while decoding, so the full image is never held), stored in the cache
    // after. Safe on any thread. False when the file yields no image.
    static bool ReadThumbnail(const QString& strFile, bool bAutoOrient, QImage& thumbnail, QSize& imageSize);
    int GetGridRow() const { return m_gridRow; }
    int GetGridCol() const { return m_gridCol; }
    void SetGridLocation(int nRow, int nCol);
    // Whether the thumbnail and the image size follow the file's EXIF orientation, as tesscli does
    // with -autoorient; takes effect at the next load.
    void SetAutoOrient(bool bAutoOrient) { m_autoOrient = bAutoOrient; }

private:
    // Every cell's thumbnail by cell identity, the least recently shown dropped first beyond the budget.
    static QCache<qint64, QImage>& Thumbnails();

    const qint64 m_id;
    QString m_fileName;
    QSize m_thumbnailSize;
    LoadState m_loadState = LoadState::Pending;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_gridRow = -1;
    int m_gridCol = -1;
    bool m_autoOrient = false;
};
} // namespace Model
