#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

namespace Model {
// One input image of the editor: its file, a small thumbnail for the tables, the full image size
// and where it sits in the grid. Owned by ImageCellEngine; the tables only point at it.
class ImageCell : public QObject
{
    Q_OBJECT

public:
    // Thumbnails never exceed this square, so painting a large grid stays cheap.
    static constexpr int MaxThumbnailSize = 256;

    // Turns strSource into the PNG strTarget, upright from its EXIF orientation when bAutoOrient;
    // true on success. Reads the formats Qt has no plug-in for.
    using Converter = std::function<bool(const QString& strSource, const QString& strTarget, bool bAutoOrient)>;
    // Set once by the application; without one such formats are not read.
    static void SetConverter(Converter fnConvert);

    ImageCell();
    ~ImageCell() override;

    bool AssignImage(const QString& strFileName);
    void UnassignImage();
    bool LoadImage();
    bool ReloadImage();
    void UnloadImage();
    bool ConvertImage(const QString& strTarget);

    // Process-local identity, never reused during a run: drag data names cells by it.
    qint64 GetId() const { return m_id; }
    const QString& GetFilename() const { return m_fileName; }
    const QImage* GetThumbnail() const { return m_thumbnail.get(); }
    QSize GetImageSize() const { return QSize(m_imageWidth, m_imageHeight); }
    int GetGridRow() const { return m_gridRow; }
    int GetGridCol() const { return m_gridCol; }
    void SetGridLocation(int nRow, int nCol);
    // Whether the thumbnail and the image size follow the file's EXIF orientation, as tesscli does
    // with -autoorient; takes effect at the next load.
    void SetAutoOrient(bool bAutoOrient) { m_autoOrient = bAutoOrient; }

private:
    bool ReadImage(QImage& image);
    bool ReadFile(const QString& strFile, QImage& image) const;
    bool ReadThroughConversion(QImage& image);
    bool CreateThumbnail(const QImage& image);

    const qint64 m_id;
    QString m_fileName;
    std::unique_ptr<QImage> m_thumbnail;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_gridRow = -1;
    int m_gridCol = -1;
    bool m_autoOrient = false;
};
} // namespace Model
