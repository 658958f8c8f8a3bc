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

    bool IsKeepEmpty() const { return m_keepEmpty; }
    void SetKeepEmpty(bool bKeepEmpty) { m_keepEmpty = bKeepEmpty; }
    bool IsDragHighlighted() const { return m_dragHighlight; }
    void SetDragHighlighted(bool bHighlighted) { m_dragHighlight = bHighlighted; }
    Model::ImageCell* GetCell() const { return m_cell; }
    // Only the table changes the cell (ImageTableWidget::SetItemImageCell), so it can re-size and notify.
    void SetCell(Model::ImageCell* pCell) { m_cell = pCell; }

    QString GetToolTip() const;
    // Writes this item's position into the cell, or the tray location when the item is in no table.
    void UpdateCellGridLocation(Model::ImageCell* pCell) const;

private:
    ImageTableWidget* m_table;
    ItemType m_itemType;
    bool m_keepEmpty = false;
    bool m_dragHighlight = false;
    Model::ImageCell* m_cell = nullptr;
};
} // namespace UI::Controls
