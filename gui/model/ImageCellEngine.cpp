#include "model/ImageCellEngine.h"

#include "misc/Guard.h"
#include "model/ImageCell.h"
#include "model/ThumbnailLoader.h"
#include "misc/FileUtils.h"

#include "TessaraContract.h"

#include <algorithm>
#include <utility>

namespace Model {
ImageCellEngine::ImageCellEngine(QObject* pParent) : QObject(pParent), m_loader(new ThumbnailLoader(this)) {}

ImageCellEngine::~ImageCellEngine()
{
    ClearBasket();
    ClearTray();
    DestroyRemovedCells();
}

ImageCell* ImageCellEngine::CreateCell(const QString& strFileName, int nRow, int nCol)
{
    return CreateCell(strFileName, nRow, nCol, true);
}

ImageCell* ImageCellEngine::CreateCell(const QString& strFileName, int nRow, int nCol, bool bReadNow)
{
    return GUARD_RUN([&]() -> ImageCell* {
        ImageCell* pCell = TakeRemovedCell(strFileName);
        if (!pCell) {
            pCell = new ImageCell();
            pCell->SetAutoOrient(m_autoOrient);
            if (!(bReadNow ? pCell->AssignImage(strFileName) : pCell->AssignFile(strFileName))) {
                delete pCell;
                if (!m_lastError.isEmpty())
                    m_lastError += QLatin1Char('\n');
                m_lastError += GetLoadErrorText(strFileName);
                return nullptr;
            }
        }
        AdoptNewCell(pCell, nRow, nCol);
        if (pCell->NeedsThumbnail())
            m_loader->Request(pCell, false);
        return pCell;
    });
}

// Places a cell that is in neither container, without the membership searches of MoveToBasket and
// MoveToTray: they are linear in the container and made opening a large project quadratic.
void ImageCellEngine::AdoptNewCell(ImageCell* pCell, int nRow, int nCol)
{
    if (nRow >= 0 && nCol >= 0) {
        pCell->SetGridLocation(nRow, nCol);
        m_basket.append(pCell);
        emit Sig_MovedToBasket(pCell);
    } else {
        pCell->SetGridLocation(-1, -1);
        m_tray.append(pCell);
        emit Sig_MovedToTray(pCell);
    }
}

bool ImageCellEngine::IsEmptyCellWord(const QString& strEntry)
{
    return strEntry.compare(QLatin1String(Contract::kEmptyCellNone), Qt::CaseInsensitive) == 0
           || strEntry.compare(QLatin1String(Contract::kEmptyCellKeep), Qt::CaseInsensitive) == 0;
}

QString ImageCellEngine::GetLoadErrorText(const QString& strFileName)
{
    if (Misc::IsSpecialFile(strFileName))
        return tr("The file '%1' is not a regular file and was not read").arg(strFileName);
    return tr("The image file '%1' couldn't be loaded or doesn't exist").arg(strFileName);
}

bool ImageCellEngine::CreateCells(const QStringList& files, int nRows, int nCols)
{
    return GUARD_RUN([&] {
        emit Sig_Operation(true);
        m_lastError.clear();
        // A grid without rows or columns holds nothing: everything goes to the tray.
        bool bFitsGrid = nRows >= 1 && nCols >= 1;
        bool bResult = true;
        for (int i = 0; i < files.size(); ++i) {
            int nRow = -1, nCol = -1;
            if (bFitsGrid) {
                nRow = i / nCols;
                nCol = i % nCols;
                bFitsGrid = nRow < nRows;
                if (!bFitsGrid)
                    nRow = nCol = -1;
            }
            if (!CreateCell(files[i], nRow, nCol, false))
                bResult = false;
        }
        emit Sig_Operation(false);
        return bResult;
    });
}

bool ImageCellEngine::CreateCells(const QList<QStringList>& rows)
{
    return GUARD_RUN([&] {
        emit Sig_Operation(true);
        m_lastError.clear();
        bool bResult = true;
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                if (!IsEmptyCellWord(rows[r][c]) && !CreateCell(rows[r][c], r, c, false))
                    bResult = false;
            }
        }
        emit Sig_Operation(false);
        return bResult;
    });
}

void ImageCellEngine::MoveToBasket(ImageCell* pCell, int nRow, int nCol)
{
    GUARD_RUN([&] {
        if (!pCell)
            return;
        pCell->SetGridLocation(nRow, nCol);
        if (m_basket.contains(pCell))
            return;
        m_tray.removeOne(pCell);
        m_basket.append(pCell);
        emit Sig_MovedToBasket(pCell);
    });
}

void ImageCellEngine::MoveToTray(ImageCell* pCell)
{
    GUARD_RUN([&] {
        if (!pCell)
            return;
        pCell->SetGridLocation(-1, -1);
        if (m_tray.contains(pCell))
            return;
        m_basket.removeOne(pCell);
        m_tray.append(pCell);
        emit Sig_MovedToTray(pCell);
    });
}

