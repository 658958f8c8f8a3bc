#pragma once

#include "ui/controls/ImageTableWidget.h"

namespace UI::Controls {
// The one-row strip of cells not placed in the grid. Its columns follow the engine's tray:
// one is appended per cell moved to the tray and removed per cell moved to the grid.
class ImageTray : public ImageTableWidget
{
    Q_OBJECT

public:
    static constexpr int EmptyTrayHeight = 64;

    explicit ImageTray(QWidget* pParent = nullptr);

    bool InitImageTray(Model::ImageCellEngine* pEngine);
    void AddImageCell(Model::ImageCell* pCell);
    void RemoveImageCell(Model::ImageCell* pCell);

    QAction* GetRemoveAction() const { return m_removeAction; }

public slots:
    void OnRemoveImages();
    void OnMovedToTray(Model::ImageCell* pCell);
    void OnMovedToBasket(Model::ImageCell* pCell);
    void OnTrayCleared();

protected slots:
    void OnSelectionChanged() override;

protected:
    void wheelEvent(QWheelEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void Drop_UpdateHighlightedCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, bool bAcceptable,
                                     DragType dragType) override;
    void Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                        DragType dragType) override;
    void RecalculateTableSize() override;
    bool PrepareContextMenu(QMenu* pMenu) override;

private:
    // File drops from other applications become tray cells; false when the event carries no files.
    bool HandleFileDrag(QDragMoveEvent* pEvent);
    bool HandleFileDrop(QDropEvent* pEvent);

    QAction* m_removeAction = nullptr;
};
} // namespace UI::Controls
