#include "ui/controls/ImageTableItem.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"

#include <QCoreApplication>

namespace UI::Controls {
ImageTableItem::ImageTableItem(ImageTableWidget* pTable, ItemType type)
    : QTableWidgetItem(QTableWidgetItem::UserType), m_table(pTable), m_itemType(type)
{}

QTableWidgetItem* ImageTableItem::clone() const
{
    return GUARD_RUN([&] {
        auto* pItem = new ImageTableItem(m_table, m_itemType);
        pItem->m_keepEmpty = m_keepEmpty;
        pItem->m_dragHighlight = m_dragHighlight;
        pItem->m_cell = m_cell;
        return pItem;
    });
}

QString ImageTableItem::GetToolTip() const
{
    return GUARD_RUN([&] {
        const QString strTitle =
            m_cell ? m_cell->GetFilename().toHtmlEscaped() : QCoreApplication::translate("ImageTableItem", "No image");
        QString strText = QStringLiteral("<b>") + strTitle + QStringLiteral("</b><br><br>");
        if (m_itemType == ItemGrid) {
            strText += QStringLiteral("<b>") + QCoreApplication::translate("ImageTableItem", "Cell:")
                       + QStringLiteral("</b> %1, %2").arg(row() + 1).arg(column() + 1);
        }
        if (m_cell) {
            if (m_itemType == ItemGrid)
                strText += QStringLiteral("<br>");
            const QSize imageSize = m_cell->GetImageSize();
            strText += QStringLiteral("<b>") + QCoreApplication::translate("ImageTableItem", "Image size:")
                       + QStringLiteral("</b> %1x%2").arg(imageSize.width()).arg(imageSize.height());
        }
        return strText;
    });
}

void ImageTableItem::UpdateCellGridLocation(Model::ImageCell* pCell) const
{
    GUARD_RUN([&] {
        if (!pCell)
            return;
        if (tableWidget())
            pCell->SetGridLocation(row(), column());
        else
            pCell->SetGridLocation(-1, -1);
    });
}
} // namespace UI::Controls
