#include "ui/AboutDlg.h"

#include "core/Guard.h"
#include "misc/VersionUtils.h"
#include "ui/UIUtils.h"

#include <QDate>

namespace UI
{
AboutDlg::AboutDlg(QWidget* pParent)
    : BaseDialog(pParent)
{
    SetupUI();
}

// The compiler's date ("Dec  6 2026") written the way the about box shows dates.
static QString BuildDateText()
{
    const QDate buildDate = QDate::fromString(QString(__DATE__).simplified(), "MMM d yyyy");
    return buildDate.toString("dd.MM.yyyy");
}

void AboutDlg::SetupUI()
{
    Guard_Run("AboutDlg::SetupUI", [&] {
        m_ui.setupUi(this);
        InitDialog(false);
        m_ui.frmLogo->setAttribute(Qt::WA_StyledBackground);
        m_ui.lblTitle->setText(m_ui.lblTitle->text().replace("%Major", "2").replace("%Minor", "0"));
        m_ui.lblVersion->setText(m_ui.lblVersion->text().replace("%Version", VersionUtils::GetVersionString(true)));
        m_ui.lblCompilation->setText(m_ui.lblCompilation->text().replace("%Compilation", BuildDateText()));
        const QString strWebsite = UIUtils::GetMakerWebsite();
        m_ui.lblWebsite->setText(QString("<a href=\"%1\">%1</a>").arg(strWebsite));
    });
}

int AboutDlg::ShowDialog()
{
    return Guard_Run("AboutDlg::ShowDialog", [&] { return exec(); });
}
}
