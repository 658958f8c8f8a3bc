#pragma once

#include "ui/controls/ImageTableDelegate.h"

#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QTableWidget>
#include <QTimer>

class QAction;
class QMenu;
class QMimeData;

namespace Model {
class ImageCell;
class ImageCellEngine;
} // namespace Model

namespace UI::Controls {
class ImageTableItem;

// What grid and tray share: items pointing at engine cells, thumbnail painting, zoom and compact
// view, tool tips, open/reload, update brackets and the drag-and-drop protocol. What a drop does
// is decided by the subclasses through the Drop_ hooks.
class ImageTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    enum ImageTableType {
        TableGrid = 0,
        TableTray = 1
    };

    enum DragType {
        DragNone = 0,
        DragGridToTray = 1,
        DragTrayToGrid = 2,
        DragGridToGrid = 3,
        DragTrayToTray = 4
    };

    static constexpr int MinImageSize = 64;
    static constexpr int MaxImageSize = 256;

    explicit ImageTableWidget(QWidget* pParent = nullptr);
    ~ImageTableWidget() override;

    bool InitImageTable(ImageTableType tableType, Model::ImageCellEngine* pEngine);
    // The main window's actions that the context menus borrow, found by object name
    // ("actGridCompound", "actTrayAddImages", ...); names not given leave their entries out.
    void SetWindowActions(const QList<QAction*>& actions);

    ImageTableType GetTableType() const { return m_tableType; }
    Model::ImageCellEngine* GetCellEngine() const { return m_cellEngine; }
    bool IsCompactView() const { return m_compactView; }
    void SetCompactView(bool bCompact);
    int GetImageSize() const { return m_imageSize; }
    void SetImageSize(int nSize);
    QAction* GetOpenAction() const { return m_openAction; }
    QAction* GetReloadAction() const { return m_reloadAction; }

    ImageTableItem* Item(int nRow, int nCol) const;
    ImageTableItem* CreateItem(int nRow, int nCol);
    void SetItemImageCell(ImageTableItem* pItem, Model::ImageCell* pCell);
    QList<ImageTableItem*> SelectedItems() const;
    int GetSelectedImagesCount() const;
    ImageTableItem* FindItem(const Model::ImageCell* pCell) const;
    int GetImageCount() const;
    QSize GetAverageImageDimensions() const;
    QList<QStringList> GetRowFilenames() const;
    void ClearImages();
    void ClearItemDragHighlights();

    void DisableUpdates();
    void EnableUpdates();
    void BeginEdit(const QString& strText) { emit Sig_EditBegin(strText); }
    void EndEdit() { emit Sig_EditEnd(); }

    static DragType DetermineDragType(QObject* pSource, QObject* pTarget);
    void InitiateItemDrag(const QList<ImageTableItem*>& items);

signals:
    void Sig_ImageTableChanged();
    // Bracket one user edit of the table (a drop, a menu command), so it can be undone as one step.
    void Sig_EditBegin(const QString& strText);
    void Sig_EditEnd();

public slots:
    void OnOpenImage();
    void OnReloadImage();
    void OnCellRemoved(Model::ImageCell* pCell);
    void OnCellOperation(bool bBegin);
    void OnImagesReloaded();
    void OnThumbnailsArrived();

protected slots:
    virtual void OnSelectionChanged();

protected:
    virtual void Drop_UpdateHighlightedCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, bool bAcceptable,
                                             DragType dragType);
    virtual void Drop_CellsDragged(const QList<Model::ImageCell*>& cells, QWidget* pTarget, DragType dragType);
    virtual void Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                                DragType dragType);
    virtual bool Drop_TargetAcceptable(QWidget* pSource, const QPoint& pos) const;
    virtual void RecalculateTableSize();
    // Recalculates now, or once when the outermost update bracket closes: filling a grid cell by
    // cell would otherwise re-measure the whole table for every cell.
    void UpdateTableSize();
    // Emits Sig_ImageTableChanged now, or once when the outermost update bracket closes: the window
    // recounts the whole table per announcement, so a cell-by-cell fill would cost quadratic time.
    void AnnounceTableChanged();
    virtual bool PrepareContextMenu(QMenu* pMenu);
    // Puts a dropped cell into an item; the grid also records the new position with the engine.
    virtual void PlaceDroppedCell(ImageTableItem* pItem, Model::ImageCell* pCell);

    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dragLeaveEvent(QDragLeaveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    bool viewportEvent(QEvent* pEvent) override;

    // Adds the window's action of that object name; nothing when the window did not hand it over.
    void AddWindowAction(QMenu* pMenu, const QString& strObjectName) const;
    // Items from the one under pos onwards in row-major order, passing over keep-empty ones, at most nCount.
    QList<ImageTableItem*> GetDropDestinations(const QPoint& pos, int nCount) const;
    // Rearranges by swapping: each cell goes to its destination, whose former cell takes the cell's old item.
    void SwapCellsInto(const QList<Model::ImageCell*>& cells, const QList<ImageTableItem*>& destinations);
    // The table a drag source or target belongs to (drops arrive at the viewport).
    static ImageTableWidget* TableOf(QObject* pObject);

    // A new action owned by the table and added to it, so its shortcut works while the table has focus.
    QAction* CreateAction(const QString& strText, const QString& strIcon);
    static void ReportError(const QString& strMessage);

private:
    // False when the drag carries no cells of this editor and the base handling should run.
    bool HandleCellDragOver(QDragMoveEvent* pEvent);
    // The dragged cells that still sit in the source table's container (basket for the grid, tray for
    // the tray); cells that moved elsewhere since the drag began are left out.
    QList<Model::ImageCell*> CellsShownBy(const ImageTableWidget* pSourceTable, const QMimeData* pMimeData) const;

    static constexpr int ThumbnailRefreshMs = 150;
    static constexpr int MeasureIntervalMs = 1000;

    ImageTableType m_tableType = TableGrid;
    ImageTableDelegate m_delegate;
    bool m_compactView = false;
    Model::ImageCellEngine* m_cellEngine = nullptr;
    int m_imageSize = 128;
    int m_updatesDisabled = 0;
    bool m_tableSizeStale = false;
    bool m_changePending = false;
    QPoint m_dragStartPoint{-1, -1};
    QAction* m_openAction = nullptr;
    QAction* m_reloadAction = nullptr;
    QList<QAction*> m_windowActions;
    QTimer m_thumbnailTimer;
    QElapsedTimer m_lastMeasure;
};

// Keeps a table's updates disabled for its lifetime, so a bulk change repaints once.
class TableUpdateBlocker
{
public:
    explicit TableUpdateBlocker(ImageTableWidget* pTable);
    ~TableUpdateBlocker();
    TableUpdateBlocker(const TableUpdateBlocker&) = delete;
    TableUpdateBlocker& operator=(const TableUpdateBlocker&) = delete;

private:
    ImageTableWidget* m_table;
};

// Announces one named user edit of a table for its lifetime.
class TableEditStep
{
public:
    TableEditStep(ImageTableWidget* pTable, const QString& strText);
    ~TableEditStep();
    TableEditStep(const TableEditStep&) = delete;
    TableEditStep& operator=(const TableEditStep&) = delete;

private:
    ImageTableWidget* m_table;
};
} // namespace UI::Controls
