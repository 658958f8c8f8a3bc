#include "ui/controls/ImageTray.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"
#include "model/ImageCellEngine.h"
#include "misc/NaturalOrder.h"
#include "misc/WaitCursor.h"
#include "ui/controls/ImageTableItem.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>

namespace UI::Controls {
ImageTray::ImageTray(QWidget* pParent) : ImageTableWidget(pParent) {}

bool ImageTray::InitImageTray(Model::ImageCellEngine* pEngine)
{
    return GUARD_RUN([&] {
        if (!InitImageTable(TableTray, pEngine))
            return false;
        setRowCount(1);
        setColumnCount(0);
        // The one row is always shown whole; the wheel scrolls sideways.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(pEngine, &Model::ImageCellEngine::Sig_MovedToTray, this, &ImageTray::OnMovedToTray);
        connect(pEngine, &Model::ImageCellEngine::Sig_MovedToBasket, this, &ImageTray::OnMovedToBasket);
        connect(pEngine, &Model::ImageCellEngine::Sig_TrayCleared, this, &ImageTray::OnTrayCleared);

        m_removeAction = CreateAction(tr("&Remove images"), QStringLiteral(":/res/Actions/ImageRemove.png"));
        m_removeAction->setShortcut(QKeySequence::Delete);
        connect(m_removeAction, &QAction::triggered, this, &ImageTray::OnRemoveImages);

        OnSelectionChanged();
        RecalculateTableSize();
        return true;
    });
}

void ImageTray::AddImageCell(Model::ImageCell* pCell)
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const int nCol = columnCount();
        setColumnCount(nCol + 1);
        SetItemImageCell(CreateItem(0, nCol), pCell);
    });
}

void ImageTray::RemoveImageCell(Model::ImageCell* pCell)
{
    GUARD_RUN([&] {
        // Asked for every cell a project places in the grid: a cell that is not here costs nothing,
        // not even a cursor change, which goes to the display server each time.
        ImageTableItem* pItem = FindItem(pCell);
        if (!pItem)
            return;
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        pItem->SetCell(nullptr);
        removeColumn(pItem->column());
        UpdateTableSize();
        AnnounceTableChanged();
    });
}

void ImageTray::OnMovedToTray(Model::ImageCell* pCell)
{
    AddImageCell(pCell);
}

void ImageTray::OnMovedToBasket(Model::ImageCell* pCell)
{
    RemoveImageCell(pCell);
}

void ImageTray::OnTrayCleared()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        setColumnCount(0);
        RecalculateTableSize();
        AnnounceTableChanged();
    });
}

void ImageTray::OnRemoveImages()
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Remove images"));
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        QList<Model::ImageCell*> cells;
        for (const ImageTableItem* pItem : SelectedItems()) {
            if (pItem->GetCell())
                cells.append(pItem->GetCell());
        }
        for (Model::ImageCell* pCell : cells)
            RemoveImageCell(pCell);
    });
}

void ImageTray::OnSelectionChanged()
{
    GUARD_RUN([&] {
        m_removeAction->setEnabled(!SelectedItems().isEmpty());
        ImageTableWidget::OnSelectionChanged();
    });
}

void ImageTray::RecalculateTableSize()
{
    GUARD_RUN([&] {
        TableUpdateBlocker blocker(this);
        ImageTableWidget::RecalculateTableSize();
        // Room for the scroll bar is kept whenever the tray holds images: whether it shows depends on
        // the tray's width, which the user changes at any time without the row being measured again.
        int nHeight = EmptyTrayHeight;
        if (columnCount() > 0)
            nHeight = rowHeight(0) + horizontalScrollBar()->sizeHint().height();
        // The frame is part of the widget too; without it the row would be clipped.
        setMinimumHeight(nHeight + 2 * frameWidth());
    });
}

void ImageTray::paintEvent(QPaintEvent* pEvent)
{
    ImageTableWidget::paintEvent(pEvent);
    if (columnCount() > 0)
        return;
    GUARD_RUN([&] {
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(QRect(QPoint(0, 0), size()), Qt::AlignCenter, tr("The image tray is empty"));
    });
}

void ImageTray::wheelEvent(QWheelEvent* pEvent)
{
    const QPoint angle = pEvent->angleDelta();
    if (angle.y() == 0 || angle.x() != 0) {
        ImageTableWidget::wheelEvent(pEvent);
        return;
    }
    // One row only: the wheel scrolls it sideways.
    QWheelEvent sideways(pEvent->position(), pEvent->globalPosition(), pEvent->pixelDelta().transposed(),
                         angle.transposed(), pEvent->buttons(), pEvent->modifiers(), pEvent->phase(),
                         pEvent->inverted(), pEvent->source());
    ImageTableWidget::wheelEvent(&sideways);
    pEvent->setAccepted(sideways.isAccepted());
}

bool ImageTray::HandleFileDrag(QDragMoveEvent* pEvent)
{
    if (!pEvent->mimeData()->hasUrls())
        return false;
    pEvent->setDropAction(Qt::CopyAction);
    pEvent->accept();
    return true;
}

void ImageTray::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!HandleFileDrag(pEvent))
        ImageTableWidget::dragEnterEvent(pEvent);
}

void ImageTray::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (!HandleFileDrag(pEvent))
        ImageTableWidget::dragMoveEvent(pEvent);
}

bool ImageTray::HandleFileDrop(QDropEvent* pEvent)
{
    if (!pEvent->mimeData()->hasUrls())
        return false;
    QStringList files;
    for (const QUrl& url : pEvent->mimeData()->urls())
        files.append(url.toLocalFile());
    if (!files.isEmpty()) {
        TableEditStep step(this, tr("Add images"));
        if (!GetCellEngine()->CreateCells(Misc::SortedNaturally(files), -1, -1)) {
            ReportError(
                tr("Errors occurred while adding the images to the tray:\n\n%1").arg(GetCellEngine()->GetLastError()));
        }
    }
    pEvent->setDropAction(Qt::CopyAction);
    pEvent->accept();
    return true;
}

void ImageTray::dropEvent(QDropEvent* pEvent)
{
    GUARD_RUN([&] {
        if (!HandleFileDrop(pEvent))
            ImageTableWidget::dropEvent(pEvent);
    });
}

void ImageTray::Drop_UpdateHighlightedCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, bool bAcceptable,
                                            DragType dragType)
{
    // Grid cells are always appended at the end, so no position is marked for them.
    if (dragType == DragGridToTray)
        ClearItemDragHighlights();
    else
        ImageTableWidget::Drop_UpdateHighlightedCells(cells, pos, bAcceptable, dragType);
}

void ImageTray::Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                               DragType dragType)
{
    GUARD_RUN([&] {
        TableEditStep step(this, dragType == DragGridToTray ? tr("Move to tray") : tr("Reorder tray"));
        if (dragType == DragGridToTray) {
            for (Model::ImageCell* pCell : cells)
                GetCellEngine()->MoveToTray(pCell);
        } else if (dragType == DragTrayToTray && itemAt(pos)) {
            SwapCellsInto(cells, GetDropDestinations(pos, int(cells.size())));
        }
    });
}

bool ImageTray::PrepareContextMenu(QMenu* pMenu)
{
    return GUARD_RUN([&] {
        pMenu->addAction(GetOpenAction());
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actTrayAddImages"));
        pMenu->addSeparator();
        pMenu->addAction(GetReloadAction());
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actTrayClearImages"));
        pMenu->addAction(m_removeAction);
        return true;
    });
}
} // namespace UI::Controls
