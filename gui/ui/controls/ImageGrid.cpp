#include "ui/controls/ImageGrid.h"

#include "core/Guard.h"
#include "engine/ImageCell.h"
#include "engine/ImageCellEngine.h"
#include "misc/ImgUtils.h"
#include "misc/WaitCursor.h"
#include "ui/UIUtils.h"
#include "ui/controls/ImageTableItem.h"

#include "TessaraContract.h"

#include <QAction>
#include <QMenu>

namespace UI::Controls {
ImageGrid::ImageGrid(QWidget* pParent) : ImageTableWidget(pParent) {}

bool ImageGrid::InitImageGrid(Engine::ImageCellEngine* pEngine)
{
    return GUARD_RUN([&] {
        if (!InitImageTable(TableGrid, pEngine))
            return false;
        connect(pEngine, &Engine::ImageCellEngine::Sig_MovedToTray, this, &ImageGrid::OnMovedToTray);
        connect(pEngine, &Engine::ImageCellEngine::Sig_BasketCleared, this, &ImageGrid::OnBasketCleared);
        connect(this, &QTableWidget::cellDoubleClicked, this, &ImageGrid::OnItemDoubleClicked);

        m_pActSelect = CreateAction(tr("&Select images..."), QStringLiteral(":/res/Actions/GridSelectImage.png"));
        connect(m_pActSelect, &QAction::triggered, this, &ImageGrid::OnSelectImage);
        m_pActKeepEmpty = CreateAction(tr("&Keep empty"), QString());
        m_pActKeepEmpty->setCheckable(true);
        connect(m_pActKeepEmpty, &QAction::triggered, this, &ImageGrid::OnKeepEmpty);
        m_pActMoveToTray = CreateAction(tr("Move to &tray"), QStringLiteral(":/res/Actions/GridMoveToTray.png"));
        m_pActMoveToTray->setShortcut(QKeySequence(tr("Ctrl+T")));
        connect(m_pActMoveToTray, &QAction::triggered, this, &ImageGrid::OnMoveToTray);
        m_pActClear = CreateAction(tr("&Clear images"), QStringLiteral(":/res/Actions/GridClearCell.png"));
        m_pActClear->setShortcut(QKeySequence::Delete);
        connect(m_pActClear, &QAction::triggered, this, &ImageGrid::OnClearImages);

        OnSelectionChanged();
        return true;
    });
}

bool ImageGrid::Resize(int nRows, int nCols, bool bPopulate)
{
    return GUARD_RUN([&] {
        WaitCursor waitCursor;
        if (nRows < 1 || nCols < 1)
            return false;
        {
            TableUpdateBlocker blocker(this);
            setRowCount(0);
            setColumnCount(0);
            setRowCount(nRows);
            setColumnCount(nCols);
            for (int r = 0; r < nRows; ++r) {
                for (int c = 0; c < nCols; ++c) {
                    if (!CreateItem(r, c))
                        return false;
                }
            }
            RecalculateTableSize();
        }
        if (bPopulate)
            PopulateEntireGrid();
        return true;
    });
}

void ImageGrid::PopulateEntireGrid()
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        // One pass over the basket instead of a search per position, which made large grids
        // quadratic. Walked backwards so that, as with GetCell, the first cell at a position wins.
        const int nRows = rowCount(), nCols = columnCount();
        QList<Engine::ImageCell*> positions(qsizetype(nRows) * nCols, nullptr);
        Engine::ImageCellEngine* pEngine = GetCellEngine();
        for (int i = pEngine->GetCellCount(Engine::ImageCellEngine::CellBasket) - 1; i >= 0; --i) {
            Engine::ImageCell* pCell = pEngine->GetCell(Engine::ImageCellEngine::CellBasket, i);
            const int nRow = pCell->GetGridRow(), nCol = pCell->GetGridCol();
            if (nRow >= 0 && nRow < nRows && nCol >= 0 && nCol < nCols)
                positions[qsizetype(nRow) * nCols + nCol] = pCell;
        }
        for (int r = 0; r < nRows; ++r) {
            for (int c = 0; c < nCols; ++c)
                SetItemImageCell(Item(r, c), positions[qsizetype(r) * nCols + c]);
        }
        pEngine->MoveToTray(nRows - 1, nCols - 1);
    });
}

