#pragma once

#include <QLabel>

class QToolBar;

namespace UI::Controls {
// Section caption inside a toolbar: a rounded gradient strip that turns its text with the
// toolbar's orientation.
class ToolBarHeader : public QLabel
{
    Q_OBJECT

public:
    ToolBarHeader(const QString& strText, QToolBar* pToolBar);

    void SetHorizontalOrientation();
    void SetVerticalOrientation();

    static constexpr int HorizontalStripWidth = 19;
    static constexpr int VerticalStripHeight = 16;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private slots:
    void OnOrientationChanged(Qt::Orientation orient);

private:
    bool IsInHorizontalToolBar() const;

    QToolBar* m_toolBar;
};
} // namespace UI::Controls
