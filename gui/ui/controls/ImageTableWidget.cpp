#include "ui/controls/ImageTableWidget.h"

#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "model/ImageCell.h"
#include "model/ImageCellDrag.h"
#include "model/ImageCellEngine.h"
#include "misc/UIUtils.h"
#include "model/ThumbnailLoader.h"
#include "misc/WaitCursor.h"
#include "ui/controls/ImageTableItem.h"

#include "TessaraContract.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>

#include <algorithm>
#include <optional>

namespace UI::Controls {
ImageTableWidget::ImageTableWidget(QWidget* pParent) : QTableWidget(pParent), m_delegate(this) {}

ImageTableWidget::~ImageTableWidget()
{
    // The delegate is a member: detach it before the view goes.
    setItemDelegate(nullptr);
}

bool ImageTableWidget::InitImageTable(ImageTableType tableType, Model::ImageCellEngine* pEngine)
{
    return GUARD_RUN([&] {
        m_tableType = tableType;
        m_cellEngine = pEngine;
        setAttribute(Qt::WA_StaticContents);
        setItemPrototype(
            new ImageTableItem(this, m_tableType == TableGrid ? ImageTableItem::ItemGrid : ImageTableItem::ItemTray));
        setItemDelegate(&m_delegate);

        // Drops arrive at the viewport; the model's own drag and drop stays off (drag is not enabled).
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        setTabKeyNavigation(false);
        setShowGrid(false);
        setWordWrap(false);
        setCornerButtonEnabled(false);
        for (QHeaderView* pHeader : {horizontalHeader(), verticalHeader()}) {
            pHeader->hide();
            pHeader->setHighlightSections(false);
            pHeader->setMinimumSectionSize(0);
        }

        connect(this, &QTableWidget::itemSelectionChanged, this, &ImageTableWidget::OnSelectionChanged);
        connect(m_cellEngine, &Model::ImageCellEngine::Sig_Removed, this, &ImageTableWidget::OnCellRemoved);
        connect(m_cellEngine, &Model::ImageCellEngine::Sig_Operation, this, &ImageTableWidget::OnCellOperation);
        connect(m_cellEngine, &Model::ImageCellEngine::Sig_ImagesReloaded, this, &ImageTableWidget::OnImagesReloaded);
        // Thumbnails arrive by the thousand: the table repaints and re-measures a few times a second.
        m_thumbnailTimer.setSingleShot(true);
        m_thumbnailTimer.setInterval(ThumbnailRefreshMs);
        connect(&m_thumbnailTimer, &QTimer::timeout, this, &ImageTableWidget::OnThumbnailsArrived);
        connect(m_cellEngine->GetThumbnailLoader(), &Model::ThumbnailLoader::Sig_CellLoaded, this, [this] {
            if (!m_thumbnailTimer.isActive())
                m_thumbnailTimer.start();
        });

        m_openAction = CreateAction(tr("&Open images"), QStringLiteral(":/res/Actions/ImageOpen.png"));
        connect(m_openAction, &QAction::triggered, this, &ImageTableWidget::OnOpenImage);
        m_reloadAction = CreateAction(tr("&Reload images"), QStringLiteral(":/res/Actions/ImageReload.png"));
        m_reloadAction->setShortcut(QKeySequence(QStringLiteral("F5")));
        connect(m_reloadAction, &QAction::triggered, this, &ImageTableWidget::OnReloadImage);
        return true;
    });
}

void ImageTableWidget::SetWindowActions(const QList<QAction*>& actions)
{
    m_windowActions = actions;
}

void ImageTableWidget::AddWindowAction(QMenu* pMenu, const QString& strObjectName) const
{
    auto it = std::find_if(m_windowActions.begin(), m_windowActions.end(),
                           [&](const QAction* pAction) { return pAction && pAction->objectName() == strObjectName; });
    if (it != m_windowActions.end())
        pMenu->addAction(*it);
}

QAction* ImageTableWidget::CreateAction(const QString& strText, const QString& strIcon)
{
    auto* pAction = new QAction(strIcon.isEmpty() ? QIcon() : QIcon(strIcon), strText, this);
    // Grid and tray both bind Delete: each shortcut must only fire in its own table.
    pAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(pAction);
    return pAction;
}

void ImageTableWidget::ReportError(const QString& strMessage)
{
    if (Core::TessaraCore::s_instance)
        Core::TessaraCore::s_instance->ReportError(strMessage, true);
}

void ImageTableWidget::SetCompactView(bool bCompact)
{
    GUARD_RUN([&] {
        m_compactView = bCompact;
        RecalculateTableSize();
    });
}

void ImageTableWidget::SetImageSize(int nSize)
{
    GUARD_RUN([&] {
        if (nSize == m_imageSize)
            return;
        m_imageSize = std::clamp(nSize, MinImageSize, MaxImageSize);
        RecalculateTableSize();
    });
}

ImageTableItem* ImageTableWidget::Item(int nRow, int nCol) const
{
    if (nRow < 0 || nCol < 0 || nRow >= rowCount() || nCol >= columnCount())
        return nullptr;
    return dynamic_cast<ImageTableItem*>(item(nRow, nCol));
}

ImageTableItem* ImageTableWidget::CreateItem(int nRow, int nCol)
{
    return GUARD_RUN([&] {
        auto* pItem =
            new ImageTableItem(this, m_tableType == TableGrid ? ImageTableItem::ItemGrid : ImageTableItem::ItemTray);
        setItem(nRow, nCol, pItem);
        return pItem;
    });
}

void ImageTableWidget::SetItemImageCell(ImageTableItem* pItem, Model::ImageCell* pCell)
{
    GUARD_RUN([&] {
        if (!pItem)
            return;
        pItem->SetCell(pCell);
        UpdateTableSize();
        // A bulk change repaints once, when its bracket closes.
        if (m_updatesDisabled == 0)
            viewport()->update();
        AnnounceTableChanged();
    });
}

QList<ImageTableItem*> ImageTableWidget::SelectedItems() const
{
    return GUARD_RUN([&] {
        QList<ImageTableItem*> items;
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                ImageTableItem* pItem = Item(r, c);
                if (pItem && pItem->isSelected())
                    items.append(pItem);
            }
        }
        return items;
    });
}

