#include "ui/StatusDlg.h"
#include "ui_StatusDlg.h"

#include "misc/Guard.h"

namespace UI {
StatusDlg::StatusDlg(QWidget* pParent) : BaseDialog(pParent), m_pUi(std::make_unique<Ui_StatusDlgClass>())
{
    SetupUI();
}

StatusDlg::~StatusDlg() = default;

void StatusDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_pUi->setupUi(this);
        // A plain widget paints its style-sheet background only when asked to.
        m_pUi->wdgtIcon->setAttribute(Qt::WA_StyledBackground);
        m_pUi->lblPhase->hide();
        m_pUi->barProgress->hide();
        SetCancellable(false);
        connect(m_pUi->btnCancel, &QPushButton::clicked, this, &StatusDlg::reject);
        InitDialog(false);
    });
}

void StatusDlg::ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon)
{
    GUARD_RUN([&] {
        setWindowTitle(strTitle);
        if (!strIcon.isEmpty())
            m_pUi->wdgtIcon->setStyleSheet(QString("background-image: url(%1);").arg(strIcon));
        m_pUi->lblStatus->setText(strText);
        show();
    });
}

void StatusDlg::SetProgress(const QString& strPhase, int nValue, int nMaximum)
{
    GUARD_RUN([&] {
        // While a cancel is under way the dialog keeps saying so.
        const bool bCancelling = !m_pUi->btnCancel->isHidden() && !m_pUi->btnCancel->isEnabled();
        if (!bCancelling)
            m_pUi->lblPhase->setText(strPhase);
        m_pUi->lblPhase->show();
        m_pUi->barProgress->setRange(0, nMaximum);
        m_pUi->barProgress->setValue(nValue);
        m_pUi->barProgress->show();
    });
}

void StatusDlg::SetCancellable(bool bCancellable)
{
    m_pUi->btnCancel->setVisible(bCancellable);
    m_pUi->btnCancel->setEnabled(bCancellable);
}

void StatusDlg::reject()
{
    GUARD_RUN([&] {
        // Without a cancel on offer the notice cannot be dismissed: the operation is still running.
        if (!m_pUi->btnCancel->isEnabled())
            return;
        // Pressed once: stopping may take a moment, and a second request would change nothing.
        m_pUi->btnCancel->setEnabled(false);
        m_pUi->lblPhase->setText(tr("Cancelling..."));
        emit Sig_CancelRequested();
    });
}
} // namespace UI
