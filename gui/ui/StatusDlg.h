#pragma once

#include "ui/BaseDialog.h"
#include "ui_StatusDlg.h"

namespace UI
{
// Non-modal notice shown while a long operation runs; the caller hides it.
class StatusDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit StatusDlg(QWidget* pParent = nullptr);

    // Shows the dialog and returns at once.
    void ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon);

private:
    void SetupUI();

    Ui_StatusDlgClass m_ui;
};
}