int ImageTableWidget::GetSelectedImagesCount() const
{
    const QList<ImageTableItem*> items = SelectedItems();
    return int(std::count_if(items.begin(), items.end(), [](const ImageTableItem* pItem) { return pItem->GetCell(); }));
}

ImageTableItem* ImageTableWidget::FindItem(const Model::ImageCell* pCell) const
{
    return GUARD_RUN([&]() -> ImageTableItem* {
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                ImageTableItem* pItem = Item(r, c);
                if (pItem && pItem->GetCell() == pCell)
                    return pItem;
            }
        }
        return nullptr;
    });
}

int ImageTableWidget::GetImageCount() const
{
    int nCount = 0;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            const ImageTableItem* pItem = Item(r, c);
            if (pItem && pItem->GetCell())
                ++nCount;
        }
    }
    return nCount;
}

QSize ImageTableWidget::GetAverageImageDimensions() const
{
    return GUARD_RUN([&] {
        QSize total(0, 0);
        int nCount = 0;
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                const ImageTableItem* pItem = Item(r, c);
                if (pItem && pItem->GetCell() && pItem->GetCell()->GetThumbnailSize().isValid()) {
                    total += m_delegate.GetRequiredItemSize(pItem, true);
                    ++nCount;
                }
            }
        }
        if (nCount == 0)
            return QSize(MinImageSize, MinImageSize);
        return QSize(total.width() / nCount, total.height() / nCount);
    });
}