void ImageGrid::FlipItems(int nRow1, int nCol1, int nRow2, int nCol2)
{
    GUARD_RUN([&] {
        ImageTableItem* pItem1 = Item(nRow1, nCol1);
        ImageTableItem* pItem2 = Item(nRow2, nCol2);
        if (!pItem1 || !pItem2)
            return;
        Engine::ImageCell* pCell1 = pItem1->GetCell();
        Engine::ImageCell* pCell2 = pItem2->GetCell();
        pItem2->UpdateCellGridLocation(pCell1);
        pItem1->UpdateCellGridLocation(pCell2);
        SetItemImageCell(pItem1, pCell2);
        SetItemImageCell(pItem2, pCell1);
        const bool bKeepEmpty1 = pItem1->IsKeepEmpty();
        pItem1->SetKeepEmpty(pItem2->IsKeepEmpty());
        pItem2->SetKeepEmpty(bKeepEmpty1);
    });
}

void ImageGrid::FlipVertically()
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const int nCols = columnCount();
        for (int c = 0; c < nCols / 2; ++c) {
            for (int r = 0; r < rowCount(); ++r)
                FlipItems(r, c, r, nCols - 1 - c);
        }
    });
}

void ImageGrid::FlipHorizontally()
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const int nRows = rowCount();
        for (int r = 0; r < nRows / 2; ++r) {
            for (int c = 0; c < columnCount(); ++c)
                FlipItems(r, c, nRows - 1 - r, c);
        }
    });
}

void ImageGrid::SetKeepEmptyCells(const QList<QStringList>& rows)
{
    GUARD_RUN([&] {
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                if (ImageTableItem* pItem = Item(r, c))
                    pItem->SetKeepEmpty(rows[r][c].compare(QLatin1String(Contract::kEmptyCellKeep), Qt::CaseInsensitive)
                                        == 0);
            }
        }
        viewport()->update();
    });
}

int ImageGrid::GetSelectedKeepEmptyCount() const
{
    const QList<ImageTableItem*> items = SelectedItems();
    return int(
        std::count_if(items.begin(), items.end(), [](const ImageTableItem* pItem) { return pItem->IsKeepEmpty(); }));
}

void ImageGrid::SelectImageForItem(ImageTableItem* pItem)
{
    GUARD_RUN([&] {
        if (!pItem)
            return;
        const int nRow = pItem->row(), nCol = pItem->column();
        const QString strFile = UIUtils::GetOpenFileName(
            this, tr("Select the input image for cell %1, %2").arg(nRow + 1).arg(nCol + 1),
            ImgUtils::GetCommonImageFormatFilter(false) + QStringLiteral(";;") + tr("All files (*.*)"));
        if (strFile.isEmpty())
            return;

        TableEditStep step(this, tr("Select image"));
        TableUpdateBlocker blocker(this);
        // The new cell is made first, so a file that cannot be loaded keeps the image already there.
        Engine::ImageCell* pOldCell = pItem->GetCell();
        Engine::ImageCell* pNewCell = GetCellEngine()->CreateCell(strFile, nRow, nCol);
        if (!pNewCell) {
            ReportError(tr("Errors occurred while assigning the image to cell %1, %2:\n\n%3")
                            .arg(nRow + 1)
                            .arg(nCol + 1)
                            .arg(Engine::ImageCellEngine::GetLoadErrorText(strFile)));
            return;
        }
        GetCellEngine()->Remove(pOldCell);
        SetItemImageCell(pItem, pNewCell);
    });
}

QList<Engine::ImageCell*> ImageGrid::SelectedCells() const
{
    QList<Engine::ImageCell*> cells;
    for (const ImageTableItem* pItem : SelectedItems()) {
        if (pItem->GetCell())
            cells.append(pItem->GetCell());
    }
    return cells;
}

void ImageGrid::OnSelectImage()
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        for (ImageTableItem* pItem : SelectedItems())
            SelectImageForItem(pItem);
    });
}

