#include "ui/controls/ColorSelectButton.h"

#include "misc/Guard.h"

#include <QColorDialog>
#include <QPainter>

namespace UI::Controls {
ColorSelectButton::ColorSelectButton(QWidget* pParent) : QPushButton(pParent)
{
    connect(this, &QPushButton::clicked, this, &ColorSelectButton::OnClicked);
}

QColor ColorSelectButton::GetColor() const
{
    return m_color;
}

void ColorSelectButton::SetColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    emit Sig_ColorChanged(m_color);
}

QString ColorSelectButton::GetColorText() const
{
    return QString("R%1 G%2 B%3").arg(m_color.red()).arg(m_color.green()).arg(m_color.blue());
}

void ColorSelectButton::OnClicked()
{
    GUARD_RUN([&] {
        const QColor color =
            QColorDialog::getColor(m_color, this, tr("Select a new color..."), QColorDialog::DontUseNativeDialog);
        if (color.isValid())
            SetColor(color);
    });
}

void ColorSelectButton::paintEvent(QPaintEvent* pEvent)
{
    GUARD_RUN([&] {
        QPushButton::paintEvent(pEvent);
        QPainter painter(this);
        // The swatch and values stay visible when the button is disabled, so the stored
        // colour can be read even while it is not in use.
        const int nMargin = 5;
        const QRect swatch(nMargin, nMargin, 20, height() - 2 * nMargin);
        const QRect text = rect().adjusted(swatch.right() + 2 * nMargin, 0, -2 * nMargin, 0);
        painter.fillRect(swatch, m_color);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(GetColorText(), Qt::ElideRight, text.width()));
    });
}
} // namespace UI::Controls
