#include "ui/controls/MainStatusBar.h"

#include "misc/Guard.h"

#include <QLabel>
#include <QTimer>

namespace UI::Controls {
MainStatusBar::MainStatusBar(QWidget* pParent) : QStatusBar(pParent)
{
    m_pTempTimer = new QTimer(this);
    m_pTempTimer->setObjectName("tempTimer");
    m_pTempTimer->setSingleShot(true);
    connect(m_pTempTimer, &QTimer::timeout, this, &MainStatusBar::OnTempTimer);
}

bool MainStatusBar::InitStatusBar()
{
    return GUARD_RUN([&] {
        m_pStatusLabel = new QLabel(this);
        m_pStatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_pStatusLabel->setIndent(3);
        // A long text is cut at the label's edge instead of widening it over the permanent labels.
        m_pStatusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(m_pStatusLabel, 1);

        m_pGridSizeLabel = CreatePermanentLabel(tr("Grid 999x999"));
        m_pImageCountLabel = CreatePermanentLabel(tr("Images 999 Tray 999"));

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
        m_pTempTimer->stop();
        if (bTemporary)
            m_pTempTimer->start(TemporaryMessageMs);
        SetLabelText(m_pStatusLabel, strText);
        m_pStatusLabel->setToolTip(strText);
    });
}

void MainStatusBar::SetGridSize(int nRows, int nCols)
{
    SetLabelText(m_pGridSizeLabel, tr("Grid %1x%2").arg(nRows).arg(nCols));
}

void MainStatusBar::SetImageCount(int nGridImages, int nTrayImages)
{
    SetLabelText(m_pImageCountLabel, tr("Images %1 Tray %2").arg(nGridImages).arg(nTrayImages));
}

void MainStatusBar::OnTempTimer()
{
    SetStatus(tr("Ready"), false);
}
} // namespace UI::Controls
