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
                m_nAccumulatedWidth += pWidget->sizeHint().width();
        }
        m_pGridZoomSlider = CreateZoomSlider(tr("Grid zoom:"));
        connect(m_pGridZoomSlider, &QSlider::valueChanged, this, &ViewToolBar::OnGridZoomLevelChanged);
        addSeparator();
        m_pTrayZoomSlider = CreateZoomSlider(tr("Tray zoom:"));
        connect(m_pTrayZoomSlider, &QSlider::valueChanged, this, &ViewToolBar::OnTrayZoomLevelChanged);
        // Wide enough that the sliders never hide behind the extension button.
        setMinimumWidth(m_nAccumulatedWidth);
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
        m_nAccumulatedWidth += pContainer->sizeHint().width();
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
    SetSliderLevel(m_pGridZoomSlider, nLevel);
}

void ViewToolBar::SetTrayZoomLevel(int nLevel)
{
    SetSliderLevel(m_pTrayZoomSlider, nLevel);
}

int ViewToolBar::GetGridZoomLevel() const
{
    return m_pGridZoomSlider->value();
}

int ViewToolBar::GetTrayZoomLevel() const
{
    return m_pTrayZoomSlider->value();
}

QSlider* ViewToolBar::GetGridZoomSlider() const
{
    return m_pGridZoomSlider;
}

QSlider* ViewToolBar::GetTrayZoomSlider() const
{
    return m_pTrayZoomSlider;
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
