#include "ui/HelpViewer.h"

#include "core/TessaraCore.h"
#include "misc/Guard.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace UI {
HelpViewer::HelpViewer(const QString& strGuideFile, QWidget* pParent)
    : BaseDialog(pParent), m_browser(new QTextBrowser(this))
{
    GUARD_RUN([&] {
        setObjectName(QStringLiteral("HelpViewer"));
        setWindowTitle(tr("Tessara user guide"));
        InitDialog(true);
        m_browser->setObjectName(QStringLiteral("txtGuide"));
        m_browser->setOpenExternalLinks(true);
        m_browser->setSource(QUrl::fromLocalFile(strGuideFile));

        auto* pButtons = new QDialogButtonBox(this);
        QPushButton* pBack = pButtons->addButton(tr("&Back"), QDialogButtonBox::ActionRole);
        pBack->setEnabled(false);
        pButtons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
        connect(pBack, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
        connect(m_browser, &QTextBrowser::backwardAvailable, pBack, &QPushButton::setEnabled);
        connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto* pLayout = new QVBoxLayout(this);
        pLayout->addWidget(m_browser);
        pLayout->addWidget(pButtons);
        resize(760, 640);
        Core::TessaraCore::s_instance->GetOptions()->LoadWindowState(this, WindowName);
        connect(this, &QDialog::finished, this,
                [this] { Core::TessaraCore::s_instance->GetOptions()->SaveWindowState(this, WindowName); });
    });
}
} // namespace UI
