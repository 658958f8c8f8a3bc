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
    qint64 GetId() const { return m_nId; }
    const QString& GetFilename() const { return m_strFileName; }
    const QImage* GetThumbnail() const { return m_pThumbnail.get(); }
    QSize GetImageSize() const { return QSize(m_nImageWidth, m_nImageHeight); }
    int GetGridRow() const { return m_nGridRow; }
    int GetGridCol() const { return m_nGridCol; }
    void SetGridLocation(int nRow, int nCol);
    // Whether the thumbnail and the image size follow the file's EXIF orientation, as tesscli does
    // with -autoorient; takes effect at the next load.
    void SetAutoOrient(bool bAutoOrient) { m_bAutoOrient = bAutoOrient; }

private:
    bool ReadImage(QImage& image);
    bool ReadFile(const QString& strFile, QImage& image) const;
    bool ReadThroughConversion(QImage& image);
    bool CreateThumbnail(const QImage& image);

    const qint64 m_nId;
    QString m_strFileName;
    std::unique_ptr<QImage> m_pThumbnail;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    int m_nGridRow = -1;
    int m_nGridCol = -1;
    bool m_bAutoOrient = false;
};
} // namespace Model
