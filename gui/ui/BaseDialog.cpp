#include "ui/BaseDialog.h"

namespace UI {
BaseDialog::BaseDialog(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint)
{}

void BaseDialog::InitDialog(bool bResizable)
{
    m_resizable = bResizable;
    if (bResizable)
        setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
}

void BaseDialog::AdjustDialogSize()
{
    adjustSize();
    setMinimumSize(size());
    setMaximumSize(size());
}

void BaseDialog::showEvent(QShowEvent* pEvent)
{
    if (m_firstShow) {
        m_firstShow = false;
        if (!m_resizable)
            AdjustDialogSize();
    }
    QDialog::showEvent(pEvent);
}
} // namespace UI
