#include "model/ImageCell.h"

#include "misc/AppDirectories.h"
#include "misc/FileUtils.h"
#include "misc/Guard.h"
#include "misc/ImgUtils.h"
#include "model/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryFile>

namespace Model {
namespace {
qint64 NextCellId()
{
    // Starts at 1 so that 0 never names a cell.
    static qint64 s_nLastId = 0;
    return ++s_nLastId;
}

ImageCell::Converter& SharedConverter()
{
    static ImageCell::Converter s_converter;
    return s_converter;
}
} // namespace

void ImageCell::SetConverter(Converter fnConvert)
{
    SharedConverter() = std::move(fnConvert);
}

ImageCell::ImageCell() : m_id(NextCellId()) {}

ImageCell::~ImageCell()
{
    Thumbnails().remove(m_id);
}

QCache<qint64, QImage>& ImageCell::Thumbnails()
{
    // A screenful of the largest thumbnails many times over, a fraction of a 300x300 grid's.
    static QCache<qint64, QImage> s_thumbnails(128 << 20);
    return s_thumbnails;
}

const QImage* ImageCell::GetThumbnail() const
{
    return Thumbnails().object(m_id);
}

void ImageCell::SetThumbnail(const QImage& thumbnail, const QSize& imageSize)
{
    m_thumbnailSize = thumbnail.size();
    m_imageWidth = imageSize.width();
    m_imageHeight = imageSize.height();
    m_loadState = LoadState::Loaded;
    Thumbnails().insert(m_id, new QImage(thumbnail), qsizetype(thumbnail.sizeInBytes()));
}

void ImageCell::SetLoadFailed()
{
    Thumbnails().remove(m_id);
    m_loadState = LoadState::Failed;
}

void ImageCell::SetGridLocation(int nRow, int nCol)
{
    m_gridRow = nRow;
    m_gridCol = nCol;
}

bool ImageCell::AssignImage(const QString& strFileName)
{
    return GUARD_RUN([&] { return AssignFile(strFileName) && LoadImage(); });
}

bool ImageCell::AssignFile(const QString& strFileName)
{
    return GUARD_RUN([&] {
        // A folder, FIFO or device is refused like a missing file: the cell keeps its image.
        if (strFileName.isEmpty() || !Misc::IsRegularFile(strFileName))
            return false;
        if (!m_fileName.isEmpty())
            UnassignImage();
        m_fileName = strFileName;
        m_loadState = LoadState::Pending;
        return true;
    });
}

void ImageCell::UnassignImage()
{
    GUARD_RUN([&] {
        UnloadImage();
        m_fileName.clear();
    });
}

bool ImageCell::LoadImage()
{
    return GUARD_RUN([&] {
        UnloadImage();
        QImage thumbnail;
        QSize imageSize;
        if (!ReadThumbnail(m_fileName, m_autoOrient, thumbnail, imageSize)) {
            SetLoadFailed();
            return false;
        }
        SetThumbnail(thumbnail, imageSize);
        return true;
    });
}

bool ImageCell::ReloadImage()
{
    return GUARD_RUN([&] {
        if (m_fileName.isEmpty())
            return true;
        return LoadImage();
    });
}

void ImageCell::UnloadImage()
{
    GUARD_RUN([&] {
        Thumbnails().remove(m_id);
        m_loadState = LoadState::Pending;
    });
}

namespace {
bool ConvertFile(const QString& strSource, const QString& strTarget, bool bAutoOrient)
{
    const ImageCell::Converter& fnConvert = SharedConverter();
    return fnConvert && fnConvert(strSource, strTarget, bAutoOrient);
}

// Decodes no more than the thumbnail needs; the entry's image is upright when bAutoOrient.
bool ReadScaled(const QString& strFile, bool bAutoOrient, ThumbnailCache::Entry& entry)
{
    // A very thin image would fit to zero pixels on its short side; keep at least one.
    const auto thumbnailSize = [](const QSize& size) {
        return Misc::GetAdjustedImageSize(size, ThumbnailCache::LargeSize).expandedTo(QSize(1, 1));
    };
    QImageReader reader(strFile);
    reader.setAutoTransform(bAutoOrient);
    QSize imageSize = reader.size();
    if (imageSize.isValid())
        reader.setScaledSize(thumbnailSize(imageSize));
    QImage image;
    if (!reader.read(&image))
        return false;
    entry.transformation = int(reader.transformation());
    if (!imageSize.isValid()) {
        // The reader could not tell the size first: the image came whole, already turned.
        imageSize = image.size();
        image = image.scaled(thumbnailSize(imageSize), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else if (bAutoOrient && (reader.transformation() & QImageIOHandler::TransformationRotate90)) {
        imageSize.transpose();
    }
    entry.image = image;
    entry.imageSize = imageSize;
    return true;
}

// Formats Qt has no plug-in for are turned into a temporary PNG by tesscli.
bool ReadThroughConversion(const QString& strFile, bool bAutoOrient, ThumbnailCache::Entry& entry)
{
    const QString strTempDir = Misc::AppDirectories::GetTempDir();
    // Normally made at start-up; recreating it costs nothing and keeps the fallback working.
    QDir().mkpath(strTempDir);
    // A name of its own: several cells convert at once.
    QTemporaryFile target(QDir(strTempDir).filePath(QFileInfo(strFile).completeBaseName() + "-XXXXXX.png"));
    if (!target.open())
        return false;
    target.close();
    if (!ConvertFile(strFile, target.fileName(), bAutoOrient) || !ReadScaled(target.fileName(), false, entry))
        return false;
    // Without -autoorient the result may still need turning, which the cache cannot record.
    entry.transformation = bAutoOrient ? 0 : -1;
    return true;
}
} // namespace

bool ImageCell::ReadThumbnail(const QString& strFile, bool bAutoOrient, QImage& thumbnail, QSize& imageSize)
{
    // Checked at every read: the file may have been replaced by a FIFO, which would block the reader.
    if (!Misc::IsRegularFile(strFile))
        return false;
    // The cache holds upright thumbnails: one serves a cell that shows the image as stored only
    // when the image needs no turning.
    ThumbnailCache::Entry entry;
    const bool bCached = ThumbnailCache::Read(strFile, entry) && (bAutoOrient || entry.transformation == 0);
    if (!bCached) {
        if (!ReadScaled(strFile, bAutoOrient, entry) && !ReadThroughConversion(strFile, bAutoOrient, entry))
            return false;
        if (bAutoOrient || entry.transformation == 0)
            ThumbnailCache::Write(strFile, entry);
    }
    // Shown on white, as the tables' background.
    thumbnail = QImage(entry.image.size(), QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.drawImage(0, 0, entry.image);
    imageSize = entry.imageSize;
    return true;
}
} // namespace Model
