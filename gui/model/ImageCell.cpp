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

ImageCell::ImageCell() : m_nId(NextCellId()) {}

ImageCell::~ImageCell()
{
    if (m_pThumbnail)
        UnloadImage();
}

void ImageCell::SetGridLocation(int nRow, int nCol)
{
    m_nGridRow = nRow;
    m_nGridCol = nCol;
}

bool ImageCell::AssignImage(const QString& strFileName)
{
    return GUARD_RUN([&] {
        // A folder, FIFO or device is refused like a missing file: the cell keeps its image.
        if (strFileName.isEmpty() || !Misc::IsRegularFile(strFileName))
            return false;
        if (!m_strFileName.isEmpty())
            UnassignImage();
        m_strFileName = strFileName;
        return LoadImage();
    });
}

void ImageCell::UnassignImage()
{
    GUARD_RUN([&] {
        UnloadImage();
        m_strFileName.clear();
    });
}

bool ImageCell::LoadImage()
{
    return GUARD_RUN([&] {
        if (m_pThumbnail)
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
        if (m_strFileName.isEmpty())
            return true;
        return LoadImage();
    });
}

void ImageCell::UnloadImage()
{
    GUARD_RUN([&] { m_pThumbnail.reset(); });
}

bool ImageCell::ConvertImage(const QString& strTarget)
{
    return GUARD_RUN([&] {
        const Converter& fnConvert = SharedConverter();
        return fnConvert && fnConvert(m_strFileName, strTarget, m_bAutoOrient);
    });
}

bool ImageCell::ReadImage(QImage& image)
{
    // Checked at every load: the file may have been replaced by a FIFO, which would block the reader.
    if (!Misc::IsRegularFile(m_strFileName))
        return false;
    if (ReadFile(m_strFileName, image))
        return true;
    return ReadThroughConversion(image);
}

bool ImageCell::ReadFile(const QString& strFile, QImage& image) const
{
    QImageReader reader(strFile);
    reader.setAutoTransform(m_bAutoOrient);
    return reader.read(&image);
}

// Formats Qt has no plug-in for are turned into a temporary PNG by tesscli.
bool ImageCell::ReadThroughConversion(QImage& image)
{
    const QString strTempDir = Misc::AppDirectories::GetTempDir();
    // Normally made at start-up; recreating it costs nothing and keeps the fallback working.
    QDir().mkpath(strTempDir);
    const QString strTempFile =
        QDir(strTempDir).filePath(QFileInfo(m_strFileName).completeBaseName() + QStringLiteral(".png"));
    const bool bRead = ConvertImage(strTempFile) && ReadFile(strTempFile, image);
    QFile::remove(strTempFile);
    return bRead;
}

bool ImageCell::CreateThumbnail(const QImage& image)
{
    // A very thin image would fit to zero pixels on its short side; keep at least one.
    const QSize thumbSize = Misc::GetAdjustedImageSize(image.size(), MaxThumbnailSize).expandedTo(QSize(1, 1));
    m_nImageWidth = image.width();
    m_nImageHeight = image.height();
    m_pThumbnail = std::make_unique<QImage>(thumbSize, QImage::Format_ARGB32_Premultiplied);

    QPainter painter;
    if (!painter.begin(m_pThumbnail.get()))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.fillRect(m_pThumbnail->rect(), Qt::white);
    painter.drawImage(m_pThumbnail->rect(), image);
    return true;
}
} // namespace Model
