#pragma once

#include <memory>

#include "ui/BaseDialog.h"

class Ui_StatusDlgClass;

namespace UI
{
// Non-modal notice shown while a long operation runs; the caller hides it.
class StatusDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit StatusDlg(QWidget* pParent = nullptr);
    ~StatusDlg() override;

    // Shows the dialog and returns at once.
    void ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon);

private:
    void SetupUI();

    std::unique_ptr<Ui_StatusDlgClass> m_pUi;
};
}
