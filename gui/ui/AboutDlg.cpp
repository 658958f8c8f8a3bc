#include "ui/AboutDlg.h"
#include "ui_AboutDlg.h"

#include "misc/Guard.h"
#include "misc/VersionUtils.h"
#include "misc/UIUtils.h"

namespace UI {
AboutDlg::AboutDlg(QWidget* pParent) : BaseDialog(pParent), m_pUi(std::make_unique<Ui_AboutDlgClass>())
{
    SetupUI();
}

AboutDlg::~AboutDlg() = default;

void AboutDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_pUi->setupUi(this);
        InitDialog(false);
        m_pUi->frmLogo->setAttribute(Qt::WA_StyledBackground);
        m_pUi->lblTitle->setText(m_pUi->lblTitle->text().replace("%Major", "2").replace("%Minor", "0"));
        m_pUi->lblVersion->setText(m_pUi->lblVersion->text().replace("%Version", Misc::GetVersionString(true)));
        m_pUi->lblCompilation->setText(m_pUi->lblCompilation->text().replace("%Compilation", Misc::GetBuildDateText()));
        const QString strWebsite = Misc::GetMakerWebsite();
        m_pUi->lblWebsite->setText(QString("<a href=\"%1\">%1</a>").arg(strWebsite));
    });
}

int AboutDlg::ShowDialog()
{
    return GUARD_RUN([&] { return exec(); });
}
} // namespace UI
