#include "ui/StatusDlg.h"
#include "ui_StatusDlg.h"

#include "misc/Guard.h"

namespace UI {
StatusDlg::StatusDlg(QWidget* pParent) : BaseDialog(pParent), m_ui(std::make_unique<Ui_StatusDlgClass>())
{
    SetupUI();
}

StatusDlg::~StatusDlg() = default;

void StatusDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_ui->setupUi(this);
        // A plain widget paints its style-sheet background only when asked to.
        m_ui->wdgtIcon->setAttribute(Qt::WA_StyledBackground);
        m_ui->lblPhase->hide();
        m_ui->barProgress->hide();
        SetCancellable(false);
        connect(m_ui->btnCancel, &QPushButton::clicked, this, &StatusDlg::reject);
        InitDialog(false);
    });
}

void StatusDlg::ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon)
{
    GUARD_RUN([&] {
        setWindowTitle(strTitle);
        if (!strIcon.isEmpty())
            m_ui->wdgtIcon->setStyleSheet(QString("background-image: url(%1);").arg(strIcon));
        m_ui->lblStatus->setText(strText);
        show();
    });
}

void StatusDlg::SetProgress(const QString& strPhase, int nValue, int nMaximum)
{
    GUARD_RUN([&] {
        // While a cancel is under way the dialog keeps saying so.
        const bool bCancelling = !m_ui->btnCancel->isHidden() && !m_ui->btnCancel->isEnabled();
        if (!bCancelling)
            m_ui->lblPhase->setText(strPhase);
        m_ui->lblPhase->show();
        m_ui->barProgress->setRange(0, nMaximum);
        m_ui->barProgress->setValue(nValue);
        m_ui->barProgress->show();
    });
}

void StatusDlg::SetCancellable(bool bCancellable)
{
    m_ui->btnCancel->setVisible(bCancellable);
    m_ui->btnCancel->setEnabled(bCancellable);
}

void StatusDlg::reject()
{
    GUARD_RUN([&] {
        // Without a cancel on offer the notice cannot be dismissed: the operation is still running.
        if (!m_ui->btnCancel->isEnabled())
            return;
        // Pressed once: stopping may take a moment, and a second request would change nothing.
        m_ui->btnCancel->setEnabled(false);
        m_ui->lblPhase->setText(tr("Cancelling..."));
        emit Sig_CancelRequested();
    });
}
} // namespace UI
