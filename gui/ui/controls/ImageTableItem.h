#pragma once

#include <QString>
#include <QTableWidgetItem>

namespace Model {
class ImageCell;
}

namespace UI::Controls {
class ImageTableWidget;

// One position of the grid or the tray: the image cell shown there (not owned) and its marks.
class ImageTableItem : public QTableWidgetItem
{
public:
    enum ItemType {
        ItemGrid = 0,
        ItemTray = 1
    };

    ImageTableItem(ImageTableWidget* pTable, ItemType type);
    ~ImageTableItem() override = default;

    QTableWidgetItem* clone() const override;

    bool IsKeepEmpty() const { return m_bKeepEmpty; }
    void SetKeepEmpty(bool bKeepEmpty) { m_bKeepEmpty = bKeepEmpty; }
    bool IsDragHighlighted() const { return m_bDragHighlight; }
    void SetDragHighlighted(bool bHighlighted) { m_bDragHighlight = bHighlighted; }
    Model::ImageCell* GetCell() const { return m_pCell; }
    // Only the table changes the cell (ImageTableWidget::SetItemImageCell), so it can re-size and notify.
    void SetCell(Model::ImageCell* pCell) { m_pCell = pCell; }

    QString GetToolTip() const;
    // Writes this item's position into the cell, or the tray location when the item is in no table.
    void UpdateCellGridLocation(Model::ImageCell* pCell) const;

private:
    ImageTableWidget* m_pTable;
    ItemType m_itemType;
    bool m_bKeepEmpty = false;
    bool m_bDragHighlight = false;
    Model::ImageCell* m_pCell = nullptr;
};
} // namespace UI::Controls
