#pragma once

#include <memory>

#include "ui/BaseDialog.h"

class Ui_StatusDlgClass;

namespace UI {
// Non-modal notice shown while a long operation runs; the caller hides it. It can show a phase
// with a progress bar and offer a Cancel button; both are set up before ShowDialog, which sizes it.
class StatusDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit StatusDlg(QWidget* pParent = nullptr);
    ~StatusDlg() override;

    // Shows the dialog and returns at once.
    void ShowDialog(const QString& strTitle, const QString& strText, const QString& strIcon);
    void SetProgress(const QString& strPhase, int nValue, int nMaximum);
    void SetCancellable(bool bCancellable);

signals:
    // Cancel was pressed (or the dialog closed) while cancelling was offered.
    void Sig_CancelRequested();

public slots:
    void reject() override;

private:
    void SetupUI();

    std::unique_ptr<Ui_StatusDlgClass> m_ui;
};
} // namespace UI
