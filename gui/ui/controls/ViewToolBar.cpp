#include "ui/controls/ViewToolBar.h"

#include "misc/Guard.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSlider>

namespace UI::Controls {
ViewToolBar::ViewToolBar(QWidget* pParent) : QToolBar(pParent) {}

void ViewToolBar::SetupToolBar()
{
    GUARD_RUN([&] {
        for (QAction* pAction : actions()) {
            if (QWidget* pWidget = widgetForAction(pAction))
                m_accumulatedWidth += pWidget->sizeHint().width();
        }
        m_gridZoomSlider = CreateZoomSlider(tr("Grid zoom:"));
        connect(m_gridZoomSlider, &QSlider::valueChanged, this, &ViewToolBar::OnGridZoomLevelChanged);
        addSeparator();
        m_trayZoomSlider = CreateZoomSlider(tr("Tray zoom:"));
        connect(m_trayZoomSlider, &QSlider::valueChanged, this, &ViewToolBar::OnTrayZoomLevelChanged);
        // Wide enough that the sliders never hide behind the extension button.
        setMinimumWidth(m_accumulatedWidth);
    });
}

QSlider* ViewToolBar::CreateZoomSlider(const QString& strCaption)
{
    return GUARD_RUN([&] {
        QWidget* pContainer = new QWidget(this);
        QHBoxLayout* pLayout = new QHBoxLayout(pContainer);
        pLayout->setContentsMargins(6, 6, 6, 6);
        pLayout->setSpacing(10);

        QLabel* pCaption = new QLabel(strCaption, pContainer);
        QFont boldFont = pCaption->font();
        boldFont.setWeight(QFont::Bold);
        pCaption->setFont(boldFont);
        pLayout->addWidget(pCaption);

        QVBoxLayout* pSliderLayout = new QVBoxLayout();
        pSliderLayout->setContentsMargins(0, 0, 0, 0);
        pSliderLayout->setSpacing(3);
        QSlider* pSlider = new QSlider(Qt::Horizontal, pContainer);
        pSlider->setRange(MinZoomLevel, MaxZoomLevel);
        pSlider->setTickPosition(QSlider::TicksBelow);
        pSlider->setTickInterval(1);
        pSlider->setSingleStep(1);
        pSlider->setPageStep(1);
        pSliderLayout->addWidget(pSlider);

        QHBoxLayout* pScaleLayout = new QHBoxLayout();
        pScaleLayout->setContentsMargins(0, 0, 0, 0);
        pScaleLayout->setSpacing(0);
        pScaleLayout->addWidget(new QLabel(tr("Small"), pContainer));
        pScaleLayout->addStretch();
        pScaleLayout->addWidget(new QLabel(tr("Large"), pContainer));
        pSliderLayout->addLayout(pScaleLayout);
        pLayout->addLayout(pSliderLayout);

        addWidget(pContainer);
        m_accumulatedWidth += pContainer->sizeHint().width();
        return pSlider;
    });
}

void ViewToolBar::SetSliderLevel(QSlider* pSlider, int nLevel)
{
    if (nLevel >= pSlider->minimum() && nLevel <= pSlider->maximum())
        pSlider->setValue(nLevel);
}

void ViewToolBar::SetGridZoomLevel(int nLevel)
{
    SetSliderLevel(m_gridZoomSlider, nLevel);
}

void ViewToolBar::SetTrayZoomLevel(int nLevel)
{
    SetSliderLevel(m_trayZoomSlider, nLevel);
}

int ViewToolBar::GetGridZoomLevel() const
{
    return m_gridZoomSlider->value();
}

int ViewToolBar::GetTrayZoomLevel() const
{
    return m_trayZoomSlider->value();
}

QSlider* ViewToolBar::GetGridZoomSlider() const
{
    return m_gridZoomSlider;
}

QSlider* ViewToolBar::GetTrayZoomSlider() const
{
    return m_trayZoomSlider;
}

void ViewToolBar::OnGridZoomLevelChanged(int nLevel)
{
    emit Sig_GridZoomLevelChanged(nLevel);
}

void ViewToolBar::OnTrayZoomLevelChanged(int nLevel)
{
    emit Sig_TrayZoomLevelChanged(nLevel);
}
} // namespace UI::Controls
