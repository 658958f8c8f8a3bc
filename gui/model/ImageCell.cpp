#include "model/ImageCell.h"

#include "misc/AppDirectories.h"
#include "misc/FileUtils.h"
#include "misc/Guard.h"
#include "misc/ImgUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

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
    if (m_thumbnail)
        UnloadImage();
}

void ImageCell::SetGridLocation(int nRow, int nCol)
{
    m_gridRow = nRow;
    m_gridCol = nCol;
}

bool ImageCell::AssignImage(const QString& strFileName)
{
    return GUARD_RUN([&] {
        // A folder, FIFO or device is refused like a missing file: the cell keeps its image.
        if (strFileName.isEmpty() || !Misc::IsRegularFile(strFileName))
            return false;
        if (!m_fileName.isEmpty())
            UnassignImage();
        m_fileName = strFileName;
        return LoadImage();
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
        if (m_thumbnail)
            UnloadImage();
        QImage image;
        if (!ReadImage(image))
            return false;
        if (image.isNull())
            return true;
        return CreateThumbnail(image);
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
    GUARD_RUN([&] { m_thumbnail.reset(); });
}

bool ImageCell::ConvertImage(const QString& strTarget)
{
    return GUARD_RUN([&] {
        const Converter& fnConvert = SharedConverter();
        return fnConvert && fnConvert(m_fileName, strTarget, m_autoOrient);
    });
}

bool ImageCell::ReadImage(QImage& image)
{
    // Checked at every load: the file may have been replaced by a FIFO, which would block the reader.
    if (!Misc::IsRegularFile(m_fileName))
        return false;
    if (ReadFile(m_fileName, image))
        return true;
    return ReadThroughConversion(image);
}

bool ImageCell::ReadFile(const QString& strFile, QImage& image) const
{
    QImageReader reader(strFile);
    reader.setAutoTransform(m_autoOrient);
    return reader.read(&image);
}

// Formats Qt has no plug-in for are turned into a temporary PNG by tesscli.
bool ImageCell::ReadThroughConversion(QImage& image)
{
    const QString strTempDir = Misc::AppDirectories::GetTempDir();
    // Normally made at start-up; recreating it costs nothing and keeps the fallback working.
    QDir().mkpath(strTempDir);
    const QString strTempFile =
        QDir(strTempDir).filePath(QFileInfo(m_fileName).completeBaseName() + QStringLiteral(".png"));
    const bool bRead = ConvertImage(strTempFile) && ReadFile(strTempFile, image);
    QFile::remove(strTempFile);
    return bRead;
}

bool ImageCell::CreateThumbnail(const QImage& image)
{
    // A very thin image would fit to zero pixels on its short side; keep at least one.
    const QSize thumbSize = Misc::GetAdjustedImageSize(image.size(), MaxThumbnailSize).expandedTo(QSize(1, 1));
    m_imageWidth = image.width();
    m_imageHeight = image.height();
    m_thumbnail = std::make_unique<QImage>(thumbSize, QImage::Format_ARGB32_Premultiplied);

    QPainter painter;
    if (!painter.begin(m_thumbnail.get()))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.fillRect(m_thumbnail->rect(), Qt::white);
    painter.drawImage(m_thumbnail->rect(), image);
    return true;
}
} // namespace Model