QList<QStringList> ImageTableWidget::GetRowFilenames() const
{
    return GUARD_RUN([&] {
        QList<QStringList> rows;
        for (int r = 0; r < rowCount(); ++r) {
            QStringList names;
            for (int c = 0; c < columnCount(); ++c) {
                const ImageTableItem* pItem = Item(r, c);
                if (pItem && pItem->GetCell())
                    names.append(pItem->GetCell()->GetFilename());
                else if (pItem && pItem->IsKeepEmpty())
                    names.append(QLatin1String(Contract::kEmptyCellKeep));
                else
                    names.append(QLatin1String(Contract::kEmptyCellNone));
            }
            rows.append(names);
        }
        return rows;
    });
}

void ImageTableWidget::ClearImages()
{
    GUARD_RUN([&] {
        TableUpdateBlocker blocker(this);
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c)
                SetItemImageCell(Item(r, c), nullptr);
        }
        clearSelection();
    });
}

void ImageTableWidget::ClearItemDragHighlights()
{
    GUARD_RUN([&] {
        TableUpdateBlocker blocker(this);
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                if (ImageTableItem* pItem = Item(r, c))
                    pItem->SetDragHighlighted(false);
            }
        }
    });
}

void ImageTableWidget::DisableUpdates()
{
    ++m_updatesDisabled;
    setUpdatesEnabled(false);
}

void ImageTableWidget::EnableUpdates()
{
    if (m_updatesDisabled == 0)
        return;
    if (--m_updatesDisabled == 0) {
        if (m_tableSizeStale) {
            m_tableSizeStale = false;
            RecalculateTableSize();
        }
        setUpdatesEnabled(true);
        update();
        viewport()->update();
        if (m_changePending) {
            m_changePending = false;
            emit Sig_ImageTableChanged();
        }
    }
}

ImageTableWidget* ImageTableWidget::TableOf(QObject* pObject)
{
    if (auto* pTable = qobject_cast<ImageTableWidget*>(pObject))
        return pTable;
    return pObject ? qobject_cast<ImageTableWidget*>(pObject->parent()) : nullptr;
}

ImageTableWidget::DragType ImageTableWidget::DetermineDragType(QObject* pSource, QObject* pTarget)
{
    const ImageTableWidget* pSourceTable = TableOf(pSource);
    const ImageTableWidget* pTargetTable = TableOf(pTarget);
    if (!pSourceTable || !pTargetTable)
        return DragNone;
    const bool bFromGrid = pSourceTable->GetTableType() == TableGrid;
    const bool bToGrid = pTargetTable->GetTableType() == TableGrid;
    if (bFromGrid)
        return bToGrid ? DragGridToGrid : DragGridToTray;
    return bToGrid ? DragTrayToGrid : DragTrayToTray;
}

void ImageTableWidget::InitiateItemDrag(const QList<ImageTableItem*>& items)
{
    GUARD_RUN([&] {
        Model::ImageCellDrag cellDrag;
        for (const ImageTableItem* pItem : items) {
            Model::ImageCell* pCell = pItem->GetCell();
            // A thumbnail still being read, or out of memory for now, does not hold a cell back.
            if (pCell && pCell->GetLoadState() != Model::ImageCell::LoadState::Failed
                && !cellDrag.m_cells.contains(pCell))
                cellDrag.m_cells.append(pCell);
        }
        if (cellDrag.m_cells.isEmpty())
            return;

        QDrag* pDrag = cellDrag.CreateDragObject(this);
        // The drag runs its own event loop; the press that armed it is used up.
        m_dragStartPoint = QPoint(-1, -1);
        if (pDrag->exec(Qt::MoveAction) != Qt::MoveAction)
            return;

        QObject* pTarget = pDrag->target();
        ImageTableWidget* pTargetTable = TableOf(pTarget);
        TableUpdateBlocker blocker(this);
        std::optional<TableUpdateBlocker> targetBlocker;
        if (pTargetTable)
            targetBlocker.emplace(pTargetTable);
        Drop_CellsDragged(cellDrag.m_cells, qobject_cast<QWidget*>(pTarget), DetermineDragType(this, pTarget));
        clearSelection();
    });
}

