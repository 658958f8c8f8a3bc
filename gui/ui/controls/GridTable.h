#pragma once

#include "ui/controls/ImageTableWidget.h"

namespace UI::Controls {
// The layout of the compound image: one item per grid position showing the engine's basket cell
// placed there, nothing, or a reserved ("keep empty") position.
class GridTable : public ImageTableWidget
{
    Q_OBJECT

public:
    explicit GridTable(QWidget* pParent = nullptr);

    bool InitGridTable(Model::ImageCellEngine* pEngine);
    bool Resize(int nRows, int nCols, bool bPopulate);
    void PopulateEntireGrid();
    void FlipHorizontally();
    void FlipVertically();
    void FlipItems(int nRow1, int nCol1, int nRow2, int nCol2);
    void SetKeepEmptyCells(const QList<QStringList>& rows);
    int GetSelectedKeepEmptyCount() const;
    void SelectImageForItem(ImageTableItem* pItem);

    QAction* GetKeepEmptyAction() const { return m_keepEmptyAction; }
    QAction* GetMoveToTrayAction() const { return m_moveToTrayAction; }
    QAction* GetClearAction() const { return m_clearAction; }

public slots:
    void OnSelectImage();
    void OnKeepEmpty(bool bChecked);
    void OnMoveToTray();
    void OnClearImages();
    void OnMovedToTray(Model::ImageCell* pCell);
    void OnBasketCleared();
    void OnItemDoubleClicked(int nRow, int nCol);

protected slots:
    void OnSelectionChanged() override;

protected:
    void Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                        DragType dragType) override;
    bool Drop_TargetAcceptable(QWidget* pSource, const QPoint& pos) const override;
    bool PrepareContextMenu(QMenu* pMenu) override;
    void PlaceDroppedCell(ImageTableItem* pItem, Model::ImageCell* pCell) override;

private:
    // Every selected item that shows a cell, with its cell, taken before the items change.
    QList<Model::ImageCell*> SelectedCells() const;

    QAction* m_selectAction = nullptr;
    QAction* m_keepEmptyAction = nullptr;
    QAction* m_moveToTrayAction = nullptr;
    QAction* m_clearAction = nullptr;
};
} // namespace UI::Controls
