#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

class QDrag;
class QMimeData;
class QWidget;

namespace Model {
class ImageCell;
class ImageCellEngine;

// The cells of one drag between the editor's tables: packs them into MIME data, paints the picture
// that follows the pointer and, on the receiving side, turns MIME data back into cells.
// Payload under ImageCellMimeType (big-endian): qint64 count, then one qint64 cell identity each.
// Identities are only looked up among the live cells of an engine, so a foreign or stale payload
// can never name a cell that does not exist.
class ImageCellDrag
{
public:
    static const QString ImageCellMimeType;

    ImageCellDrag() = default;
    ImageCellDrag(const QMimeData* pMimeData, const ImageCellEngine& engine);
    virtual ~ImageCellDrag() = default;

    void ToMimeData(QMimeData* pMimeData) const;
    void FromMimeData(const QMimeData* pMimeData, const ImageCellEngine& engine);
    QDrag* CreateDragObject(QWidget* pSource) const;
    QPixmap CreateDragPixmap() const;
    static QPixmap CreateImageCellDragPixmap(const ImageCell* pCell);

    // In drag order; not owned. The source table fills it directly.
    QList<ImageCell*> m_cells;
};
} // namespace Model
