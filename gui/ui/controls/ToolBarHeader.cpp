#include "ui/controls/ToolBarHeader.h"

#include "misc/Guard.h"
#include "misc/UIUtils.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>

namespace UI::Controls {
ToolBarHeader::ToolBarHeader(const QString& strText, QToolBar* pToolBar)
    : QLabel(strText, pToolBar), m_toolBar(pToolBar)
{
    OnOrientationChanged(pToolBar->orientation());
    connect(pToolBar, &QToolBar::orientationChanged, this, &ToolBarHeader::OnOrientationChanged);
}

void ToolBarHeader::OnOrientationChanged(Qt::Orientation orient)
{
    if (orient == Qt::Horizontal)
        SetHorizontalOrientation();
    else
        SetVerticalOrientation();
}

// In a horizontal toolbar the header stands upright between the buttons.
void ToolBarHeader::SetHorizontalOrientation()
{
    setMinimumSize(HorizontalStripWidth, 0);
    setMaximumSize(HorizontalStripWidth, QWIDGETSIZE_MAX);
}

void ToolBarHeader::SetVerticalOrientation()
{
    setMinimumSize(0, VerticalStripHeight);
    setMaximumSize(QWIDGETSIZE_MAX, VerticalStripHeight);
}

bool ToolBarHeader::IsInHorizontalToolBar() const
{
    return m_toolBar->orientation() == Qt::Horizontal;
}

void ToolBarHeader::paintEvent(QPaintEvent*)
{
    GUARD_RUN([&] {
        const bool bHorizontal = IsInHorizontalToolBar();
        QRectF area = rect();
        if (bHorizontal)
            area.adjust(1, 0, -1, 0);

        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QLinearGradient gradient(area.topLeft(), area.bottomLeft());
        gradient.setColorAt(0, Misc::GetBaseColor(Misc::ColorDock1));
        gradient.setColorAt(1, Misc::GetBaseColor(Misc::ColorDock2));
        painter.setBrush(gradient);
        painter.drawRoundedRect(area, 6.25, 6.25);

        painter.setPen(Misc::GetBaseColor(Misc::ColorBase));
        if (!bHorizontal) {
            painter.drawText(area, Qt::AlignCenter, text());
            return;
        }
        // Read bottom to top: turn the painter about the centre and draw into the
        // rectangle with width and height exchanged.
        const QPointF centre = area.center();
        painter.translate(centre);
        painter.rotate(-90);
        const QRectF turned(-area.height() / 2, -area.width() / 2, area.height(), area.width());
        painter.drawText(turned, Qt::AlignCenter, text());
    });
}
} // namespace UI::Controls
