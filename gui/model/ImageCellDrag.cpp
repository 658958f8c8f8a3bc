#include "model/ImageCellDrag.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"
#include "model/ImageCellEngine.h"
#include "misc/ImgUtils.h"

#include <QByteArray>
#include <QDataStream>
#include <QDrag>
#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

namespace Model {
namespace {
constexpr int CellPictureSize = 64;
constexpr int StackOffset = 10;

// A one-pixel frame on the outermost pixels (a stroked QRect reaches one pixel past its right and bottom).
void DrawEdgeFrame(QPainter& painter, const QSize& size, const QColor& color)
{
    painter.setPen(color);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, size.width() - 1, size.height() - 1));
}
} // namespace

const QString ImageCellDrag::ImageCellMimeType = QStringLiteral("tesscli/cells");

ImageCellDrag::ImageCellDrag(const QMimeData* pMimeData, const ImageCellEngine& engine)
{
    FromMimeData(pMimeData, engine);
}

void ImageCellDrag::ToMimeData(QMimeData* pMimeData) const
{
    GUARD_RUN([&] {
        QByteArray payload;
        QDataStream stream(&payload, QIODevice::WriteOnly);
        stream << qint64(m_cells.size());
        for (const ImageCell* pCell : m_cells)
            stream << pCell->GetId();
        pMimeData->setData(ImageCellMimeType, payload);
    });
}

void ImageCellDrag::FromMimeData(const QMimeData* pMimeData, const ImageCellEngine& engine)
{
    GUARD_RUN([&] {
        m_cells.clear();
        if (!pMimeData || !pMimeData->hasFormat(ImageCellMimeType))
            return;
        QDataStream stream(pMimeData->data(ImageCellMimeType));
        qint64 nCount = 0;
        stream >> nCount;
        // The count comes from outside: a short payload ends the loop, not the count.
        for (qint64 i = 0; i < nCount; ++i) {
            qint64 nCellId = 0;
            stream >> nCellId;
            if (stream.status() != QDataStream::Ok)
                break;
            ImageCell* pCell = engine.FindCell(nCellId);
            if (pCell && !m_cells.contains(pCell))
                m_cells.append(pCell);
        }
    });
}

QDrag* ImageCellDrag::CreateDragObject(QWidget* pSource) const
{
    return GUARD_RUN([&] {
        auto* pDrag = new QDrag(pSource);
        auto* pMimeData = new QMimeData();
        ToMimeData(pMimeData);
        pDrag->setMimeData(pMimeData);
        pDrag->setPixmap(CreateDragPixmap());
        // The pointer sits just outside the picture's top-left corner.
        pDrag->setHotSpot(QPoint(-2, -2));
        return pDrag;
    });
}

QPixmap ImageCellDrag::CreateDragPixmap() const
{
    return GUARD_RUN([&] {
        const int nSide = StackOffset * int(m_cells.size()) + CellPictureSize - StackOffset;
        QPixmap pixmap(nSide, nSide);
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(pixmap.rect(), Qt::white);
        for (int i = 0; i < m_cells.size(); ++i)
            painter.drawPixmap(StackOffset * i, StackOffset * i, CreateImageCellDragPixmap(m_cells[i]));
        DrawEdgeFrame(painter, pixmap.size(), QColor(128, 128, 128));
        return pixmap;
    });
}

QPixmap ImageCellDrag::CreateImageCellDragPixmap(const ImageCell* pCell)
{
    return GUARD_RUN([&] {
        const QImage* pThumbnail = pCell->GetThumbnail();
        const QSize pictureSize = pThumbnail ? Misc::GetAdjustedImageSize(pThumbnail->size(), CellPictureSize)
                                             : QSize(CellPictureSize, CellPictureSize);
        QPixmap pixmap(pictureSize);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(pixmap.rect(), QColor(255, 255, 255, 255));
        if (pThumbnail)
            painter.drawImage(pixmap.rect(), *pThumbnail);
        DrawEdgeFrame(painter, pictureSize, QColor(128, 128, 128));
        return pixmap;
    });
}
} // namespace Model
