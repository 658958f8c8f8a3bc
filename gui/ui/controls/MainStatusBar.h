#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QTimer;

namespace UI::Controls {
// Status bar with a message field (temporary messages revert to "Ready"), the thumbnails being
// read, the grid size and the image counts.
class MainStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget* pParent = nullptr);

    bool InitStatusBar();
    void SetStatus(const QString& strText, bool bTemporary);
    void SetGridSize(int nRows, int nCols);
    void SetImageCount(int nGridImages, int nTrayImages);
    // Shown while nDone < nTotal.
    void SetLoadProgress(int nDone, int nTotal);

    static constexpr int TemporaryMessageMs = 3000;

private slots:
    void OnTempTimer();

private:
    QLabel* CreatePermanentLabel(const QString& strWidestText);
    static void SetLabelText(QLabel* pLabel, const QString& strText);

    QLabel* m_statusLabel = nullptr;
    QProgressBar* m_loadBar = nullptr;
    QLabel* m_gridSizeLabel = nullptr;
    QLabel* m_imageCountLabel = nullptr;
    QTimer* m_tempTimer = nullptr;
};
} // namespace UI::Controls