void ImageTableWidget::OnSelectionChanged()
{
    GUARD_RUN([&] {
        const bool bHasImages = GetSelectedImagesCount() >= 1;
        m_openAction->setEnabled(bHasImages);
        m_reloadAction->setEnabled(bHasImages);
    });
}

void ImageTableWidget::OnOpenImage()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        for (const ImageTableItem* pItem : SelectedItems()) {
            if (pItem->GetCell())
                Misc::OpenWithDesktop(pItem->GetCell()->GetFilename());
        }
    });
}

void ImageTableWidget::OnReloadImage()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        for (const ImageTableItem* pItem : SelectedItems()) {
            Model::ImageCell* pCell = pItem->GetCell();
            if (!pCell || pCell->ReloadImage())
                continue;
            ReportError(tr("Errors occurred while reloading the image of cell %1, %2:\n\n%3")
                            .arg(pItem->row() + 1)
                            .arg(pItem->column() + 1)
                            .arg(Model::ImageCellEngine::GetLoadErrorText(pCell->GetFilename())));
        }
        // A reloaded image may have a new size.
        RecalculateTableSize();
    });
}

void ImageTableWidget::OnCellRemoved(Model::ImageCell* pCell)
{
    GUARD_RUN([&] {
        if (ImageTableItem* pItem = FindItem(pCell)) {
            pItem->SetCell(nullptr);
            viewport()->update();
        }
    });
}

void ImageTableWidget::OnCellOperation(bool bBegin)
{
    if (bBegin)
        DisableUpdates();
    else
        EnableUpdates();
}

void ImageTableWidget::OnThumbnailsArrived()
{
    GUARD_RUN([&] {
        // Measuring a large grid takes a while: at most once a second while more are coming.
        if (!m_cellEngine->GetThumbnailLoader()->IsBusy() || !m_lastMeasure.isValid()
            || m_lastMeasure.hasExpired(MeasureIntervalMs)) {
            UpdateTableSize();
            m_lastMeasure.start();
        }
        viewport()->update();
    });
}

// Turned thumbnails need other row heights and column widths.
void ImageTableWidget::OnImagesReloaded()
{
    UpdateTableSize();
    viewport()->update();
}

QList<ImageTableItem*> ImageTableWidget::GetDropDestinations(const QPoint& pos, int nCount) const
{
    QList<ImageTableItem*> destinations;
    const QTableWidgetItem* pStart = itemAt(pos);
    if (!pStart)
        return destinations;
    for (int r = pStart->row(); r < rowCount() && destinations.size() < nCount; ++r) {
        for (int c = (r == pStart->row() ? pStart->column() : 0); c < columnCount() && destinations.size() < nCount;
             ++c) {
            ImageTableItem* pItem = Item(r, c);
            if (pItem && !pItem->IsKeepEmpty())
                destinations.append(pItem);
        }
    }
    return destinations;
}

void ImageTableWidget::SwapCellsInto(const QList<Model::ImageCell*>& cells, const QList<ImageTableItem*>& destinations)
{
    for (int i = 0; i < cells.size() && i < destinations.size(); ++i) {
        ImageTableItem* pDestination = destinations[i];
        ImageTableItem* pFormerItem = FindItem(cells[i]);
        if (pFormerItem == pDestination)
            continue;
        Model::ImageCell* pDisplaced = pDestination->GetCell();
        PlaceDroppedCell(pDestination, cells[i]);
        if (pFormerItem)
            PlaceDroppedCell(pFormerItem, pDisplaced);
    }
}

void ImageTableWidget::PlaceDroppedCell(ImageTableItem* pItem, Model::ImageCell* pCell)
{
    SetItemImageCell(pItem, pCell);
}

void ImageTableWidget::Drop_UpdateHighlightedCells(const QList<Model::ImageCell*>& cells, const QPoint& pos,
                                                   bool bAcceptable, DragType dragType)
{
    GUARD_RUN([&] {
        TableUpdateBlocker blocker(this);
        ClearItemDragHighlights();
        if (!bAcceptable)
            return;
        for (ImageTableItem* pItem : GetDropDestinations(pos, int(cells.size())))
            pItem->SetDragHighlighted(true);
    });
}

