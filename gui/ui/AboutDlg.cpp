#include "ui/AboutDlg.h"
#include "ui_AboutDlg.h"

#include "misc/Guard.h"
#include "misc/VersionUtils.h"
#include "misc/UIUtils.h"

namespace UI {
AboutDlg::AboutDlg(QWidget* pParent) : BaseDialog(pParent), m_ui(std::make_unique<Ui_AboutDlgClass>())
{
    SetupUI();
}

AboutDlg::~AboutDlg() = default;

void AboutDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_ui->setupUi(this);
        InitDialog(false);
        m_ui->frmLogo->setAttribute(Qt::WA_StyledBackground);
        m_ui->lblTitle->setText(m_ui->lblTitle->text().replace("%Major", "2").replace("%Minor", "0"));
        m_ui->lblVersion->setText(m_ui->lblVersion->text().replace("%Version", Misc::GetVersionString(true)));
        m_ui->lblCompilation->setText(m_ui->lblCompilation->text().replace("%Compilation", Misc::GetBuildDateText()));
        const QString strWebsite = Misc::GetMakerWebsite();
        m_ui->lblWebsite->setText(QString("<a href=\"%1\">%1</a>").arg(strWebsite));
    });
}

int AboutDlg::ShowDialog()
{
    return GUARD_RUN([&] { return exec(); });
}
} // namespace UI
