#pragma once

#include "misc/WaitCursor.h"

#include <QWidget>

namespace UI {

// Disables the window behind the wait cursor for a long operation and undoes both on every path.
class BusyWindow
{
public:
    explicit BusyWindow(QWidget* pWindow) : m_window(pWindow)
    {
        m_window->setEnabled(false);
        m_window->repaint();
    }
    ~BusyWindow()
    {
        m_window->setEnabled(true);
        m_window->repaint();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    Misc::WaitCursor m_waitCursor;
    QWidget* m_window;
};

} // namespace UI