void ImageGrid::OnKeepEmpty(bool bChecked)
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Keep empty"));
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        for (ImageTableItem* pItem : SelectedItems()) {
            if (bChecked) {
                GetCellEngine()->MoveToTray(pItem->GetCell());
                SetItemImageCell(pItem, nullptr);
            }
            pItem->SetKeepEmpty(bChecked);
        }
        OnSelectionChanged();
    });
}

void ImageGrid::OnMoveToTray()
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Move to tray"));
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        for (Engine::ImageCell* pCell : SelectedCells())
            GetCellEngine()->MoveToTray(pCell);
    });
}

void ImageGrid::OnMovedToTray(Engine::ImageCell* pCell)
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        if (ImageTableItem* pItem = FindItem(pCell))
            SetItemImageCell(pItem, nullptr);
    });
}

void ImageGrid::OnClearImages()
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Clear cells"));
        WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const QList<Engine::ImageCell*> cells = SelectedCells();
        for (Engine::ImageCell* pCell : cells)
            GetCellEngine()->Remove(pCell);
        // The items forget removed cells silently; the window's counts and commands must still follow.
        if (!cells.isEmpty())
            AnnounceTableChanged();
    });
}

void ImageGrid::OnBasketCleared()
{
    GUARD_RUN([&] {
        WaitCursor waitCursor;
        ClearImages();
    });
}

void ImageGrid::OnItemDoubleClicked(int nRow, int nCol)
{
    GUARD_RUN([&] { SelectImageForItem(Item(nRow, nCol)); });
}

void ImageGrid::OnSelectionChanged()
{
    GUARD_RUN([&] {
        const int nSelected = int(SelectedItems().size());
        const int nImages = GetSelectedImagesCount();
        const int nKeepEmpty = GetSelectedKeepEmptyCount();
        m_pActSelect->setEnabled(nSelected >= 1);
        m_pActKeepEmpty->setEnabled(nSelected >= 1);
        m_pActMoveToTray->setEnabled(nImages >= 1);
        m_pActClear->setEnabled(nImages >= 1);
        m_pActKeepEmpty->setChecked(nSelected >= 1 && nKeepEmpty == nSelected);
        ImageTableWidget::OnSelectionChanged();
    });
}

bool ImageGrid::PrepareContextMenu(QMenu* pMenu)
{
    return GUARD_RUN([&] {
        pMenu->addAction(m_pActSelect);
        pMenu->addAction(GetOpenAction());
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridCompound"));
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridCreate"));
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridFlipHorz"));
        AddWindowAction(pMenu, QStringLiteral("actGridFlipVert"));
        pMenu->addSeparator();
        pMenu->addAction(m_pActKeepEmpty);
        pMenu->addSeparator();
        pMenu->addAction(GetReloadAction());
        pMenu->addSeparator();
        pMenu->addAction(m_pActMoveToTray);
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridClearImages"));
        pMenu->addAction(m_pActClear);
        pMenu->setDefaultAction(m_pActSelect);
        return true;
    });
}

bool ImageGrid::Drop_TargetAcceptable(QWidget* pSource, const QPoint& pos) const
{
    return TableOf(pSource) && itemAt(pos);
}

void ImageGrid::PlaceDroppedCell(ImageTableItem* pItem, Engine::ImageCell* pCell)
{
    if (pCell)
        GetCellEngine()->MoveToBasket(pCell, pItem->row(), pItem->column());
    SetItemImageCell(pItem, pCell);
}

void ImageGrid::Drop_DropCells(const QList<Engine::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
                               DragType dragType)
{
    GUARD_RUN([&] {
        if (!itemAt(pos) || (dragType != DragTrayToGrid && dragType != DragGridToGrid))
            return;
        const QList<ImageTableItem*> destinations = GetDropDestinations(pos, int(cells.size()));
        TableEditStep step(this, dragType == DragGridToGrid ? tr("Swap cells") : tr("Move to grid"));
        if (dragType == DragGridToGrid) {
            SwapCellsInto(cells, destinations);
            return;
        }
        for (int i = 0; i < destinations.size(); ++i) {
            // A displaced grid cell goes to the tray, which empties its item through the engine's signal.
            GetCellEngine()->MoveToTray(destinations[i]->GetCell());
            PlaceDroppedCell(destinations[i], cells[i]);
        }
    });
}
} // namespace UI::Controls