void ImageTableWidget::Drop_CellsDragged(const QList<Model::ImageCell*>& cells, QWidget* pTarget, DragType dragType) {}

void ImageTableWidget::Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                                      DragType dragType)
{}

bool ImageTableWidget::Drop_TargetAcceptable(QWidget* pSource, const QPoint& pos) const
{
    return TableOf(pSource) != nullptr;
}

void ImageTableWidget::UpdateTableSize()
{
    if (m_updatesDisabled > 0)
        m_tableSizeStale = true;
    else
        RecalculateTableSize();
}

void ImageTableWidget::AnnounceTableChanged()
{
    if (m_updatesDisabled > 0)
        m_changePending = true;
    else
        emit Sig_ImageTableChanged();
}

void ImageTableWidget::RecalculateTableSize()
{
    GUARD_RUN([&] {
        TableUpdateBlocker blocker(this);
        const QSize emptyImageSize = m_delegate.GetEmptyImageSize();
        for (int r = 0; r < rowCount(); ++r) {
            int nHeight = 0;
            for (int c = 0; c < columnCount(); ++c) {
                if (const ImageTableItem* pItem = Item(r, c))
                    nHeight = std::max(nHeight, m_delegate.GetRequiredItemSize(pItem, false, &emptyImageSize).height());
            }
            setRowHeight(r, nHeight);
        }
        for (int c = 0; c < columnCount(); ++c) {
            int nWidth = 0;
            for (int r = 0; r < rowCount(); ++r) {
                if (const ImageTableItem* pItem = Item(r, c))
                    nWidth = std::max(nWidth, m_delegate.GetRequiredItemSize(pItem, false, &emptyImageSize).width());
            }
            setColumnWidth(c, nWidth);
        }
    });
}

bool ImageTableWidget::PrepareContextMenu(QMenu* pMenu)
{
    return false;
}

void ImageTableWidget::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && pEvent->modifiers() == Qt::NoModifier)
        m_dragStartPoint = pEvent->position().toPoint();
    QTableWidget::mousePressEvent(pEvent);
}

void ImageTableWidget::mouseReleaseEvent(QMouseEvent* pEvent)
{
    m_dragStartPoint = QPoint(-1, -1);
    QTableWidget::mouseReleaseEvent(pEvent);
}

void ImageTableWidget::mouseMoveEvent(QMouseEvent* pEvent)
{
    const bool bArmed = m_dragStartPoint.x() >= 0 && m_dragStartPoint.y() >= 0;
    if ((pEvent->buttons() & Qt::LeftButton) && pEvent->modifiers() == Qt::NoModifier && bArmed
        && itemAt(pEvent->position().toPoint()) && !selectedItems().isEmpty()) {
        InitiateItemDrag(SelectedItems());
        return;
    }
    QTableWidget::mouseMoveEvent(pEvent);
}

void ImageTableWidget::contextMenuEvent(QContextMenuEvent* pEvent)
{
    GUARD_RUN([&] {
        QMenu menu(this);
        if (!PrepareContextMenu(&menu)) {
            pEvent->ignore();
            return;
        }
        menu.exec(pEvent->globalPos());
        pEvent->accept();
    });
}

bool ImageTableWidget::HandleCellDragOver(QDragMoveEvent* pEvent)
{
    if (!pEvent->mimeData()->hasFormat(Model::ImageCellDrag::ImageCellMimeType))
        return false;
    const Model::ImageCellDrag cellDrag(pEvent->mimeData(), *m_cellEngine);
    auto* pSource = qobject_cast<QWidget*>(pEvent->source());
    const QPoint pos = pEvent->position().toPoint();
    const bool bAcceptable = Drop_TargetAcceptable(pSource, pos);
    // Accepted either way, so move events keep arriving while the pointer travels.
    pEvent->setDropAction(bAcceptable ? Qt::MoveAction : Qt::IgnoreAction);
    pEvent->accept();
    Drop_UpdateHighlightedCells(cellDrag.m_cells, pos, bAcceptable, DetermineDragType(pSource, this));
    return true;
}

