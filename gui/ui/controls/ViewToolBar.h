#pragma once

#include <QToolBar>

class QSlider;

namespace UI::Controls {
// Toolbar that adds the grid and tray zoom sliders behind the actions the form puts there.
class ViewToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit ViewToolBar(QWidget* pParent = nullptr);

    void SetupToolBar();
    // Levels outside the slider range are ignored.
    void SetGridZoomLevel(int nLevel);
    void SetTrayZoomLevel(int nLevel);
    int GetGridZoomLevel() const;
    int GetTrayZoomLevel() const;
    QSlider* GetGridZoomSlider() const;
    QSlider* GetTrayZoomSlider() const;

    static constexpr int MinZoomLevel = 0;
    static constexpr int MaxZoomLevel = 6;

signals:
    void Sig_GridZoomLevelChanged(int nLevel);
    void Sig_TrayZoomLevelChanged(int nLevel);

private slots:
    void OnGridZoomLevelChanged(int nLevel);
    void OnTrayZoomLevelChanged(int nLevel);

private:
    QSlider* CreateZoomSlider(const QString& strCaption);
    static void SetSliderLevel(QSlider* pSlider, int nLevel);

    QSlider* m_gridZoomSlider = nullptr;
    QSlider* m_trayZoomSlider = nullptr;
    int m_accumulatedWidth = 35;
};
} // namespace UI::Controls
