#include "ui/BaseDialog.h"

#include <utility>

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

// Fixed before the native window exists, so the window manager is told at once that there is
// nothing to resize or maximise.
void BaseDialog::setVisible(bool bVisible)
{
    if (bVisible && std::exchange(m_firstShow, false) && !m_resizable)
        AdjustDialogSize();
    QDialog::setVisible(bVisible);
}
} // namespace UI
