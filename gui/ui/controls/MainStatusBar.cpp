#include "ui/controls/MainStatusBar.h"

#include "misc/Guard.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace UI::Controls {
MainStatusBar::MainStatusBar(QWidget* pParent) : QStatusBar(pParent)
{
    m_tempTimer = new QTimer(this);
    m_tempTimer->setObjectName("tempTimer");
    m_tempTimer->setSingleShot(true);
    connect(m_tempTimer, &QTimer::timeout, this, &MainStatusBar::OnTempTimer);
}

bool MainStatusBar::InitStatusBar()
{
    return GUARD_RUN([&] {
        m_statusLabel = new QLabel(this);
        m_statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_statusLabel->setIndent(3);
        // A long text is cut at the label's edge instead of widening it over the permanent labels.
        m_statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(m_statusLabel, 1);

        m_loadBar = new QProgressBar(this);
        m_loadBar->setFormat(tr("Thumbnails %v of %m"));
        // Wide enough for the text of a 300x300 grid, so that it neither wraps nor jumps.
        m_loadBar->setMinimumWidth(m_loadBar->fontMetrics().horizontalAdvance(tr("Thumbnails %1 of %1").arg(99999))
                                   + 2 * m_loadBar->fontMetrics().averageCharWidth());
        m_loadBar->setMaximumHeight(m_statusLabel->sizeHint().height());
        m_loadBar->hide();
        addPermanentWidget(m_loadBar);
        m_gridSizeLabel = CreatePermanentLabel(tr("Grid 999x999"));
        m_imageCountLabel = CreatePermanentLabel(tr("Images 999 Tray 999"));

        SetStatus(tr("Ready"), false);
        SetGridSize(0, 0);
        SetImageCount(0, 0);
        return true;
    });
}

// Sized for its widest text so the bar does not jump while the numbers change.
QLabel* MainStatusBar::CreatePermanentLabel(const QString& strWidestText)
{
    QLabel* pLabel = new QLabel(strWidestText, this);
    pLabel->setAlignment(Qt::AlignCenter);
    pLabel->setMinimumSize(pLabel->sizeHint());
    addPermanentWidget(pLabel);
    return pLabel;
}

void MainStatusBar::SetLabelText(QLabel* pLabel, const QString& strText)
{
    pLabel->setText(strText);
    pLabel->repaint();
}

void MainStatusBar::SetStatus(const QString& strText, bool bTemporary)
{
    GUARD_RUN([&] {
        m_tempTimer->stop();
        if (bTemporary)
            m_tempTimer->start(TemporaryMessageMs);
        SetLabelText(m_statusLabel, strText);
        m_statusLabel->setToolTip(strText);
    });
}

void MainStatusBar::SetGridSize(int nRows, int nCols)
{
    SetLabelText(m_gridSizeLabel, tr("Grid %1x%2").arg(nRows).arg(nCols));
}

void MainStatusBar::SetImageCount(int nGridImages, int nTrayImages)
{
    SetLabelText(m_imageCountLabel, tr("Images %1 Tray %2").arg(nGridImages).arg(nTrayImages));
}

void MainStatusBar::SetLoadProgress(int nDone, int nTotal)
{
    m_loadBar->setVisible(nDone < nTotal);
    m_loadBar->setRange(0, nTotal);
    m_loadBar->setValue(nDone);
}

void MainStatusBar::OnTempTimer()
{
    SetStatus(tr("Ready"), false);
}
} // namespace UI::Controls
