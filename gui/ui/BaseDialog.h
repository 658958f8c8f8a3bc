#pragma once

#include <QDialog>

namespace UI {
// Common base of the editor's dialogs: title bar and system menu only, and unless the
// dialog is resizable it is fixed to its natural size when first shown.
class BaseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BaseDialog(QWidget* pParent = nullptr);

protected:
    void InitDialog(bool bResizable);
    void AdjustDialogSize();
    void showEvent(QShowEvent* pEvent) override;

private:
    bool m_resizable = false;
    bool m_firstShow = true;
};
} // namespace UI
