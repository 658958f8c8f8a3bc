#include "misc/WindowFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace Misc {
QRect FitWindowGeometry(const QRect& geometry, const QMargins& frame, const QRect& available)
{
    const QRect inner = available.marginsRemoved(frame);
    const QSize size = geometry.size().boundedTo(inner.size()).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(frame);
    const int nX =
        std::clamp(geometry.x(), available.left(), std::max(available.left(), available.right() + 1 - outer.width()));
    const int nY =
        std::clamp(geometry.y(), available.top(), std::max(available.top(), available.bottom() + 1 - outer.height()));
    return QRect(QPoint(nX, nY), size);
}

void PlaceWindowOnScreen(QWidget* pWindow, const QRect& geometry)
{
    const QScreen* pScreen = QGuiApplication::screenAt(geometry.topLeft());
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    QMargins frame(0, pWindow->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, pWindow), 0, 0);
    if (pWindow->isVisible())
        frame = QMargins(pWindow->geometry().left() - pWindow->frameGeometry().left(),
                         pWindow->geometry().top() - pWindow->frameGeometry().top(),
                         pWindow->frameGeometry().right() - pWindow->geometry().right(),
                         pWindow->frameGeometry().bottom() - pWindow->geometry().bottom());
    const QRect fitted = FitWindowGeometry(geometry, frame, pScreen->availableGeometry());
    // A minimum size from the form must not push the window off the screen again.
    pWindow->setMinimumSize(pWindow->minimumSizeHint().boundedTo(fitted.size()));
    pWindow->move(fitted.topLeft());
    pWindow->resize(fitted.size());
}
} // namespace Misc
