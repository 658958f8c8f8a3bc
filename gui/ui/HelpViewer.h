#pragma once

#include "ui/BaseDialog.h"

class QTextBrowser;

namespace UI {
// The user guide inside the editor: it needs no browser or desktop launcher and works offline.
// Links to other pages of the guide open here; links to the web go to the desktop's browser.
class HelpViewer : public BaseDialog
{
    Q_OBJECT

public:
    explicit HelpViewer(const QString& strGuideFile, QWidget* pParent = nullptr);

    static constexpr const char* WindowName = "HelpViewer";

private:
    QTextBrowser* m_browser;
};
} // namespace UI
