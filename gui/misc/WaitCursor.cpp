#include "misc/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace Misc {

WaitCursor::WaitCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace Misc
