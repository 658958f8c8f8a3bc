#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace UI::Controls {
class ImageTableItem;
class ImageTableWidget;

// Paints each position of an image table: the thumbnail centred in a framed image area, the
// selection or drag-highlight overlay, and a coloured strip with the file name below it.
class ImageTableDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum ItemRectType {
        RectCell = 0,
        RectName = 1,
        RectImage = 2
    };

    explicit ImageTableDelegate(ImageTableWidget* pTable);
    ~ImageTableDelegate() override = default;

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QRect GetItemRect(ItemRectType rectType, const QRect& cellRect) const;
    static QPoint GetCenterPoint(const QRect& rect, const QSize& size);
    // What the item needs: its thumbnail fitted into the table's image size, plus margins and
    // name strip unless bImageOnly or the table is compact. Items without a thumbnail take
    // *pEmptyImageSize when given (GetEmptyImageSize otherwise, which walks the whole table).
    QSize GetRequiredItemSize(const ImageTableItem* pItem, bool bImageOnly,
                              const QSize* pEmptyImageSize = nullptr) const;
    // The image area of an item without a thumbnail: the average of the table's images, or a
    // square of the image size while the table holds none.
    QSize GetEmptyImageSize() const;
    void DrawImage(const ImageTableItem* pItem, QPainter* pPainter, const QRect& rect,
                   const QStyleOptionViewItem& option) const;
    void DrawName(const ImageTableItem* pItem, QPainter* pPainter, const QRect& rect,
                  const QStyleOptionViewItem& option) const;

private:
    // Frame, gradient base and text colour of a name strip in one state.
    struct NameStripStyle
    {
        QColor frame;
        QColor base;
        int lighterFactor;
        int darkerFactor;
        QColor text;
    };
    NameStripStyle GetNameStripStyle(const ImageTableItem* pItem, const QStyleOptionViewItem& option) const;

    ImageTableWidget* m_table;
    const QColor m_colorFrameImage{149, 178, 137};
    const QColor m_colorFrameEmpty{181, 130, 166};
    const QColor m_colorFrameSelected{130, 163, 186};
    const QColor m_colorFrameKeepEmpty{128, 128, 128};
    const QColor m_colorBaseImage{226, 255, 221};
    const QColor m_colorBaseEmpty{255, 224, 237};
    const QColor m_colorSelection{186, 226, 255};
    const QColor m_colorBaseKeepEmpty{212, 212, 212};
    const QColor m_colorDragHighlight{255, 64, 64};
    const QColor m_colorTextImage{18, 114, 26};
    const QColor m_colorTextEmpty{127, 63, 91};
    const QColor m_colorTextSelected{34, 81, 114};
    const QColor m_colorTextKeepEmpty{96, 96, 96};
    const QColor m_colorImageFrame{180, 180, 180};
    const QColor m_colorImageFrameSelected{130, 163, 186};
    const QColor m_colorImageFrameHighlighted{137, 52, 60};
};
} // namespace UI::Controls
