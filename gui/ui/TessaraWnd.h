#pragma once

#include "core/CombineProgress.h"
#include "core/ErrorReporter.h"

#include <memory>

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QAction;
class QCloseEvent;
class QSlider;
class QUndoStack;

namespace Core {
class TessaraSettings;
}
namespace Model {
class ImageCellEngine;
}

class Ui_TessaraWndClass;

namespace UI {
class EditHistory;
struct EditorState;

namespace Controls {
class ImageTableWidget;
}

// The editor's main window: grid, settings panel, tray, toolbars and every command.
class TessaraWnd : public QMainWindow, public Core::ErrorReporter
{
    Q_OBJECT

public:
    explicit TessaraWnd(Model::ImageCellEngine* pCellEngine, QWidget* pParent = nullptr,
                        Qt::WindowFlags flags = Qt::WindowFlags());
    ~TessaraWnd() override;

    void UpdateUI();
    void ResetSettings();
    void SetSettings(const Core::TessaraSettings* pSettings);
    void FillTessaraSettings(Core::TessaraSettings* pSettings) const;

    bool AddImagesToTray(const QStringList& astrFiles);
    bool CreateNewGrid(const QStringList& astrFiles, int nRows, int nCols);
    void SetGridSize(int nRows, int nCols, bool bPopulate);
    bool LoadProjectFrom(const QString& strFile, QString& strError);
    bool SaveProjectTo(const QString& strFile, QString& strError);
    bool CreateCompoundImage(const QString& strFile, bool bShowStatus, QString& strError);
    void ReportError(const QString& strMessage, bool bToStatusBar) override;
    void CreateOpenRecentActions();

    QUndoStack* GetUndoStack() const;
    bool IsModified() const;
    EditorState CaptureState() const;
    void RestoreState(const EditorState& state);

    static constexpr const char* WindowName = "MainWindow";
    static constexpr const char* WindowStateOption = "Windows.MainWindow.State";
    static constexpr const char* SplitterStateOption = "Windows.MainWindow.Splitter";
    static constexpr int DefaultGridZoomLevel = 3;
    static constexpr int DefaultTrayZoomLevel = 1;

signals:
    // A running combine reached another step of the progress shown in its status dialog.
    void Sig_CombineProgress(int nStep, int nStepCount);

private slots:
    void on_actAbout_triggered();
    void on_actProjectNew_triggered();
    void on_actProjectSave_triggered();
    void on_actProjectOpen_triggered();
    void on_actGridCreate_triggered();
    void on_actGridCompound_triggered();
    void on_actGridFlipHorz_triggered();
    void on_actGridFlipVert_triggered();
    void on_actGridClearImages_triggered();
    void on_actGridZoomIn_triggered();
    void on_actGridZoomOut_triggered();
    void on_actGridCompactView_triggered(bool bChecked);
    void on_actTrayAddImages_triggered();
    void on_actTrayClearImages_triggered();
    void on_actTrayZoomIn_triggered();
    void on_actTrayZoomOut_triggered();
    void on_actHelp_triggered();
    void on_actVelmontWebsite_triggered();
    void on_txtGridRows_valueChanged(int);
    void on_txtGridColumns_valueChanged(int);
    void on_btnGridResize_clicked();
    void on_btnClearSettings_clicked();
    void on_btnGridCompound_clicked();
    void on_chkUseRegion_toggled(bool bChecked);
    void on_chkUseOverlap_toggled(bool bChecked);
    void on_chkAutoOrient_toggled(bool bChecked);
    void OnGridChanged();
    void OnTrayChanged();
    void OnGridZoomChanged(int nValue);
    void OnTrayZoomChanged(int nValue);
    void OnOpenRecentProject();
    void OnOpenProject(QString strProject);
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void SetupUI();
    void ConnectSignals();
    void UpdateActions();
    void UpdateStatusBar();
    void CreateToolBarLabels();
    void ApplyStyleSheets();
    void RestoreWindowState();
    void ShowCombinedImageSaved(const QString& strFile);
    static int ZoomImageSize(int nLevel);
    static void ApplyZoom(Controls::ImageTableWidget* pTable, const QSlider* pSlider, QAction* pZoomIn,
                          QAction* pZoomOut, int nValue);
    void SetStatus(const QString& strText, bool bTemporary = false);
    static QString CombinePhaseText(Core::CombineProgress::Phase phase);
    void SetupEditHistory();
    void ConnectSettingsPanel();
    QVariantList GetPanelValues() const;
    void SetPanelValues(const QVariantList& values);
    // Puts rows and tray into fresh cells; false when some image could not be read.
    bool ShowCells(const QList<QStringList>& rows, const QSize& gridSize, const QStringList& tray, QString& strError);
    // The window now stands for strFile (empty: untitled); its content counts as saved when bSaved.
    void SetProjectFile(const QString& strFile, bool bSaved);
    // Before the window's content is replaced: true to go on (saved or discarded), false to stop.
    bool MaybeSaveChanges();
    bool SaveProjectAs();

    std::unique_ptr<Ui_TessaraWndClass> m_ui;
    QList<QAction*> m_openRecentActions;
    Model::ImageCellEngine* m_cellEngine;
    EditHistory* m_history = nullptr;
    QString m_projectFile;
    bool m_combineCancelled = false;
};
} // namespace UI
