#pragma once

#include <QColor>
#include <QPushButton>

namespace UI::Controls {
// Push button that shows a colour swatch with its RGB values and picks a new colour on click.
class ColorSelectButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ColorSelectButton(QWidget* pParent = nullptr);

    QColor GetColor() const;
    void SetColor(const QColor& color);
    // The label painted beside the swatch, e.g. "R18 G114 B26".
    QString GetColorText() const;

signals:
    void Sig_ColorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private slots:
    void OnClicked();

private:
    QColor m_color = QColor(255, 255, 255);
};
} // namespace UI::Controls
