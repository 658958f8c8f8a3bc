#include "ui/controls/GridTable.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"
#include "model/ImageCellEngine.h"
#include "misc/ImgUtils.h"
#include "misc/WaitCursor.h"
#include "misc/UIUtils.h"
#include "ui/controls/ImageTableItem.h"

#include "TessaraContract.h"

#include <QAction>
#include <QMenu>

namespace UI::Controls {
GridTable::GridTable(QWidget* pParent) : ImageTableWidget(pParent) {}

bool GridTable::InitGridTable(Model::ImageCellEngine* pEngine)
{
    return GUARD_RUN([&] {
        if (!InitImageTable(TableGrid, pEngine))
            return false;
        connect(pEngine, &Model::ImageCellEngine::Sig_MovedToTray, this, &GridTable::OnMovedToTray);
        connect(pEngine, &Model::ImageCellEngine::Sig_BasketCleared, this, &GridTable::OnBasketCleared);
        connect(this, &QTableWidget::cellDoubleClicked, this, &GridTable::OnItemDoubleClicked);

        m_selectAction = CreateAction(tr("&Select images..."), QStringLiteral(":/res/Actions/GridSelectImage.png"));
        connect(m_selectAction, &QAction::triggered, this, &GridTable::OnSelectImage);
        m_keepEmptyAction = CreateAction(tr("&Keep empty"), QString());
        m_keepEmptyAction->setCheckable(true);
        connect(m_keepEmptyAction, &QAction::triggered, this, &GridTable::OnKeepEmpty);
        m_moveToTrayAction = CreateAction(tr("Move to &tray"), QStringLiteral(":/res/Actions/GridMoveToTray.png"));
        m_moveToTrayAction->setShortcut(QKeySequence(tr("Ctrl+T")));
        connect(m_moveToTrayAction, &QAction::triggered, this, &GridTable::OnMoveToTray);
        m_clearAction = CreateAction(tr("&Clear images"), QStringLiteral(":/res/Actions/GridClearCell.png"));
        m_clearAction->setShortcut(QKeySequence::Delete);
        connect(m_clearAction, &QAction::triggered, this, &GridTable::OnClearImages);

        OnSelectionChanged();
        return true;
    });
}

bool GridTable::Resize(int nRows, int nCols, bool bPopulate)
{
    return GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
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

void GridTable::PopulateEntireGrid()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        // One pass over the basket instead of a search per position, which made large grids
        // quadratic. Walked backwards so that, as with GetCell, the first cell at a position wins.
        const int nRows = rowCount(), nCols = columnCount();
        QList<Model::ImageCell*> positions(qsizetype(nRows) * nCols, nullptr);
        Model::ImageCellEngine* pEngine = GetCellEngine();
        for (int i = pEngine->GetCellCount(Model::ImageCellEngine::CellBasket) - 1; i >= 0; --i) {
            Model::ImageCell* pCell = pEngine->GetCell(Model::ImageCellEngine::CellBasket, i);
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

void GridTable::FlipItems(int nRow1, int nCol1, int nRow2, int nCol2)
{
    GUARD_RUN([&] {
        ImageTableItem* pItem1 = Item(nRow1, nCol1);
        ImageTableItem* pItem2 = Item(nRow2, nCol2);
        if (!pItem1 || !pItem2)
            return;
        Model::ImageCell* pCell1 = pItem1->GetCell();
        Model::ImageCell* pCell2 = pItem2->GetCell();
        pItem2->UpdateCellGridLocation(pCell1);
        pItem1->UpdateCellGridLocation(pCell2);
        SetItemImageCell(pItem1, pCell2);
        SetItemImageCell(pItem2, pCell1);
        const bool bKeepEmpty1 = pItem1->IsKeepEmpty();
        pItem1->SetKeepEmpty(pItem2->IsKeepEmpty());
        pItem2->SetKeepEmpty(bKeepEmpty1);
    });
}

void GridTable::FlipVertically()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const int nCols = columnCount();
        for (int c = 0; c < nCols / 2; ++c) {
            for (int r = 0; r < rowCount(); ++r)
                FlipItems(r, c, r, nCols - 1 - c);
        }
    });
}

void GridTable::FlipHorizontally()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const int nRows = rowCount();
        for (int r = 0; r < nRows / 2; ++r) {
            for (int c = 0; c < columnCount(); ++c)
                FlipItems(r, c, nRows - 1 - r, c);
        }
    });
}

void GridTable::SetKeepEmptyCells(const QList<QStringList>& rows)
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

int GridTable::GetSelectedKeepEmptyCount() const
{
    const QList<ImageTableItem*> items = SelectedItems();
    return int(
        std::count_if(items.begin(), items.end(), [](const ImageTableItem* pItem) { return pItem->IsKeepEmpty(); }));
}

