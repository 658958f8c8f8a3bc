#include "ui/StatusDlg.h"
#include "ui_StatusDlg.h"

#include "core/Guard.h"

namespace UI
{
StatusDlg::StatusDlg(QWidget* pParent)
    : BaseDialog(pParent)
    , m_pUi(std::make_unique<Ui_StatusDlgClass>())
{
    SetupUI();
}

StatusDlg::~StatusDlg() = default;

void StatusDlg::SetupUI()
{
    Guard_Run("StatusDlg::SetupUI", [&] {
        m_pUi->setupUi(this);
        // A plain widget paints its style-sheet background only when asked to.
        m_pUi->wdgtIcon->setAttribute(Qt::WA_StyledBackground);
        InitDialog(false);
    });
}

void StatusDlg::ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon)
{
    Guard_Run("StatusDlg::ShowDialog", [&] {
        setWindowTitle(strTitle);
        if (!strIcon.isEmpty())
            m_pUi->wdgtIcon->setStyleSheet(QString("background-image: url(%1);").arg(strIcon));
        m_pUi->lblStatus->setText(strText);
        show();
    });
}
}