void ImageCellEngine::MoveToTray(int nLastRow, int nLastCol)
{
    GUARD_RUN([&] {
        // Backwards, so removing a cell never shifts the ones still to visit.
        for (int i = m_basket.size() - 1; i >= 0; --i) {
            ImageCell* pCell = m_basket[i];
            if (pCell->GetGridRow() > nLastRow || pCell->GetGridCol() > nLastCol)
                MoveToTray(pCell);
        }
    });
}

void ImageCellEngine::Remove(ImageCell* pCell)
{
    GUARD_RUN([&] {
        // Only cells this engine owns are destroyed; anything else is not ours to delete.
        QList<ImageCell*>* pContainer = m_basket.contains(pCell) ? &m_basket
                                        : m_tray.contains(pCell) ? &m_tray
                                                                 : nullptr;
        if (!pCell || !pContainer)
            return;
        emit Sig_Removed(pCell);
        pContainer->removeOne(pCell);
        Discard(pCell);
    });
}

void ImageCellEngine::ClearBasket()
{
    GUARD_RUN([&] {
        emit Sig_BasketCleared();
        DiscardAll(m_basket);
    });
}

void ImageCellEngine::ClearTray()
{
    GUARD_RUN([&] {
        emit Sig_TrayCleared();
        DiscardAll(m_tray);
    });
}

void ImageCellEngine::SetAutoOrient(bool bAutoOrient)
{
    GUARD_RUN([&] {
        if (bAutoOrient == m_autoOrient)
            return;
        m_autoOrient = bAutoOrient;
        auto reorient = [&](ImageCell* pCell) {
            pCell->SetAutoOrient(bAutoOrient);
            pCell->UnloadImage();
            m_loader->Request(pCell, false);
        };
        // Cells kept for undo too, so that one brought back shows the same way as the others.
        for (QList<ImageCell*>* pCells : {&m_basket, &m_tray})
            std::for_each(pCells->begin(), pCells->end(), reorient);
        std::for_each(m_removed.begin(), m_removed.end(), reorient);
        emit Sig_ImagesReloaded();
    });
}

void ImageCellEngine::DiscardAll(QList<ImageCell*>& cells)
{
    for (ImageCell* pCell : std::exchange(cells, {}))
        Discard(pCell);
}

void ImageCellEngine::Discard(ImageCell* pCell)
{
    if (m_keepRemoved)
        m_removed.insert(pCell->GetFilename(), pCell);
    else
        delete pCell;
}

void ImageCellEngine::SetKeepRemovedCells(bool bKeep)
{
    m_keepRemoved = bKeep;
    if (!bKeep)
        DestroyRemovedCells();
}

void ImageCellEngine::DestroyRemovedCells()
{
    qDeleteAll(std::exchange(m_removed, {}));
}

ImageCell* ImageCellEngine::TakeRemovedCell(const QString& strFileName)
{
    const auto it = m_removed.find(strFileName);
    if (it == m_removed.end())
        return nullptr;
    ImageCell* pCell = it.value();
    m_removed.erase(it);
    return pCell;
}

ImageCell* ImageCellEngine::GetCell(int nRow, int nCol) const
{
    return GUARD_RUN([&]() -> ImageCell* {
        for (ImageCell* pCell : m_basket) {
            if (pCell->GetGridRow() == nRow && pCell->GetGridCol() == nCol)
                return pCell;
        }
        return nullptr;
    });
}

ImageCell* ImageCellEngine::GetCell(CellContainer container, int nIndex) const
{
    return GUARD_RUN([&]() -> ImageCell* {
        const QList<ImageCell*>* pCells = Container(container);
        if (!pCells || nIndex < 0 || nIndex >= pCells->size())
            return nullptr;
        return pCells->at(nIndex);
    });
}

ImageCell* ImageCellEngine::FindCell(qint64 nCellId) const
{
    return GUARD_RUN([&]() -> ImageCell* {
        for (const QList<ImageCell*>* pCells : {&m_basket, &m_tray}) {
            for (ImageCell* pCell : *pCells) {
                if (pCell->GetId() == nCellId)
                    return pCell;
            }
        }
        return nullptr;
    });
}

int ImageCellEngine::GetCellCount(int nContainer) const
{
    const QList<ImageCell*>* pCells = Container(nContainer);
    return pCells ? pCells->size() : -1;
}

int ImageCellEngine::GetCellContainer(ImageCell* pCell) const
{
    if (m_basket.contains(pCell))
        return CellBasket;
    if (m_tray.contains(pCell))
        return CellTray;
    return -1;
}

const QList<ImageCell*>* ImageCellEngine::Container(int nContainer) const
{
    switch (nContainer) {
    case CellBasket:
        return &m_basket;
    case CellTray:
        return &m_tray;
    default:
        return nullptr;
    }
}
} // namespace Model