void GridTable::SelectImageForItem(ImageTableItem* pItem)
{
    GUARD_RUN([&] {
        if (!pItem)
            return;
        const int nRow = pItem->row(), nCol = pItem->column();
        const QString strFile = Misc::GetOpenFileName(
            this, tr("Select the input image for cell %1, %2").arg(nRow + 1).arg(nCol + 1),
            Misc::GetCommonImageFormatFilter(false) + QStringLiteral(";;") + tr("All files (*.*)"));
        if (strFile.isEmpty())
            return;

        TableEditStep step(this, tr("Select image"));
        TableUpdateBlocker blocker(this);
        // The new cell is made first, so a file that cannot be loaded keeps the image already there.
        Model::ImageCell* pOldCell = pItem->GetCell();
        Model::ImageCell* pNewCell = GetCellEngine()->CreateCell(strFile, nRow, nCol);
        if (!pNewCell) {
            ReportError(tr("Errors occurred while assigning the image to cell %1, %2:\n\n%3")
                            .arg(nRow + 1)
                            .arg(nCol + 1)
                            .arg(Model::ImageCellEngine::GetLoadErrorText(strFile)));
            return;
        }
        GetCellEngine()->Remove(pOldCell);
        SetItemImageCell(pItem, pNewCell);
    });
}

QList<Model::ImageCell*> GridTable::SelectedCells() const
{
    QList<Model::ImageCell*> cells;
    for (const ImageTableItem* pItem : SelectedItems()) {
        if (pItem->GetCell())
            cells.append(pItem->GetCell());
    }
    return cells;
}

void GridTable::OnSelectImage()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        for (ImageTableItem* pItem : SelectedItems())
            SelectImageForItem(pItem);
    });
}

void GridTable::OnKeepEmpty(bool bChecked)
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Keep empty"));
        Misc::WaitCursor waitCursor;
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

void GridTable::OnMoveToTray()
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Move to tray"));
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        for (Model::ImageCell* pCell : SelectedCells())
            GetCellEngine()->MoveToTray(pCell);
    });
}

void GridTable::OnMovedToTray(Model::ImageCell* pCell)
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        if (ImageTableItem* pItem = FindItem(pCell))
            SetItemImageCell(pItem, nullptr);
    });
}

void GridTable::OnClearImages()
{
    GUARD_RUN([&] {
        TableEditStep step(this, tr("Clear cells"));
        Misc::WaitCursor waitCursor;
        TableUpdateBlocker blocker(this);
        const QList<Model::ImageCell*> cells = SelectedCells();
        for (Model::ImageCell* pCell : cells)
            GetCellEngine()->Remove(pCell);
        // The items forget removed cells silently; the window's counts and commands must still follow.
        if (!cells.isEmpty())
            AnnounceTableChanged();
    });
}

void GridTable::OnBasketCleared()
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        ClearImages();
    });
}

void GridTable::OnItemDoubleClicked(int nRow, int nCol)
{
    GUARD_RUN([&] { SelectImageForItem(Item(nRow, nCol)); });
}

void GridTable::OnSelectionChanged()
{
    GUARD_RUN([&] {
        const int nSelected = int(SelectedItems().size());
        const int nImages = GetSelectedImagesCount();
        const int nKeepEmpty = GetSelectedKeepEmptyCount();
        m_selectAction->setEnabled(nSelected >= 1);
        m_keepEmptyAction->setEnabled(nSelected >= 1);
        m_moveToTrayAction->setEnabled(nImages >= 1);
        m_clearAction->setEnabled(nImages >= 1);
        m_keepEmptyAction->setChecked(nSelected >= 1 && nKeepEmpty == nSelected);
        ImageTableWidget::OnSelectionChanged();
    });
}

bool GridTable::PrepareContextMenu(QMenu* pMenu)
{
    return GUARD_RUN([&] {
        pMenu->addAction(m_selectAction);
        pMenu->addAction(GetOpenAction());
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridCompound"));
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridCreate"));
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridFlipHorz"));
        AddWindowAction(pMenu, QStringLiteral("actGridFlipVert"));
        pMenu->addSeparator();
        pMenu->addAction(m_keepEmptyAction);
        pMenu->addSeparator();
        pMenu->addAction(GetReloadAction());
        pMenu->addSeparator();
        pMenu->addAction(m_moveToTrayAction);
        pMenu->addSeparator();
        AddWindowAction(pMenu, QStringLiteral("actGridClearImages"));
        pMenu->addAction(m_clearAction);
        pMenu->setDefaultAction(m_selectAction);
        return true;
    });
}

bool GridTable::Drop_TargetAcceptable(QWidget* pSource, const QPoint& pos) const
{
    return TableOf(pSource) && itemAt(pos);
}

void GridTable::PlaceDroppedCell(ImageTableItem* pItem, Model::ImageCell* pCell)
{
    if (pCell)
        GetCellEngine()->MoveToBasket(pCell, pItem->row(), pItem->column());
    SetItemImageCell(pItem, pCell);
}

void GridTable::Drop_DropCells(const QList<Model::ImageCell*>& cells, const QPoint& pos, QWidget* pSource,
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
