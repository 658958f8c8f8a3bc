#include "ui/StatusDlg.h"

#include "core/Guard.h"

namespace UI
{
StatusDlg::StatusDlg(QWidget* pParent)
    : BaseDialog(pParent)
{
    SetupUI();
}

void StatusDlg::SetupUI()
{
    Guard_Run("StatusDlg::SetupUI", [&] {
        m_ui.setupUi(this);
        // A plain widget paints its style-sheet background only when asked to.
        m_ui.wdgtIcon->setAttribute(Qt::WA_StyledBackground);
        InitDialog(false);
    });
}

void StatusDlg::ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon)
{
    Guard_Run("StatusDlg::ShowDialog", [&] {
        setWindowTitle(strTitle);
        if (!strIcon.isEmpty())
            m_ui.wdgtIcon->setStyleSheet(QString("background-image: url(%1);").arg(strIcon));
        m_ui.lblStatus->setText(strText);
        show();
    });
}
}
