#pragma once

#include "ui/BaseDialog.h"
#include "ui_AboutDlg.h"

namespace UI
{
// Program name, version, build date and the maker's notices.
class AboutDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* pParent = nullptr);

    int ShowDialog();

private:
    void SetupUI();

    Ui_AboutDlgClass m_ui;
};
}
