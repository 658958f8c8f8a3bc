#include "ui/controls/ImageTableDelegate.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"
#include "model/ImageCellEngine.h"
#include "model/ThumbnailLoader.h"
#include "misc/ImgUtils.h"
#include "ui/controls/ImageTableItem.h"
#include "ui/controls/ImageTableWidget.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

namespace UI::Controls {
namespace {
// Margins around the image area and the name strip below it.
constexpr int SideMargin = 3;
constexpr int TopMargin = 3;
constexpr int NameStripSpace = 23;
} // namespace

ImageTableDelegate::ImageTableDelegate(ImageTableWidget* pTable) : m_table(pTable) {}

QRect ImageTableDelegate::GetItemRect(ItemRectType rectType, const QRect& cellRect) const
{
    return GUARD_RUN([&] {
        if (m_table->IsCompactView())
            return cellRect;
        const int x1 = cellRect.left(), y1 = cellRect.top(), x2 = cellRect.right(), y2 = cellRect.bottom();
        switch (rectType) {
        case RectName:
            return QRect(QPoint(x1 + SideMargin, y2 - 19), QPoint(x2 - SideMargin, y2 - 4));
        case RectImage:
            return QRect(QPoint(x1 + SideMargin, y1 + TopMargin), QPoint(x2 - SideMargin, y2 - NameStripSpace));
        case RectCell:
        default:
            return QRect(QPoint(x1 + SideMargin, y1 + TopMargin), QPoint(x2 - SideMargin, y2));
        }
    });
}

QPoint ImageTableDelegate::GetCenterPoint(const QRect& rect, const QSize& size)
{
    return QPoint(rect.left() - size.width() / 2 + (rect.right() + 1 - rect.left()) / 2,
                  rect.top() - size.height() / 2 + (rect.bottom() + 1 - rect.top()) / 2);
}

QSize ImageTableDelegate::GetEmptyImageSize() const
{
    return GUARD_RUN([&] {
        if (m_table->GetImageCount() < 1)
            return QSize(m_table->GetImageSize(), m_table->GetImageSize());
        return m_table->GetAverageImageDimensions();
    });
}

QSize ImageTableDelegate::GetRequiredItemSize(const ImageTableItem* pItem, bool bImageOnly,
                                              const QSize* pEmptyImageSize) const
{
    return GUARD_RUN([&] {
        const Model::ImageCell* pCell = pItem ? pItem->GetCell() : nullptr;
        QSize size;
        if (pCell && pCell->GetThumbnailSize().isValid())
            size = Misc::GetAdjustedImageSize(pCell->GetThumbnailSize(), m_table->GetImageSize());
        else
            size = pEmptyImageSize ? *pEmptyImageSize : GetEmptyImageSize();
        if (!bImageOnly && !m_table->IsCompactView())
            size += QSize(2 * SideMargin, TopMargin + NameStripSpace);
        return size;
    });
}

void ImageTableDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    GUARD_RUN([&] {
        const ImageTableItem* pItem = m_table->Item(index.row(), index.column());
        pPainter->setRenderHint(QPainter::TextAntialiasing, true);
        pPainter->fillRect(option.rect, option.palette.brush(QPalette::Base));
        if (!pItem)
            return;
        if (!m_table->IsCompactView()) {
            pPainter->save();
            DrawName(pItem, pPainter, GetItemRect(RectName, option.rect), option);
            pPainter->restore();
        }
        pPainter->save();
        DrawImage(pItem, pPainter, GetItemRect(RectImage, option.rect), option);
        pPainter->restore();
    });
}

ImageTableDelegate::NameStripStyle ImageTableDelegate::GetNameStripStyle(const ImageTableItem* pItem,
                                                                         const QStyleOptionViewItem& option) const
{
    if (option.state & QStyle::State_Selected)
        return {m_colorFrameSelected, m_colorSelection, 120, 105, m_colorTextSelected};
    if (pItem->GetCell())
        return {m_colorFrameImage, m_colorBaseImage, 110, 110, m_colorTextImage};
    if (pItem->IsKeepEmpty())
        return {m_colorFrameKeepEmpty, m_colorBaseKeepEmpty, 109, 109, m_colorTextKeepEmpty};
    return {m_colorFrameEmpty, m_colorBaseEmpty, 109, 109, m_colorTextEmpty};
}

void ImageTableDelegate::DrawName(const ImageTableItem* pItem, QPainter* pPainter, const QRect& rect,
                                  const QStyleOptionViewItem& option) const
{
    GUARD_RUN([&] {
        QString strText;
        if (pItem->GetCell())
            strText = QFileInfo(pItem->GetCell()->GetFilename()).fileName();
        else if (pItem->IsKeepEmpty())
            strText = tr("Keep empty");
        else
            strText = tr("None");

        const NameStripStyle style = GetNameStripStyle(pItem, option);
        QLinearGradient gradient(rect.left(), rect.top(), rect.left(), rect.bottom());
        gradient.setColorAt(0.0, style.base.lighter(style.lighterFactor));
        gradient.setColorAt(1.0, style.base.darker(style.darkerFactor));
        pPainter->setBrush(gradient);
        pPainter->setPen(style.frame);
        pPainter->drawRect(rect);

        pPainter->setPen(style.text);
        const QRect textRect = rect.adjusted(2, 1, -2, 0);
        const QString strElided = pPainter->fontMetrics().elidedText(strText, Qt::ElideMiddle, textRect.width());
        pPainter->drawText(textRect, Qt::AlignCenter, strElided);
    });
}

void ImageTableDelegate::DrawImage(const ImageTableItem* pItem, QPainter* pPainter, const QRect& rect,
                                   const QStyleOptionViewItem& option) const
{
    GUARD_RUN([&] {
        const bool bCompact = m_table->IsCompactView();
        Model::ImageCell* pCell = pItem->GetCell();
        if (const QImage* pThumbnail = pCell ? pCell->GetThumbnail() : nullptr) {
            const QSize size = GetRequiredItemSize(pItem, true);
            const QPoint topLeft = bCompact ? rect.topLeft() : GetCenterPoint(rect, size);
            pPainter->save();
            pPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
            pPainter->drawImage(QRect(topLeft, size), *pThumbnail);
            pPainter->restore();
        } else if (pCell && pCell->NeedsThumbnail()) {
            // In view: read before the cells out of sight.
            m_table->GetCellEngine()->GetThumbnailLoader()->Request(pCell, true);
        }

        const bool bSelected = option.state & QStyle::State_Selected;
        if (pItem->IsDragHighlighted()) {
            QColor overlay = m_colorDragHighlight;
            overlay.setAlpha(128);
            pPainter->fillRect(rect, overlay);
        } else if (bSelected) {
            QColor overlay = m_colorSelection;
            overlay.setAlpha(164);
            pPainter->fillRect(rect, overlay);
        }

        if (bCompact)
            return;
        if (pItem->IsDragHighlighted())
            pPainter->setPen(m_colorImageFrameHighlighted);
        else
            pPainter->setPen(bSelected ? m_colorImageFrameSelected : m_colorImageFrame);
        pPainter->setBrush(Qt::NoBrush);
        pPainter->drawRect(rect);
        if (!pCell)
            pPainter->drawText(rect, Qt::AlignCenter, tr("No image"));
        else if (pCell->GetLoadState() == Model::ImageCell::LoadState::Failed)
            pPainter->drawText(rect, Qt::AlignCenter, tr("Unreadable"));
    });
}
} // namespace UI::Controls
