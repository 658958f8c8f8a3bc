#pragma once

#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QString>
#include <QStringList>

namespace Model {
class ImageCell;
class ThumbnailLoader;

// Owns every image cell and keeps each in exactly one container: the basket (placed in the grid)
// or the tray. Views change placement only through it and follow its signals.
class ImageCellEngine : public QObject
{
    Q_OBJECT

public:
    // A fixed underlying type: callers pass container numbers they received as int, and any int
    // must be a valid value that the engine can then refuse.
    enum CellContainer : int {
        CellBasket = 0,
        CellTray = 1
    };

    explicit ImageCellEngine(QObject* pParent = nullptr);
    ~ImageCellEngine() override;

    // Reads the image at once: false, and no cell, when it yields none.
    ImageCell* CreateCell(const QString& strFileName, int nRow, int nCol);
    // Many cells at once: only missing and special files are refused here; the thumbnails are read
    // in the background (GetThumbnailLoader), so a large grid shows at once.
    bool CreateCells(const QStringList& files, int nRows, int nCols);
    bool CreateCells(const QList<QStringList>& rows);
    ThumbnailLoader* GetThumbnailLoader() const { return m_loader; }

    void MoveToBasket(ImageCell* pCell, int nRow, int nCol);
    void MoveToTray(ImageCell* pCell);
    void MoveToTray(int nLastRow, int nLastCol);

    void Remove(ImageCell* pCell);
    void ClearBasket();
    void ClearTray();
    // While set, removed cells are kept aside instead of destroyed, and CreateCell brings back a kept
    // cell of the same file instead of reading it again: undoing a removal must not reload a whole grid.
    void SetKeepRemovedCells(bool bKeep);
    void DestroyRemovedCells();

    // Whether thumbnails follow the images' EXIF orientation; changing it reads every cell again
    // in the background.
    void SetAutoOrient(bool bAutoOrient);
    bool GetAutoOrient() const { return m_autoOrient; }

    ImageCell* GetCell(int nRow, int nCol) const;
    ImageCell* GetCell(CellContainer container, int nIndex) const;
    // The live cell with this identity, or null: drag data from elsewhere is checked against it.
    ImageCell* FindCell(qint64 nCellId) const;
    int GetCellCount(int nContainer) const;
    int GetCellContainer(ImageCell* pCell) const;
    const QString& GetLastError() const { return m_lastError; }
    // "None" or "KeepEmpty" in any letter case: a grid entry that stands for an empty cell.
    static bool IsEmptyCellWord(const QString& strEntry);
    // The line reported for a file that yields no image.
    static QString GetLoadErrorText(const QString& strFileName);

signals:
    void Sig_Removed(Model::ImageCell* pCell);
    void Sig_MovedToBasket(Model::ImageCell* pCell);
    void Sig_MovedToTray(Model::ImageCell* pCell);
    void Sig_BasketCleared();
    void Sig_TrayCleared();
    void Sig_Operation(bool bBegin);
    // Every cell loaded its image anew: thumbnail sizes may have changed.
    void Sig_ImagesReloaded();

private:
    ImageCell* CreateCell(const QString& strFileName, int nRow, int nCol, bool bReadNow);
    void AdoptNewCell(ImageCell* pCell, int nRow, int nCol);
    const QList<ImageCell*>* Container(int nContainer) const;
    void DiscardAll(QList<ImageCell*>& cells);
    void Discard(ImageCell* pCell);
    ImageCell* TakeRemovedCell(const QString& strFileName);

    QList<ImageCell*> m_basket;
    QList<ImageCell*> m_tray;
    // By file name: an undo brings back a whole grid's cells.
    QMultiHash<QString, ImageCell*> m_removed;
    ThumbnailLoader* m_loader;
    bool m_keepRemoved = false;
    QString m_lastError;
    bool m_autoOrient = false;
};
} // namespace Model