void ImageTableWidget::dragEnterEvent(QDragEnterEvent* pEvent)
{
    GUARD_RUN([&] {
        if (!HandleCellDragOver(pEvent))
            QTableWidget::dragEnterEvent(pEvent);
    });
}

void ImageTableWidget::dragMoveEvent(QDragMoveEvent* pEvent)
{
    GUARD_RUN([&] {
        if (!HandleCellDragOver(pEvent))
            QTableWidget::dragMoveEvent(pEvent);
    });
}

void ImageTableWidget::dragLeaveEvent(QDragLeaveEvent* pEvent)
{
    GUARD_RUN([&] {
        ClearItemDragHighlights();
        QTableWidget::dragLeaveEvent(pEvent);
    });
}

QList<Model::ImageCell*> ImageTableWidget::CellsShownBy(const ImageTableWidget* pSourceTable,
                                                        const QMimeData* pMimeData) const
{
    Model::ImageCellDrag cellDrag(pMimeData, *m_cellEngine);
    if (!pSourceTable)
        return cellDrag.m_cells;
    const int nContainer = pSourceTable->GetTableType() == TableGrid ? Model::ImageCellEngine::CellBasket
                                                                     : Model::ImageCellEngine::CellTray;
    cellDrag.m_cells.removeIf(
        [&](Model::ImageCell* pCell) { return m_cellEngine->GetCellContainer(pCell) != nContainer; });
    return cellDrag.m_cells;
}

void ImageTableWidget::dropEvent(QDropEvent* pEvent)
{
    GUARD_RUN([&] {
        if (!pEvent->mimeData()->hasFormat(Model::ImageCellDrag::ImageCellMimeType)) {
            QTableWidget::dropEvent(pEvent);
            return;
        }
        auto* pSource = qobject_cast<QWidget*>(pEvent->source());
        const QPoint pos = pEvent->position().toPoint();
        if (!Drop_TargetAcceptable(pSource, pos)) {
            pEvent->ignore();
        } else {
            const QList<Model::ImageCell*> cells = CellsShownBy(TableOf(pSource), pEvent->mimeData());
            if (!cells.isEmpty()) {
                TableUpdateBlocker blocker(this);
                std::optional<TableUpdateBlocker> sourceBlocker;
                if (ImageTableWidget* pSourceTable = TableOf(pSource))
                    sourceBlocker.emplace(pSourceTable);
                Drop_DropCells(cells, pos, pSource, DetermineDragType(pSource, this));
            }
            pEvent->setDropAction(Qt::MoveAction);
            pEvent->accept();
        }
        ClearItemDragHighlights();
    });
}

bool ImageTableWidget::viewportEvent(QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ToolTip)
        return QTableWidget::viewportEvent(pEvent);
    return GUARD_RUN([&] {
        auto* pHelpEvent = static_cast<QHelpEvent*>(pEvent);
        if (auto* pItem = dynamic_cast<ImageTableItem*>(itemAt(pHelpEvent->pos()))) {
            // The tip stays while the pointer is over the item's rectangle (viewport coordinates).
            QToolTip::showText(pHelpEvent->globalPos(), pItem->GetToolTip(), viewport(), visualItemRect(pItem));
        } else {
            QToolTip::hideText();
            pEvent->ignore();
        }
        return true;
    });
}

TableUpdateBlocker::TableUpdateBlocker(ImageTableWidget* pTable) : m_table(pTable)
{
    m_table->DisableUpdates();
}

TableUpdateBlocker::~TableUpdateBlocker()
{
    m_table->EnableUpdates();
}

TableEditStep::TableEditStep(ImageTableWidget* pTable, const QString& strText) : m_table(pTable)
{
    m_table->BeginEdit(strText);
}

TableEditStep::~TableEditStep()
{
    m_table->EndEdit();
}
} // namespace UI::Controls
